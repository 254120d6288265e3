// The docstrings of qormatrix._core (numpydoc; the examples run as doctests).
#ifndef QORMATRIX_PYTHON_DOCS_H
#define QORMATRIX_PYTHON_DOCS_H

namespace qmpy {
namespace docs {

#define QM_COMMON                                                                                             \
    "ell : pymap3d.Ellipsoid, optional\n"                                                                     \
    "    Any ellipsoid with semimajor_axis and semiminor_axis (metres), centred on the geocentric\n"         \
    "    frame; as in pymap3d. Default: the datum's.\n"                                                        \
    "deg : bool, default True\n"                                                                              \
    "    Angles in and out in degrees; False: radians.\n"                                                     \
    "datum : str, optional\n"                                                                                 \
    "    Map datum of the geodetic values: 'WGS84' (the default), 'ED50', 'NASANAD27', 'NASBNAD27' or\n"     \
    "    'CONUSNAD27'. Geocentric values are always in the common (WGS 84) frame: the datum's shift is\n"     \
    "    applied. The library's WGS 84 rounds the semi-minor axis to 6356752.3142 m (up to 5e-5 m from\n"    \
    "    pyproj's). Not with ell=. The process-wide datum of the C++ library is neither used nor changed.\n" \
    "out : tuple of ndarray, optional\n"                                                                      \
    "    Arrays (float64, C-contiguous, of the broadcast shape) to write the results into.\n"                 \
    "errors : {'raise', 'nan'}, default 'raise'\n"                                                            \
    "    A bad element (an infinite input, a latitude beyond +/-90 degrees, a result the library cannot\n"   \
    "    be trusted on, a value the conversion refuses) raises ValueError naming the first one and why,\n"   \
    "    or gives NaN in its row with 'nan'. NaN in gives NaN out (missing data) either way.\n"              \
    "threads : int, optional\n"                                                                               \
    "    Worker threads for arrays; default: one per core from 8,192 elements on, else one.\n"               \
    "    The GIL is released while arrays are converted. What the library reports meanwhile becomes at\n"    \
    "    most one qormatrix.LibraryWarning per call.\n"

#define QM_DEG "deg : bool, default True\n    Angles in degrees; False: radians.\n"

#define QM_GEODESIC_ELL                                                                                       \
    "    (ell= also takes (semi-major axis, flattening).)\n"

#define QM_ARRAYS                                                                                             \
    "Inputs are array-likes of ints or floats (converted to float64 once) that broadcast together;\n"      \
    "Python or NumPy scalars in give Python floats out. Every element equals the C++ library's\n"          \
    "single-point call on it, bit for bit, whatever the number of threads.\n"

inline const char* const kModule =
    "The qormatrix library's geodesy and rotations on NumPy arrays.\n\n"
    "Positions in an earth-centred, earth-fixed (geocentric, 'ecef') frame, as latitude, longitude and\n"
    "height on a map datum, as UTM grid coordinates or in local north-east-down and east-north-up frames;\n"
    "orientation over the ground; Tait-Bryan angles, direction cosine matrices and quaternions.\n";

#define QM_GEOID                                                                                              \
    "geoid : GeoidGrid, optional\n"                                                                           \
    "    Heights above this geoid (mean sea level) instead of the ellipsoid, as a C++ geodetic\n"            \
    "    coordinate over the grid takes and gives them (DtGeodeticCoord::setGeoidGrid).\n"

inline const char* const kGeodetic2Ecef =
    "geodetic2ecef(lat, lon, alt=0.0, *, deg=True, datum='WGS84', geoid=None, out=None, errors='raise',\n"
    "              threads=None)\n\n"
    "Geodetic latitude, longitude and height to geocentric X, Y, Z.\n\n" QM_ARRAYS
    "\nParameters\n----------\n"
    "lat, lon : array_like\n    Geodetic latitude and longitude (degrees unless deg=False).\n"
    "alt : array_like, default 0.0\n    Height above the ellipsoid (or the geoid), metres.\n" QM_COMMON QM_GEOID
    "\nReturns\n-------\nx, y, z : float or ndarray\n    Geocentric coordinates, metres.\n"
    "\nExamples\n--------\n"
    ">>> import qormatrix as qm\n"
    ">>> x, y, z = qm.geodetic2ecef(45.0, 30.0, 1000.0)\n"
    ">>> print(f'{x:.3f} {y:.3f} {z:.3f}')\n"
    "3912960.837 2259148.993 4488055.516\n";

inline const char* const kEcef2Geodetic =
    "ecef2geodetic(x, y, z, *, deg=True, datum='WGS84', geoid=None, out=None, errors='raise', threads=None)\n\n"
    "Geocentric X, Y, Z to geodetic latitude, longitude and height.\n\n"
    "The library's iteration stops once the foot point moves less than 0.5 m, and takes the latitude\n"
    "from a square root that cancels near the equator: heights agree with an exact solution to about\n"
    "1e-7 m; latitudes to 2e-6 m away from the equator, but within about 1e-6 degree of it to 0.16 m\n"
    "up to 1,000 km height, 0.28 m at 10,000 km and 2.1 m at 100,000 km (docs/accuracy.md). Within\n"
    "a*e^2 of the ellipsoid's centre (42,699 m on WGS 84) a point has several normals to the ellipsoid\n"
    "and the iteration may settle on a far one (measured: up to 6,400 km off): such elements are bad.\n\n" QM_ARRAYS
    "\nParameters\n----------\nx, y, z : array_like\n    Geocentric coordinates, metres.\n" QM_COMMON QM_GEOID
    "\nReturns\n-------\nlat, lon, alt : float or ndarray\n"
    "    Latitude and longitude (degrees unless deg=False), height above the ellipsoid (or the geoid) in metres.\n"
    "\nExamples\n--------\n"
    ">>> import qormatrix as qm\n"
    ">>> lat, lon, alt = qm.ecef2geodetic([6378137.0, 0.0], [0.0, 6378137.0], [0.0, 0.0])\n"
    ">>> lon\n"
    "array([ 0., 90.])\n";

#define QM_LOCAL_DOC(NAME, SIGNATURE, WHAT, INPUT, OUTPUT, EXAMPLE)                                           \
    NAME SIGNATURE "\n\n" WHAT "\n\n"                                                                         \
    "The frame's origin is at lat0, lon0 and height h0 on the datum; its axes are north, east and down\n"    \
    "(NED) or east, north and up (ENU) there.\n\n" QM_ARRAYS "\nParameters\n----------\n" INPUT             \
    "lat0, lon0, h0 : array_like\n    The origin: latitude, longitude (degrees unless deg=False), height in metres.\n" \
    QM_COMMON "\nReturns\n-------\n" OUTPUT "\nExamples\n--------\n>>> import qormatrix as qm\n" EXAMPLE

#define QM_LOCAL_SIG "(..., lat0, lon0, h0=0.0, *, deg=True, datum='WGS84', out=None, errors='raise', threads=None)"

inline const char* const kEcef2Ned = QM_LOCAL_DOC(
    "ecef2ned", "(x, y, z, lat0, lon0, h0=0.0, *, ...)", "Geocentric X, Y, Z to north, east, down at an origin.",
    "x, y, z : array_like\n    Geocentric coordinates, metres.\n", "n, e, d : float or ndarray\n    Metres.\n",
    ">>> n, e, d = qm.ecef2ned(6378237.0, 0.0, 0.0, 0.0, 0.0)\n>>> print(f'{n:.6f} {e:.6f} {d:.6f}')\n"
    "0.000000 0.000000 -100.000000\n");
inline const char* const kEcef2Enu = QM_LOCAL_DOC(
    "ecef2enu", "(x, y, z, lat0, lon0, h0=0.0, *, ...)", "Geocentric X, Y, Z to east, north, up at an origin.",
    "x, y, z : array_like\n    Geocentric coordinates, metres.\n", "e, n, u : float or ndarray\n    Metres.\n",
    ">>> e, n, u = qm.ecef2enu(6378237.0, 0.0, 0.0, 0.0, 0.0)\n>>> print(f'{u:.6f}')\n100.000000\n");
inline const char* const kGeodetic2Ned = QM_LOCAL_DOC(
    "geodetic2ned", "(lat, lon, alt, lat0, lon0, h0=0.0, *, ...)",
    "Geodetic latitude, longitude, height to north, east, down at an origin.",
    "lat, lon, alt : array_like\n    The point (degrees unless deg=False; metres).\n",
    "n, e, d : float or ndarray\n    Metres.\n",
    ">>> n, e, d = qm.geodetic2ned(45.0, 7.0, 500.0, 45.0, 7.0, 0.0)\n>>> print(f'{d:.6f}')\n-500.000000\n");
inline const char* const kGeodetic2Enu = QM_LOCAL_DOC(
    "geodetic2enu", "(lat, lon, alt, lat0, lon0, h0=0.0, *, ...)",
    "Geodetic latitude, longitude, height to east, north, up at an origin.",
    "lat, lon, alt : array_like\n    The point (degrees unless deg=False; metres).\n",
    "e, n, u : float or ndarray\n    Metres.\n",
    ">>> e, n, u = qm.geodetic2enu(45.0, 7.0, 500.0, 45.0, 7.0, 0.0)\n>>> print(f'{u:.6f}')\n500.000000\n");
inline const char* const kNed2Ecef = QM_LOCAL_DOC(
    "ned2ecef", "(n, e, d, lat0, lon0, h0=0.0, *, ...)", "North, east, down at an origin to geocentric X, Y, Z.",
    "n, e, d : array_like\n    Metres.\n", "x, y, z : float or ndarray\n    Geocentric coordinates, metres.\n",
    ">>> x, y, z = qm.ned2ecef(0.0, 0.0, -100.0, 0.0, 0.0)\n>>> print(f'{x:.3f}')\n6378237.000\n");
inline const char* const kEnu2Ecef = QM_LOCAL_DOC(
    "enu2ecef", "(e, n, u, lat0, lon0, h0=0.0, *, ...)", "East, north, up at an origin to geocentric X, Y, Z.",
    "e, n, u : array_like\n    Metres.\n", "x, y, z : float or ndarray\n    Geocentric coordinates, metres.\n",
    ">>> x, y, z = qm.enu2ecef(0.0, 0.0, 100.0, 0.0, 0.0)\n>>> print(f'{x:.3f}')\n6378237.000\n");
inline const char* const kNed2Geodetic = QM_LOCAL_DOC(
    "ned2geodetic", "(n, e, d, lat0, lon0, h0=0.0, *, ...)",
    "North, east, down at an origin to geodetic latitude, longitude, height.", "n, e, d : array_like\n    Metres.\n",
    "lat, lon, alt : float or ndarray\n    Degrees unless deg=False; metres.\n",
    ">>> lat, lon, alt = qm.ned2geodetic(0.0, 0.0, -500.0, 45.0, 7.0, 0.0)\n>>> print(f'{alt:.6f}')\n500.000000\n");
inline const char* const kEnu2Geodetic = QM_LOCAL_DOC(
    "enu2geodetic", "(e, n, u, lat0, lon0, h0=0.0, *, ...)",
    "East, north, up at an origin to geodetic latitude, longitude, height.", "e, n, u : array_like\n    Metres.\n",
    "lat, lon, alt : float or ndarray\n    Degrees unless deg=False; metres.\n",
    ">>> lat, lon, alt = qm.enu2geodetic(0.0, 0.0, 500.0, 45.0, 7.0, 0.0)\n>>> print(f'{alt:.6f}')\n500.000000\n");

inline const char* const kGeodetic2Utm =
    "geodetic2utm(lat, lon, *, zone=None, deg=True, datum='WGS84', out=None, errors='raise', threads=None)\n\n"
    "Geodetic latitude and longitude to UTM easting, northing and zone.\n\n"
    "Standard UTM offsets (false easting 500 km; false northing 10,000 km south of the equator), scale\n"
    "0.9996 on the central meridian; each point in its own zone unless zone fixes one. The library's\n"
    "zone rule (zone_rule='library') has the Norway exception and the Svalbard zones up to 80 N with\n"
    "inclusive bounds, and puts the meridian 180 in zone 61 (zone 1's grid); zone_rule='standard' is\n"
    "the rule pyproj and MGRS use (Svalbard 72 to 84 N, lower bounds inclusive, 180 in zone 1). The\n"
    "series carry the meridian arc to e^8 and agree with the exact transverse Mercator to 1.8 mm\n"
    "within 3 degrees of the central meridian, 0.07 m within 8; further than 8 degrees (a fixed zone)\n"
    "an element is bad.\n\n" QM_ARRAYS
    "\nParameters\n----------\nlat, lon : array_like\n    Degrees unless deg=False.\n"
    "zone : array_like of int, optional\n    The zone (1 to 60) for every point, or None.\n"
    "zone_rule : {'library', 'standard'}, default 'library'\n    How a point's own zone is chosen.\n" QM_COMMON
    "\nReturns\n-------\neasting, northing, zone : float or ndarray\n"
    "    Metres, and the zone of each point (as floats). The hemisphere is the latitude's.\n"
    "\nExamples\n--------\n>>> import qormatrix as qm\n"
    ">>> e, n, z = qm.geodetic2utm(40.0, -75.0)\n>>> print(f'{z:.0f} {e:.3f} {n:.3f}')\n18 500000.000 4427757.219\n";

inline const char* const kUtm2Geodetic =
    "utm2geodetic(easting, northing, zone, *, hemisphere=None, band=None, deg=True, datum='WGS84', out=None,\n"
    "             errors='raise', threads=None)\n\n"
    "UTM easting, northing and zone to geodetic latitude and longitude.\n\n"
    "Give the hemisphere ('N' or 'S') or the latitude band letter ('C' to 'X'; 'N' and above are\n"
    "north): it decides the false northing. A single letter or an array of letters. A position more\n"
    "than 8 degrees of longitude from the zone's central meridian (measured: the inverse series are\n"
    "then off by more than 0.3 m, 28 m at 15 degrees) or past the pole is a bad element.\n\n" QM_ARRAYS
    "\nParameters\n----------\neasting, northing : array_like\n    Metres, with the standard offsets.\n"
    "zone : array_like of int\n    1 to 60 (61: zone 1's grid, as geodetic2utm gives it on the meridian 180).\n"
    "hemisphere, band : str or array_like of str\n    Exactly one of the two.\n" QM_COMMON
    "\nReturns\n-------\nlat, lon : float or ndarray\n    Degrees unless deg=False; longitudes in (-180, 180].\n"
    "\nExamples\n--------\n>>> import qormatrix as qm\n"
    ">>> lat, lon = qm.utm2geodetic(500000.0, 4427757.219, 18, hemisphere='N')\n"
    ">>> print(f'{lat:.6f} {lon:.6f}')\n40.000000 -75.000000\n";

inline const char* const kGridDeclination =
    "grid_declination(lat, lon, *, zone=None, deg=True, datum='WGS84', out=None, errors='raise', threads=None)\n\n"
    "Grid declination: the angle from true north to UTM grid north, positive when grid north lies east\n"
    "of true north; measured by stepping 0.0001 rad north and projecting, in each point's own zone\n"
    "unless zone fixes one.\n\n" QM_ARRAYS
    "\nParameters\n----------\nlat, lon : array_like\n    Degrees unless deg=False.\n"
    "zone : array_like of int, optional\n    The zone (1 to 60) for every point, or None.\n" QM_COMMON
    "\nReturns\n-------\nangle : float or ndarray\n    Degrees unless deg=False.\n"
    "\nExamples\n--------\n>>> import qormatrix as qm\n"
    ">>> print(f'{qm.grid_declination(-45.0, -72.0, zone=18):.4f}')\n-2.1222\n";

inline const char* const kEcef2Hpr =
    "ecef2hpr(x, y, z, psi, theta, phi, *, deg=True, datum='WGS84', out=None, errors='raise', threads=None)\n\n"
    "Heading, pitch and roll over the local ground from a geocentric position and Tait-Bryan angles\n"
    "(yaw psi, pitch theta, roll phi) of the body relative to the geocentric axes.\n\n" QM_ARRAYS
    "\nParameters\n----------\nx, y, z : array_like\n    Geocentric position, metres.\n"
    "psi, theta, phi : array_like\n    Angles to the geocentric axes (degrees unless deg=False).\n" QM_COMMON
    "\nReturns\n-------\nheading, pitch, roll : float or ndarray\n    Over the north-east-down frame at the position.\n"
    "\nExamples\n--------\n>>> import qormatrix as qm\n"
    ">>> h, p, r = qm.ecef2hpr(6378137.0, 0.0, 0.0, 0.0, -80.0, 0.0)   # nose north, 10 degrees up\n"
    ">>> print(f'{h:.6f} {p:.6f} {r:.6f}')\n0.000000 10.000000 0.000000\n";

inline const char* const kGeodesicInverse =
    "geodesic_inverse(lat1, lon1, lat2, lon2, ...)\n\n"
    "The shortest route over the ellipsoid between two points: its length and the azimuth at each end\n"
    "(the inverse geodesic problem; pyproj's Geod.inv, pymap3d's vdist). The method of Karney (2013):\n"
    "within 1.2e-8 m of GeographicLib on the earth's ellipsoids, nearly antipodal points included.\n\n"
    QM_ARRAYS "\nParameters\n----------\nlat1, lon1, lat2, lon2 : array_like\n"
    "    The two points (degrees unless deg=False).\n" QM_GEODESIC_ELL QM_COMMON
    "full : bool, default False\n    Also the reduced length (metres), the geodesic scales M12 and M21 and the\n"
    "    area between the geodesic and the equator (square metres).\n"
    "\nReturns\n-------\ndistance, azimuth1, azimuth2 : float or ndarray\n"
    "    Metres; the azimuths (clockwise from north, in (-180, 180]) at the first point and, onwards, at the\n"
    "    second (pyproj's back azimuth is azimuth2 + 180). With full=True, then m12, M12, M21, S12.\n"
    "\nExamples\n--------\n>>> import qormatrix as qm\n"
    ">>> s, a1, a2 = qm.geodesic_inverse(0.0, 0.0, 0.0, 90.0)\n>>> print(f'{s:.3f} {a1:.1f} {a2:.1f}')\n"
    "10018754.171 90.0 90.0\n";
#define QM_LOOK_NOTE                                                                                          \
    "Azimuth clockwise from north in [0, 360), elevation above the plane normal to the ellipsoid in\n"     \
    "[-90, 90] (the library's north-east-down frame at the observer), slant range in metres. A target\n"   \
    "at the observer has azimuth 0, elevation 0, range 0; straight up or down the azimuth is that of\n"    \
    "whatever horizontal offset rounding leaves (pymap3d zeroes offsets below 1 mm; we do not).\n"

#define QM_AER_DOC(NAME, SIGNATURE, WHAT, INPUT, OUTPUT, EXAMPLE)                                             \
    NAME SIGNATURE "\n\n" WHAT "\n\n" QM_LOOK_NOTE "\n" QM_ARRAYS "\nParameters\n----------\n" INPUT        \
    "lat0, lon0, h0 : array_like\n    The observer: latitude, longitude (degrees unless deg=False), height in metres.\n" \
    QM_COMMON "\nReturns\n-------\n" OUTPUT "\nExamples\n--------\n>>> import qormatrix as qm\n" EXAMPLE

inline const char* const kGeodetic2Aer = QM_AER_DOC(
    "geodetic2aer", "(lat, lon, h, lat0, lon0, h0, ...)",
    "Azimuth, elevation and slant range from an observer to a geodetic position (pymap3d's geodetic2aer).",
    "lat, lon, h : array_like\n    The target (degrees unless deg=False; metres).\n",
    "az, el, srange : float or ndarray\n    Degrees unless deg=False; metres.\n",
    ">>> az, el, r = qm.geodetic2aer(0.0, 0.001, 0.0, 0.0, 0.0, 0.0)\n>>> print(f'{az:.1f} {r:.3f}')\n90.0 111.319\n");
inline const char* const kEcef2Aer = QM_AER_DOC(
    "ecef2aer", "(x, y, z, lat0, lon0, h0, ...)",
    "Azimuth, elevation and slant range from an observer to a geocentric point (pymap3d's ecef2aer).",
    "x, y, z : array_like\n    The target, geocentric, metres.\n",
    "az, el, srange : float or ndarray\n    Degrees unless deg=False; metres.\n",
    ">>> az, el, r = qm.ecef2aer(6378237.0, 0.0, 0.0, 0.0, 0.0, 0.0)\n>>> print(f'{el:.1f} {r:.3f}')\n90.0 100.000\n");
inline const char* const kAer2Geodetic = QM_AER_DOC(
    "aer2geodetic", "(az, el, srange, lat0, lon0, h0, ...)",
    "The geodetic position at an azimuth, elevation and slant range from an observer (pymap3d's\n"
    "aer2geodetic), exact to about a nanometre (Bowring's iteration to convergence, not the fixed\n"
    "iteration ecef2geodetic shares with the C++ library). A negative range is an error.",
    "az, el, srange : array_like\n    Degrees unless deg=False; metres (not negative).\n",
    "lat, lon, alt : float or ndarray\n    Degrees unless deg=False; metres above the ellipsoid.\n",
    ">>> lat, lon, alt = qm.aer2geodetic(0.0, 90.0, 1000.0, 45.0, 7.0, 0.0)\n"
    ">>> print(f'{lat:.9f} {lon:.9f} {alt:.6f}')\n45.000000000 7.000000000 1000.000000\n");
inline const char* const kAer2Ecef = QM_AER_DOC(
    "aer2ecef", "(az, el, srange, lat0, lon0, alt0, ...)",
    "The geocentric point at an azimuth, elevation and slant range from an observer (pymap3d's\n"
    "aer2ecef; the observer's height is alt0 there). A negative range is an error.",
    "az, el, srange : array_like\n    Degrees unless deg=False; metres (not negative).\n",
    "x, y, z : float or ndarray\n    Geocentric, metres.\n",
    ">>> x, y, z = qm.aer2ecef(0.0, 90.0, 100.0, 0.0, 0.0, 0.0)\n>>> print(f'{x:.3f}')\n6378237.000\n");

#define QM_OFFSET_DOC(NAME, SIGNATURE, WHAT, INPUT, OUTPUT, EXAMPLE)                                          \
    NAME SIGNATURE "\n\n" WHAT "\n\n" QM_LOOK_NOTE "\n" QM_ARRAYS "\nParameters\n----------\n" INPUT QM_DEG \
    "out, errors, threads\n    As for geodetic2aer.\n"                                                        \
    "\nReturns\n-------\n" OUTPUT "\nExamples\n--------\n>>> import qormatrix as qm\n" EXAMPLE

inline const char* const kEnu2Aer = QM_OFFSET_DOC(
    "enu2aer", "(e, n, u, deg=True, ...)", "East, north, up offsets to azimuth, elevation, slant range.",
    "e, n, u : array_like\n    Metres.\n", "az, el, srange : float or ndarray\n",
    ">>> az, el, r = qm.enu2aer(1.0, 1.0, 0.0)\n>>> print(f'{az:.1f} {el:.1f} {r:.6f}')\n45.0 0.0 1.414214\n");
inline const char* const kNed2Aer = QM_OFFSET_DOC(
    "ned2aer", "(n, e, d, deg=True, ...)", "North, east, down offsets to azimuth, elevation, slant range.",
    "n, e, d : array_like\n    Metres.\n", "az, el, srange : float or ndarray\n",
    ">>> az, el, r = qm.ned2aer(0.0, -3.0, -4.0)\n>>> print(f'{az:.1f} {el:.4f} {r:.1f}')\n270.0 53.1301 5.0\n");
inline const char* const kAer2Enu = QM_OFFSET_DOC(
    "aer2enu", "(az, el, srange, deg=True, ...)",
    "Azimuth, elevation, slant range to east, north, up offsets. A negative range is an error.",
    "az, el, srange : array_like\n    Degrees unless deg=False; metres.\n", "e, n, u : float or ndarray\n    Metres.\n",
    ">>> e, n, u = qm.aer2enu(90.0, 0.0, 10.0)\n>>> print(f'{e:.6f} {abs(n):.6f} {u:.6f}')\n10.000000 0.000000 0.000000\n");
inline const char* const kAer2Ned = QM_OFFSET_DOC(
    "aer2ned", "(az, elev, slantRange, deg=True, ...)",
    "Azimuth, elevation, slant range to north, east, down offsets. A negative range is an error.",
    "az, elev, slantRange : array_like\n    Degrees unless deg=False; metres.\n",
    "n, e, d : float or ndarray\n    Metres.\n",
    ">>> n, e, d = qm.aer2ned(0.0, 90.0, 10.0)\n>>> print(f'{abs(n):.6f} {d:.6f}')\n0.000000 -10.000000\n");

inline const char* const kLookAtSpheroid =
    "lookAtSpheroid(lat0, lon0, h0, az, tilt, ell=None, deg=True, *, height=0.0, ...)\n\n"
    "Where a line of sight from an observer first meets the ellipsoid (pymap3d.los.lookAtSpheroid):\n"
    "the ray leaves along azimuth az with tilt from the nadir (0 straight down, 90 level). With\n"
    "height=, the surface that far above the ellipsoid (exact, not a larger ellipsoid). NaN where the\n"
    "ray misses (not an error). An observer below the surface looks out from inside: the point is\n"
    "where the ray leaves it.\n\n" QM_ARRAYS "\nParameters\n----------\nlat0, lon0, h0 : array_like\n"
    "    The observer (degrees unless deg=False; metres).\naz, tilt : array_like\n    Degrees unless deg=False.\n"
    "height : float, default 0.0\n    Metres above the ellipsoid; above -b.\n" QM_COMMON
    "\nReturns\n-------\nlat, lon, d : float or ndarray\n    The point and the slant range to it (metres).\n"
    "\nExamples\n--------\n>>> import qormatrix as qm\n"
    ">>> lat, lon, d = qm.lookAtSpheroid(10.0, 20.0, 1000.0, 0.0, 0.0)\n"
    ">>> print(f'{lat:.9f} {lon:.9f} {d:.6f}')\n10.000000000 20.000000000 1000.000000\n";

inline const char* const kClearance =
    "clearance(lat0, lon0, h0, lat, lon, h, ell=None, deg=True, *, height=0.0, ...)\n\n"
    "Whether the straight segment from an observer to a target stays at or above height over the\n"
    "ellipsoid, and its lowest point: radar and radio horizon without refraction (the segment is a\n"
    "straight line, not a ray bent by the atmosphere) and without terrain.\n\n" QM_ARRAYS
    "\nParameters\n----------\nlat0, lon0, h0 : array_like\n    The observer (degrees unless deg=False; metres).\n"
    "lat, lon, h : array_like\n    The target.\nheight : float, default 0.0\n    Metres above the ellipsoid.\n"
    QM_COMMON "\nReturns\n-------\nvisible, lowest, at : float or ndarray\n"
    "    1.0 where the segment clears the surface, 0.0 where not (NaN for a bad row with errors='nan');\n"
    "    the least height above the ellipsoid along the segment (metres); where, from 0 at the observer\n"
    "    to 1 at the target.\n"
    "\nExamples\n--------\n>>> import qormatrix as qm\n"
    ">>> visible, lowest, at = qm.clearance(0.0, 0.0, 100.0, 0.0, 1.0, 100.0)\n"
    ">>> print(visible, round(lowest), round(at, 3))\n0.0 -143 0.5\n";

inline const char* const kGeodetic2Ups =
    "geodetic2ups(lat, lon, ell=None, deg=True, *, ...)\n\n"
    "Geodetic latitude and longitude to the universal polar stereographic grid (k0 = 0.994, false\n"
    "easting and northing 2,000,000 m) of their pole. Latitudes from 83.5 N and from 79.5 S (the\n"
    "overlaps with UTM the standard allows); others are errors.\n\n" QM_ARRAYS
    "\nParameters\n----------\nlat, lon : array_like\n    Degrees unless deg=False.\n" QM_COMMON
    "\nReturns\n-------\neasting, northing : float or ndarray\n    Metres.\n"
    "\nExamples\n--------\n>>> import qormatrix as qm\n>>> qm.geodetic2ups(90.0, 0.0)\n(2000000.0, 2000000.0)\n";
inline const char* const kUps2Geodetic =
    "ups2geodetic(easting, northing, hemisphere, ell=None, deg=True, *, ...)\n\n"
    "The universal polar stereographic grid of the north ('N') or south ('S') pole back to latitude\n"
    "and longitude.\n\n" QM_ARRAYS
    "\nParameters\n----------\neasting, northing : array_like\n    Metres.\nhemisphere : {'N', 'S'}\n" QM_COMMON
    "\nReturns\n-------\nlat, lon : float or ndarray\n"
    "\nExamples\n--------\n>>> import qormatrix as qm\n>>> lat, lon = qm.ups2geodetic(2000000.0, 2000000.0, 'S')\n"
    ">>> print(f'{lat:.6f}')\n-90.000000\n";
inline const char* const kGeodetic2Mgrs =
    "geodetic2mgrs(lat, lon, digits=5, ell=None, deg=True, *, datum=None, errors='raise')\n\n"
    "Military grid reference strings of geodetic positions: UTM from 80 S to 84 N (with the Norway\n"
    "and Svalbard zones), UPS beyond (A, B, Y, Z), digits per axis 0 (100 km) to 5 (1 m) and up to 11\n"
    "(a micrometre). Truncated, never rounded into the next square. The older lettering on the Clarke\n"
    "1866 datums (the NAD 27 ones). NumPy arrays and scalars only; a NaN element gives an empty string.\n"
    "\nParameters\n----------\nlat, lon : array_like\n    Degrees unless deg=False.\ndigits : int, default 5\n"
    "ell, deg, datum\n    As for geodetic2utm.\nerrors : {'raise', 'nan'}, default 'raise'\n"
    "    A bad element raises ValueError naming it and why, or gives an empty string with 'nan'.\n"
    "\nReturns\n-------\nstr or ndarray of str\n"
    "\nExamples\n--------\n>>> import qormatrix as qm\n>>> qm.geodetic2mgrs(40.689247, -74.044502)\n'18TWL8073504700'\n"
    ">>> qm.geodetic2mgrs([40.689247, 90.0], [-74.044502, 0.0], 2)\narray(['18TWL8004', 'ZAH0000'], dtype='<U9')\n";
inline const char* const kMgrs2Geodetic =
    "mgrs2geodetic(text, centre=True, ell=None, deg=True, *, datum=None, errors='raise')\n\n"
    "Military grid reference strings back to the centre of their squares (or the south-west corner,\n"
    "centre=False), with their digits per axis. Upper or lower case, spaces between the parts. A zone\n"
    "out of 1-60, a band letter I, O or not one, a square that does not exist in the zone, an odd or too\n"
    "long run of digits, a row more than 100 km outside its band: ValueError naming the string and what\n"
    "is wrong (NaN with errors='nan').\n"
    "\nParameters\n----------\ntext : str or array_like of str\ncentre : bool, default True\n"
    "ell, deg, datum\n    As for geodetic2utm.\nerrors : {'raise', 'nan'}, default 'raise'\n"
    "\nReturns\n-------\nlat, lon, digits : float or ndarray\n"
    "\nExamples\n--------\n>>> import qormatrix as qm\n>>> lat, lon, digits = qm.mgrs2geodetic('18T WL 80735 04700')\n"
    ">>> print(f'{lat:.5f} {lon:.5f} {digits:.0f}')\n40.68925 -74.04450 5\n";

inline const char* const kMagneticModel =
    "A magnetic model read from a coefficient file in the World Magnetic Model's .COF layout (WMM2020,\n"
    "WMM2025, later releases, models of higher degree), for model= of magnetic_field and\n"
    "magnetic_bearings. A file that cannot be opened is an OSError; a malformed one a ValueError naming\n"
    "the file, the line and what is wrong. WMM2025 itself is built in (model=None).\n";
inline const char* const kMagneticField =
    "magnetic_field(lat, lon, alt, year, deg=True, *, model=None, rates=False, ...)\n\n"
    "The earth's main magnetic field (WMM2025 unless model= says otherwise) at geodetic positions on\n"
    "WGS 84 and decimal years: north, east and down components, horizontal and total intensity (nT),\n"
    "inclination and declination; with rates=True their rates of change a year instead. A time outside\n"
    "the model's five years or a height outside -1 km to 850 km still gives the model's value (the\n"
    "first such call for each model gives a LibraryWarning).\n\n" QM_ARRAYS
    "\nParameters\n----------\nlat, lon : array_like\n    Degrees unless deg=False.\nalt : array_like\n"
    "    Metres above the ellipsoid.\nyear : array_like\n    Decimal year (2025.5 is the start of July 2025).\n"
    QM_DEG "model : MagneticModel, optional\nrates : bool, default False\n"
    "out, errors, threads\n    As for geodetic2ecef.\n"
    "\nReturns\n-------\nx, y, z, h, f, incl, decl : float or ndarray\n"
    "\nExamples\n--------\n>>> import qormatrix as qm\n"
    ">>> x, y, z, h, f, incl, decl = qm.magnetic_field(80.0, 0.0, 0.0, 2025.0)\n"
    ">>> print(f'{f:.1f} {incl:.2f} {decl:.2f}')\n55178.5 83.21 1.28\n";
inline const char* const kMagneticBearings =
    "magnetic_bearings(lat, lon, alt, year, deg=True, *, model=None, ...)\n\n"
    "True, magnetic and grid north at geodetic positions and decimal years: the declination (magnetic\n"
    "from true), the library's grid declination (grid from true, in the point's UTM zone; NaN beyond\n"
    "the UTM latitudes), the grid-magnetic angle a map margin prints (magnetic from grid), the grid\n"
    "variation of polar navigation (NaN between 55 S and 55 N), and the compass zone: 0 good, 1 caution\n"
    "(horizontal intensity below 6,000 nT), 2 unreliable (below 2,000 nT). Bearings clockwise.\n\n"
    QM_ARRAYS "\nParameters\n----------\nlat, lon, alt, year, deg, model, out, errors, threads\n"
    "    As for magnetic_field.\n"
    "\nReturns\n-------\ndeclination, grid_declination, grid_magnetic_angle, grid_variation, zone : float or ndarray\n"
    "\nExamples\n--------\n>>> import qormatrix as qm\n"
    ">>> d, g, gma, gv, zone = qm.magnetic_bearings(51.47, -0.4543, 25.0, 2026.5)\n"
    ">>> print(f'{gma:.2f}', zone)\n-0.93 0.0\n";

inline const char* const kGeodesicDirect =
    "geodesic_direct(lat1, lon1, azimuth, distance, ...)\n\n"
    "Where a geodesic from a point along an azimuth ends after a distance (the direct geodesic problem;\n"
    "pyproj's Geod.fwd, pymap3d's vreckon): negative distances go backwards, longer than a circumference\n"
    "round again.\n\n"
    QM_ARRAYS "\nParameters\n----------\nlat1, lon1 : array_like\n    The start (degrees unless deg=False).\n"
    "azimuth : array_like\n    Clockwise from north.\ndistance : array_like\n    Metres.\n" QM_GEODESIC_ELL QM_COMMON
    "\nReturns\n-------\nlat2, lon2, azimuth2 : float or ndarray\n    The end and the azimuth there.\n"
    "\nExamples\n--------\n>>> import qormatrix as qm\n"
    ">>> lat, lon, az = qm.geodesic_direct(0.0, 0.0, 90.0, 10018754.171394622)\n"
    ">>> print(f'{lat:.9f} {lon:.9f} {az:.1f}')\n0.000000000 90.000000000 90.0\n";

inline const char* const kGeodesicWaypoints =
    "geodesic_waypoints(lat1, lon1, lat2, lon2, n, ...)\n\n"
    "n equally spaced points on the shortest geodesic between two points, both ends included (pyproj's\n"
    "Geod.npts gives the n - 2 between them): a route of waypoints, one line solved once.\n\n"
    "Returns\n-------\nlat, lon, azimuth, distance : ndarray, shape (n,)\n"
    "    The points, the azimuth of the route at each, and the distance from the first (metres).\n"
    "\nExamples\n--------\n>>> import qormatrix as qm\n"
    ">>> lat, lon, az, s = qm.geodesic_waypoints(0.0, 0.0, 0.0, 90.0, 4)\n>>> print(lon.round(6))\n"
    "[ 0. 30. 60. 90.]\n";

inline const char* const kGeodesicPolygon =
    "geodesic_polygon(lat, lon, ...)\n\n"
    "The area and perimeter of a polygon whose edges are geodesics, from its vertices in order (closed\n"
    "back to the first); pyproj's Geod.polygon_area_perimeter. Counter-clockwise gives a positive area.\n\n"
    "Parameters\n----------\nlat, lon : array_like, 1-D\n    The vertices (degrees unless deg=False).\n"
    "ell : pymap3d.Ellipsoid or (semi-major axis, flattening), optional\ndeg : bool, default True\n"
    "datum : str, optional\n"
    "\nReturns\n-------\narea, perimeter : float\n    Square metres and metres.\n"
    "\nExamples\n--------\n>>> import qormatrix as qm\n"
    ">>> area, perimeter = qm.geodesic_polygon([0, 0, 90], [0, 90, 0])   # an eighth of the earth\n"
    ">>> print(f'{area / 1e12:.3f} {perimeter / 1e3:.3f}')\n63.758 30022.686\n";

#define QM_ROTATION(NAME, SIGNATURE, WHAT, PARAMS, RETURNS, EXAMPLE)                                          \
    NAME SIGNATURE "\n\n" WHAT "\n\n"                                                                         \
    "Angles are (psi, theta, phi): yaw about the third axis, pitch about the second, roll about the\n"       \
    "first, applied in that order. Matrices are body to reference (a body vector times the matrix\n"        \
    "gives it in the reference frame); quaternions are (w, x, y, z). Leading axes are kept; every\n"         \
    "element equals the library's single call on it.\n\nParameters\n----------\n" PARAMS                    \
    "out : ndarray, optional\n    A float64 C-contiguous array of the result's shape.\n"                    \
    "\nReturns\n-------\n" RETURNS "\nExamples\n--------\n>>> import qormatrix as qm\n" EXAMPLE


inline const char* const kTaitBryan2Dcm = QM_ROTATION(
    "taitbryan2dcm", "(angles, *, deg=True, out=None)", "Tait-Bryan angles to direction cosine matrices.",
    "angles : array_like, shape (..., 3)\n" QM_DEG, "ndarray, shape (..., 3, 3)\n",
    ">>> m = qm.taitbryan2dcm([90.0, 0.0, 0.0])\n>>> print(m.round(12) + 0.0)\n"
    "[[ 0. -1.  0.]\n [ 1.  0.  0.]\n [ 0.  0.  1.]]\n");
inline const char* const kDcm2TaitBryan = QM_ROTATION(
    "dcm2taitbryan", "(dcm, *, deg=True, out=None)",
    "Direction cosine matrices to Tait-Bryan angles: theta in [-90, 90], psi and phi in [-180, 180];\n"
    "within about 1e-6 rad of vertical pitch the roll is 0 and the heading carries the combined angle.",
    "dcm : array_like, shape (..., 3, 3)\n" QM_DEG, "ndarray, shape (..., 3)\n",
    ">>> print(qm.dcm2taitbryan(qm.taitbryan2dcm([30.0, 20.0, 10.0])).round(9))\n[30. 20. 10.]\n");
inline const char* const kTaitBryan2Quat = QM_ROTATION(
    "taitbryan2quat", "(angles, *, deg=True, out=None)", "Tait-Bryan angles to quaternions.",
    "angles : array_like, shape (..., 3)\n" QM_DEG, "ndarray, shape (..., 4)\n",
    ">>> print(qm.taitbryan2quat([[0.0, 0.0, 0.0], [180.0, 0.0, 0.0]]).round(12) + 0.0)\n"
    "[[1. 0. 0. 0.]\n [0. 0. 0. 1.]]\n");
inline const char* const kQuat2TaitBryan = QM_ROTATION(
    "quat2taitbryan", "(quat, *, deg=True, out=None)", "Quaternions to Tait-Bryan angles (through their matrix).",
    "quat : array_like, shape (..., 4)\n" QM_DEG, "ndarray, shape (..., 3)\n",
    ">>> print(qm.quat2taitbryan(qm.taitbryan2quat([30.0, 20.0, 10.0])).round(9))\n[30. 20. 10.]\n");
inline const char* const kQuat2Dcm = QM_ROTATION(
    "quat2dcm", "(quat, *, out=None)", "Quaternions to direction cosine matrices (nothing is normalised).",
    "quat : array_like, shape (..., 4)\n", "ndarray, shape (..., 3, 3)\n",
    ">>> import numpy as np\n>>> a = [30.0, 20.0, 10.0]\n"
    ">>> bool(np.allclose(qm.quat2dcm(qm.taitbryan2quat(a)), qm.taitbryan2dcm(a)))\nTrue\n");
inline const char* const kDcm2Quat = QM_ROTATION(
    "dcm2quat", "(dcm, *, out=None)", "Direction cosine matrices to quaternions, through their Tait-Bryan angles.",
    "dcm : array_like, shape (..., 3, 3)\n", "ndarray, shape (..., 4)\n",
    ">>> print(qm.dcm2quat(qm.taitbryan2dcm([180.0, 0.0, 0.0])).round(12) + 0.0)\n[0. 0. 0. 1.]\n");

inline const char* const kUtmGrid =
    "UtmGrid(lat0, lon0, *, zone=None, local=True, scale=0.9996, datum='WGS84', deg=True)\n\n"
    "A UTM grid with its own reference point: with local=True (the default) eastings and northings\n"
    "count from the reference point, and every point keeps the reference point's zone, also across a\n"
    "zone line; local=False gives standard UTM values in that zone.\n\n"
    "Parameters\n----------\nlat0, lon0 : float\n    The reference point (degrees unless deg=False).\n"
    "zone : int, optional\n    The zone; default: the reference point's.\n"
    "local : bool, default True\nscale : float, default 0.9996\ndatum : str, default 'WGS84'\ndeg : bool, default True\n"
    "\nExamples\n--------\n>>> import qormatrix as qm\n>>> grid = qm.UtmGrid(35.25, -120.1)\n"
    ">>> grid\nUtmGrid(zone=10, local=True, datum='WGS84')\n"
    ">>> e, n = grid.forward(35.25, -120.1)\n>>> print(f'{e:.6f} {n:.6f}')\n0.000000 0.000000\n";
inline const char* const kUtmGridForward =
    "forward(lat, lon, *, out=None, errors='raise', threads=None)\n\n"
    "Latitude and longitude to easting and northing on this grid (metres).\n";
inline const char* const kUtmGridInverse =
    "inverse(easting, northing, *, out=None, errors='raise', threads=None)\n\n"
    "Easting and northing on this grid to latitude and longitude.\n";

inline const char* const kGeoidGrid =
    "GeoidGrid(file, *, area=None, cubic=False)\n\n"
    "A geoid model from a grid of undulations in GTX format (EGM96 is /usr/share/proj/egm96_15.gtx with\n"
    "Debian's proj-data): the height of the geoid (mean sea level) above the WGS 84 ellipsoid.\n"
    "Bilinear between the four nodes around a point, or bicubic (Catmull-Rom) with cubic=True. The whole\n"
    "grid is held in memory, or only area=(south, west, north, east) in degrees, the rest read from the\n"
    "file when needed. A missing file raises OSError, a file that is not a GTX grid ValueError.\n"
    "Pass it as geoid= to geodetic2ecef and ecef2geodetic for heights above mean sea level.\n\n"
    "Examples\n--------\n>>> import os, qormatrix as qm\n"
    ">>> egm96 = qm.GeoidGrid('/usr/share/proj/egm96_15.gtx') if os.path.exists('/usr/share/proj/egm96_15.gtx') else None\n"
    ">>> egm96 is None or round(egm96.undulation(27.9881, 86.925), 3) == -28.866\n"
    "True\n";
inline const char* const kGeoidUndulation =
    "undulation(lat, lon, *, deg=True, out=None, errors='raise', threads=None)\n\n"
    "The geoid's height above the ellipsoid, metres, at latitudes and longitudes (degrees unless\n"
    "deg=False): DtGeoidGrid::undulation on each element. A point outside a regional grid, or next to a\n"
    "node without data, is a bad element (ValueError, or NaN with errors='nan').\n";

}  // namespace docs
}  // namespace qmpy

#endif
