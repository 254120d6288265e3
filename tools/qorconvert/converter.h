// One qorconvert conversion: reads a line in one mode and writes it in
// another, through the library's public interface only.
#ifndef QORCONVERT_CONVERTER_H
#define QORCONVERT_CONVERTER_H

#include <coordTransform.h>
#include <geodesic.h>
#include <lookAngles.h>
#include <magneticModel.h>
#include <mgrs.h>
#include <geoidGrid.h>
#include <mapDatum.h>
#include <utmReferencePoint.h>

#include <memory>
#include <optional>
#include <string>

namespace qorconvert {

enum class Mode
{
    Geodetic,     // latitude longitude [height]: degrees, metres
    Geocentric,   // X Y Z: metres
    Utm,          // zone+hemisphere easting northing [height]: metres
    Ned,          // north east down from the origin: metres
    Aer,          // azimuth elevation range from the origin: degrees, metres
    Mgrs,         // a military grid reference (its square's centre in, truncated out)
    Ups,          // N|S easting northing [height]: the polar stereographic grids
    Magnetic,     // declination inclination total-intensity grid-magnetic-angle (output only)
    Attitude,     // X Y Z psi theta phi: geocentric position, angles to the geocentric axes
    Hpr,          // heading pitch roll over the ground (output only)
    Declination,  // grid declination at the point (output only)
    Inverse,      // lat1 lon1 lat2 lon2 -> distance azimuth1 azimuth2 (the shortest geodesic)
    Direct        // lat lon azimuth distance -> lat2 lon2 azimuth2 (along a geodesic)
};

// The mode of a name such as "geodetic" or "geod"; false for an unknown name.
bool modeFromName(const std::string& name, Mode& mode);
const char* modeName(Mode mode);
// The datum of a name such as "WGS84" or "ED50"; null for an unknown name.
const Vorant::DtMapDatum* datumFromName(const std::string& name);
// The names accepted by datumFromName, for help texts.
const char* datumNames();

struct Options
{
    Mode from = Mode::Geodetic;
    Mode to = Mode::Geocentric;
    const Vorant::DtMapDatum* datum = &Vorant::DtWGS84;
    int precision = 3;         // decimals of metres; angles get 5 more in degrees, 8 more in radians
    bool radians = false;      // angles in and out in radians instead of degrees
    bool dms = false;          // geodetic output as degrees, minutes, seconds and hemisphere
    long zone = 0;             // UTM zone for every point; 0: each point's own
    int mgrsDigits = 5;        // MGRS digits per axis, 0 (100 km) to 11 (1 micrometre)
    double year = 0;           // decimal year of the magnetic field; 0: today
    std::shared_ptr<const Vorant::DtMagneticModel> magneticModel;   // null: WMM2025
    bool haveOrigin = false;   // NED origin
    double originLatDeg = 0, originLonDeg = 0, originHeight = 0;
    // Heights (and the origin's) above this geoid instead of the ellipsoid.
    std::shared_ptr<const Vorant::DtGeoidGrid> geoid;
    bool geoidCubic = false;
};

class Converter
{
public:
    // Makes the options' datum the process-wide datum of the library.
    explicit Converter(const Options& options);

    // Converts one line of input (without its line end) and appends the
    // output line (without a line end) to out. On failure appends nothing and
    // says why.
    bool convert(const char* line, std::size_t size, std::string& out, std::string& why);

    // Whether a line of input only passes through: blank or a # comment.
    static bool passesThrough(const char* line, std::size_t size);

    const Options& options() const { return myOptions; }

private:
    struct Position;

    bool read(const char* line, std::size_t size, Position& p, std::string& why);
    bool write(Position& p, std::string& out, std::string& why);
    // False (saying why) where the geodetic position cannot be trusted.
    bool ensureGeodetic(Position& p, std::string& why);
    void ensureGeocentric(Position& p);
    // The geoid's height above the ellipsoid at a geodetic position (radians),
    // as a geodetic coordinate over the grid takes it; 0 without a geoid.
    double undulation(const Vorant::DtVector64& geodetic) const;

    void appendMetres(std::string& out, double v) const;
    void appendAngle(std::string& out, double degrees) const;
    void appendLatLon(std::string& out, double latDeg, double lonDeg) const;

    Options myOptions;
    Vorant::DtUtmReferencePoint myUtm;
    Vorant::DtCoordTransform myToNed;
    Vorant::DtCoordTransform myFromNed;
    Vorant::DtGeodesic myGeodesic;
    std::optional<Vorant::DtObserver> myObserver;   // at the origin
    Vorant::DtMgrs myMgrs;
    mutable std::string myScratch;   // text reused from line to line
    mutable bool myNotFinite = false;   // a value written in this line is not finite
};

}  // namespace qorconvert

#endif
