"""qormatrix: the C++ library's geodesy and rotations on NumPy arrays.

Conversions between geodetic (latitude, longitude, height), geocentric
(earth-centred, earth-fixed), UTM and local north-east-down / east-north-up
coordinates; azimuth, elevation and range, lines of sight and clearance;
geodesics; heading, pitch and roll over the ground; Tait-Bryan angles,
direction cosine matrices and quaternions. Every function works element-wise
on anything that broadcasts, gives Python floats for scalars, and returns for
each element exactly the bits of the C++ library's single-point call.

>>> import qormatrix as qm
>>> lat, lon, alt = qm.ecef2geodetic(*qm.geodetic2ecef(48.8566, 2.3522, 35.0))
>>> print(f"{lat:.6f} {lon:.6f} {alt:.3f}")
48.856600 2.352200 35.000
"""
from ._core import (
    DATUMS,
    GeoidGrid,
    LibraryWarning,
    UtmGrid,
    __version__,
    aer2ecef,
    aer2enu,
    aer2geodetic,
    aer2ned,
    clearance,
    ecef2aer,
    enu2aer,
    geodetic2aer,
    lookAtSpheroid,
    ned2aer,
    dcm2quat,
    dcm2taitbryan,
    ecef2enu,
    ecef2geodetic,
    ecef2hpr,
    ecef2ned,
    enu2ecef,
    geodesic_direct,
    geodesic_inverse,
    geodesic_polygon,
    geodesic_waypoints,
    enu2geodetic,
    geodetic2ecef,
    geodetic2enu,
    geodetic2ned,
    geodetic2utm,
    grid_declination,
    ned2ecef,
    ned2geodetic,
    quat2dcm,
    quat2taitbryan,
    taitbryan2dcm,
    taitbryan2quat,
    utm2geodetic,
)

__all__ = [
    "DATUMS",
    "GeoidGrid",
    "LibraryWarning",
    "UtmGrid",
    "__version__",
    "aer2ecef",
    "aer2enu",
    "aer2geodetic",
    "aer2ned",
    "clearance",
    "ecef2aer",
    "enu2aer",
    "geodetic2aer",
    "lookAtSpheroid",
    "ned2aer",
    "dcm2quat",
    "dcm2taitbryan",
    "ecef2enu",
    "ecef2geodetic",
    "ecef2hpr",
    "ecef2ned",
    "enu2ecef",
    "geodesic_direct",
    "geodesic_inverse",
    "geodesic_polygon",
    "geodesic_waypoints",
    "enu2geodetic",
    "geodetic2ecef",
    "geodetic2enu",
    "geodetic2ned",
    "geodetic2utm",
    "grid_declination",
    "ned2ecef",
    "ned2geodetic",
    "quat2dcm",
    "quat2taitbryan",
    "taitbryan2dcm",
    "taitbryan2quat",
    "utm2geodetic",
]
