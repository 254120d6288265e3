#include "converter.h"

#include "fields.h"

#include <geodeticCoord.h>
#include <modper.h>
#include <qvDcm.h>
#include <qvTaitBryan.h>
#include <referenceEllipsoid.h>
#include <topoCoord.h>
#include <utmCoord.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>

namespace qorconvert {

using namespace Vorant;

namespace {

struct NamedMode
{
    const char* name;
    const char* shortName;
    Mode mode;
};

const NamedMode kModes[] = {
    {"geodetic", "geod", Mode::Geodetic}, {"geocentric", "geoc", Mode::Geocentric},
    {"utm", "utm", Mode::Utm},            {"ned", "ned", Mode::Ned},
    {"aer", "aer", Mode::Aer},            {"mgrs", "mgrs", Mode::Mgrs},
    {"ups", "ups", Mode::Ups},            {"magnetic", "mag", Mode::Magnetic},
    {"attitude", "att", Mode::Attitude},  {"hpr", "hpr", Mode::Hpr},
    {"declination", "decl", Mode::Declination},
    {"inverse", "inv", Mode::Inverse},          {"direct", "dir", Mode::Direct},
};

struct NamedDatum
{
    const char* name;
    const DtMapDatum* datum;
};

const NamedDatum kDatums[] = {
    {"WGS84", &DtWGS84},           {"ED50", &DtED50},           {"NASANAD27", &DtNASANAD27},
    {"NASBNAD27", &DtNASBNAD27},   {"CONUSNAD27", &DtCONUSNAD27},
};

bool sameName(const std::string& a, const char* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && b[i] == '\0';
}

std::string fieldCountError(std::size_t got, std::size_t min, std::size_t max, const char* layout)
{
    std::string why = "expected ";
    why += min == max ? std::to_string(min) : std::to_string(min) + " or " + std::to_string(max);
    why += " fields (";
    why += layout;
    why += "), got ";
    why += got > Fields::kMax ? "more than " + std::to_string(Fields::kMax) : std::to_string(got);
    return why;
}

}  // namespace

struct Converter::Position
{
    bool haveGeodetic = false;
    bool haveGeocentric = false;
    DtVector64 geodetic;     // latitude, longitude (radians), height on the datum
    DtVector64 geocentric;   // common frame
    DtTaitBryan attitude;    // to the geocentric axes
    double geodesic[4] = {0, 0, 0, 0};   // inverse: lat1 lon1 lat2 lon2 (radians); direct: lat lon azimuth distance
};

bool modeFromName(const std::string& name, Mode& mode)
{
    for (const NamedMode& m : kModes)
        if (sameName(name, m.name) || sameName(name, m.shortName)) {
            mode = m.mode;
            return true;
        }
    return false;
}

const char* modeName(Mode mode)
{
    for (const NamedMode& m : kModes)
        if (m.mode == mode)
            return m.name;
    return "?";
}

const DtMapDatum* datumFromName(const std::string& name)
{
    for (const NamedDatum& d : kDatums)
        if (sameName(name, d.name))
            return d.datum;
    return nullptr;
}

const char* datumNames()
{
    return "WGS84, ED50, NASANAD27, NASBNAD27, CONUSNAD27";
}

Converter::Converter(const Options& options)
    : myOptions(options), myUtm(DtUtmLatRefZone10, DtUtmLonRefZone10, 1, 10, *options.datum, 0.9996),
      myGeodesic(*options.datum), myMgrs(*options.datum)
{
    DtUseMapDatum(*myOptions.datum);
    // Points on the polar axis are ordinary input here, not worth a notice.
    DtReferenceEllipsoid::setNotifyConversionFrom0Geocentric(false);
    DtReferenceEllipsoid::setThrowExceptionOnConversionFrom0Geocentric(false);
    if (myOptions.to == Mode::Declination)
        DtUtmInit(DtUtmLatRefZone10, DtUtmLonRefZone10, 1, 10);
    if (myOptions.haveOrigin) {
        const double lat = DtDeg2Rad(myOptions.originLatDeg), lon = DtDeg2Rad(myOptions.originLonDeg);
        DtGeocToTopoTransform(lat, lon, &myToNed);
        // The frame's origin sits at the origin's height, not on the ellipsoid.
        DtGeodeticCoord origin(lat, lon, 0.0);
        origin.setGeoidGrid(myOptions.geoid, myOptions.geoidCubic);
        origin.setAlt(myOptions.originHeight);
        myToNed.setOffset(origin.geocentric());
        myFromNed.setByInverse(myToNed);
        myObserver.emplace(lat, lon, origin[2], *myOptions.datum);
    }
}

bool Converter::passesThrough(const char* line, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        const char c = line[i];
        if (c == '#')
            return true;
        if (c != ' ' && c != '\t' && c != '\r')
            return false;
    }
    return true;
}

bool Converter::convert(const char* line, std::size_t size, std::string& out, std::string& why)
{
    Position p;
    const std::size_t start = out.size();
    myNotFinite = false;
    try {
        if (read(line, size, p, why) && write(p, out, why)) {
            if (!myNotFinite)
                return true;
            why = "the conversion gives no finite result for this point";
        }
    } catch (const std::exception& e) {
        // The conversions report what they cannot do; pass it on as the reason.
        why = e.what();
    }
    out.resize(start);
    return false;
}

bool Converter::read(const char* line, std::size_t size, Position& p, std::string& why)
{
    Fields f;
    splitFields(line, size, f);
    const std::size_t n = f.tooMany ? Fields::kMax + 1 : f.count;
    double v[6] = {0, 0, 0, 0, 0, 0};
    const auto numbers = [&](std::size_t from, std::size_t count) {
        for (std::size_t i = from; i < from + count && i < f.count; ++i)
            if (!parseNumber(f.begin[i], f.length[i], v[i])) {
                why = "'" + f.text(i).substr(0, 40) + "' is not a number";
                return false;
            }
        return true;
    };

    switch (myOptions.from) {
    case Mode::Geodetic: {
        if (n < 2 || n > 3) {
            why = fieldCountError(n, 2, 3, "latitude longitude [height]");
            return false;
        }
        double latDeg, lonDeg;
        if (!parseAngle(f.begin[0], f.length[0], AngleKind::Latitude, myOptions.radians, latDeg, why) ||
            !parseAngle(f.begin[1], f.length[1], AngleKind::Longitude, myOptions.radians, lonDeg, why) ||
            !numbers(2, n - 2))
            return false;
        p.geodetic.setAll(DtDeg2Rad(latDeg), DtDeg2Rad(lonDeg), 0.0);
        p.geodetic[2] = (n == 3 ? v[2] : 0.0) + undulation(p.geodetic);
        p.haveGeodetic = true;
        return true;
    }
    case Mode::Geocentric:
        if (n != 3) {
            why = fieldCountError(n, 3, 3, "X Y Z");
            return false;
        }
        if (!numbers(0, 3))
            return false;
        p.geocentric.setAll(v[0], v[1], v[2]);
        p.haveGeocentric = true;
        return true;
    case Mode::Utm: {
        if (n < 3 || n > 4) {
            why = fieldCountError(n, 3, 4, "zone easting northing [height]");
            return false;
        }
        long zone;
        bool north;
        if (!parseZone(f.begin[0], f.length[0], zone, north, why) || !numbers(1, n - 1))
            return false;
        // The hemisphere comes from the zone letter, not from the northing.
        myUtm.setZoneOrigin(zone);
        myUtm.setStandardFalseNorthingCrossover(north ? std::numeric_limits<double>::infinity()
                                                      : -std::numeric_limits<double>::infinity());
        double lat, lon;
        myUtm.utm2geod(v[1], v[2], &lat, &lon);
        if (std::fabs(DtRad2Deg(lat)) > 90.0) {   // the series runs on past the pole
            why = "the grid position lies beyond the pole (latitude ";
            appendFixed(why, DtRad2Deg(lat), 5);
            why += ")";
            return false;
        }
        p.geodetic.setAll(lat, DtDeg2Rad(DtModPerHi(DtRad2Deg(lon), -180.0, 180.0)), 0.0);
        p.geodetic[2] = (n == 4 ? v[3] : 0.0) + undulation(p.geodetic);
        p.haveGeodetic = true;
        return true;
    }
    case Mode::Ned:
        if (n != 3) {
            why = fieldCountError(n, 3, 3, "north east down");
            return false;
        }
        if (!numbers(0, 3))
            return false;
        myFromNed.coordTrans(DtVector64(v[0], v[1], v[2]), p.geocentric);
        p.haveGeocentric = true;
        return true;
    case Mode::Aer: {
        if (n != 3) {
            why = fieldCountError(n, 3, 3, "azimuth elevation range");
            return false;
        }
        double azimuth, elevation;
        if (!parseAngle(f.begin[0], f.length[0], AngleKind::Plain, myOptions.radians, azimuth, why) ||
            !parseAngle(f.begin[1], f.length[1], AngleKind::Plain, myOptions.radians, elevation, why) ||
            !numbers(2, 1))
            return false;
        if (!(v[2] >= 0)) {
            why = "the range is negative";
            return false;
        }
        // The geodetic position exactly, not through the library's fixed iteration.
        const DtLookAngles look{DtDeg2Rad(azimuth), DtDeg2Rad(elevation), v[2]};
        p.geocentric = myObserver->geocentricAt(look);
        p.geodetic = myObserver->geodeticAt(look);
        p.haveGeocentric = p.haveGeodetic = true;
        return true;
    }
    case Mode::Mgrs: {
        if (n < 1 || n > 4) {
            why = fieldCountError(n, 1, 4, "a grid reference, its parts apart or together");
            return false;
        }
        std::string text;
        for (std::size_t i = 0; i < n; ++i)
            text += f.text(i);
        const DtMgrsSquare square = myMgrs.decode(text);   // (a bad reference throws its reason)
        p.geodetic.setAll(square.lat, square.lon, 0.0);
        p.geodetic[2] = undulation(p.geodetic);
        p.haveGeodetic = true;
        return true;
    }
    case Mode::Ups: {
        if (n < 3 || n > 4) {
            why = fieldCountError(n, 3, 4, "N|S easting northing [height]");
            return false;
        }
        const std::string pole = f.text(0);
        if (!(pole == "N" || pole == "n" || pole == "S" || pole == "s")) {
            why = "'" + pole.substr(0, 40) + "' is not a pole (N or S)";
            return false;
        }
        if (!numbers(1, n - 1))
            return false;
        DtGridPosition g{0, pole == "N" || pole == "n", v[1], v[2], 0, 0};
        double lat, lon;
        myMgrs.grid().reverse(g, lat, lon, false);
        p.geodetic.setAll(lat, lon, 0.0);
        p.geodetic[2] = (n == 4 ? v[3] : 0.0) + undulation(p.geodetic);
        p.haveGeodetic = true;
        return true;
    }
    case Mode::Attitude: {
        if (n != 6) {
            why = fieldCountError(n, 6, 6, "X Y Z psi theta phi");
            return false;
        }
        if (!numbers(0, 3))
            return false;
        double a[3];
        for (std::size_t i = 0; i < 3; ++i)
            if (!parseAngle(f.begin[3 + i], f.length[3 + i], AngleKind::Plain, myOptions.radians, a[i], why))
                return false;
        p.geocentric.setAll(v[0], v[1], v[2]);
        p.haveGeocentric = true;
        p.attitude = DtTaitBryan(DtDeg2Rad(a[0]), DtDeg2Rad(a[1]), DtDeg2Rad(a[2]));
        return true;
    }
    case Mode::Inverse:
    case Mode::Direct: {
        const bool inverse = myOptions.from == Mode::Inverse;
        if (n != 4) {
            why = fieldCountError(n, 4, 4, inverse ? "lat1 lon1 lat2 lon2" : "lat lon azimuth distance");
            return false;
        }
        double deg[4];
        if (!parseAngle(f.begin[0], f.length[0], AngleKind::Latitude, myOptions.radians, deg[0], why) ||
            !parseAngle(f.begin[1], f.length[1], AngleKind::Longitude, myOptions.radians, deg[1], why) ||
            !parseAngle(f.begin[2], f.length[2], inverse ? AngleKind::Latitude : AngleKind::Plain, myOptions.radians,
                        deg[2], why) ||
            (inverse ? !parseAngle(f.begin[3], f.length[3], AngleKind::Longitude, myOptions.radians, deg[3], why)
                     : !numbers(3, 1)))
            return false;
        for (int i = 0; i < 3; ++i)
            p.geodesic[i] = DtDeg2Rad(deg[i]);
        p.geodesic[3] = inverse ? DtDeg2Rad(deg[3]) : v[3];
        return true;
    }
    default:
        why = std::string("cannot read ") + modeName(myOptions.from) + " input";
        return false;
    }
}

bool Converter::ensureGeodetic(Position& p, std::string& why)
{
    if (p.haveGeodetic)
        return true;
    // Within a * e^2 of the ellipsoid's centre a point has several normals to
    // the ellipsoid, and the library's iteration may settle on a far one (a
    // point 1.4 km from the centre comes back at a pole). Measured against
    // GeographicLib on the datums here: wrong by up to 6,400 km inside, within
    // 0.14 m (the iteration's own 0.5 m test) from 5 cm beyond it outwards.
    const DtMapDatum& d = *myOptions.datum;
    const double a = d.spheroid.semiMajorAxis, b = d.spheroid.semiMinorAxis;
    const double x = p.geocentric[0] - d.deltaX, y = p.geocentric[1] - d.deltaY, z = p.geocentric[2] - d.deltaZ;
    const double fromCentre = std::sqrt(x * x + y * y + z * z), unreliable = (a * a - b * b) / a + 1.0;
    if (fromCentre < unreliable) {
        why = "the point is ";
        appendFixed(why, fromCentre, 0);
        why += " m from the centre of the datum's ellipsoid: geodetic coordinates cannot be trusted within ";
        appendFixed(why, unreliable, 0);
        why += " m of it";
        return false;
    }
    DtGlobalEllipsoid().geocentricToGeodetic(p.geocentric, p.geodetic);
    p.haveGeodetic = true;
    return true;
}

double Converter::undulation(const DtVector64& geodetic) const
{
    if (!myOptions.geoid)
        return 0.0;
    return myOptions.geoid->undulation(DtRad2Deg(geodetic[0]), DtRad2Deg(geodetic[1]), myOptions.geoidCubic);
}

void Converter::ensureGeocentric(Position& p)
{
    if (!p.haveGeocentric) {
        DtGlobalEllipsoid().geodeticToGeocentric(p.geodetic, p.geocentric);
        p.haveGeocentric = true;
    }
}

bool Converter::write(Position& p, std::string& out, std::string& why)
{
    switch (myOptions.to) {
    case Mode::Geodetic:
        if (!ensureGeodetic(p, why))
            return false;
        appendLatLon(out, DtRad2Deg(p.geodetic[0]), DtRad2Deg(p.geodetic[1]));
        out += ' ';
        appendMetres(out, p.geodetic[2] - undulation(p.geodetic));
        return true;
    case Mode::Geocentric:
        ensureGeocentric(p);
        appendMetres(out, p.geocentric[0]);
        out += ' ';
        appendMetres(out, p.geocentric[1]);
        out += ' ';
        appendMetres(out, p.geocentric[2]);
        return true;
    case Mode::Utm: {
        if (!ensureGeodetic(p, why))
            return false;
        myUtm.setZoneOrigin(myOptions.zone);   // 0: the point's own zone
        double easting, northing;
        myUtm.geod2utm(p.geodetic[0], p.geodetic[1], &easting, &northing);
        char zone[24];
        out.append(zone, std::to_chars(zone, zone + sizeof zone, myUtm.zoneOrigin()).ptr);
        out += p.geodetic[0] < 0 ? 'S' : 'N';
        out += ' ';
        appendMetres(out, easting);
        out += ' ';
        appendMetres(out, northing);
        out += ' ';
        appendMetres(out, p.geodetic[2] - undulation(p.geodetic));
        return true;
    }
    case Mode::Ned: {
        ensureGeocentric(p);
        DtVector64 ned;
        myToNed.coordTrans(p.geocentric, ned);
        appendMetres(out, ned[0]);
        out += ' ';
        appendMetres(out, ned[1]);
        out += ' ';
        appendMetres(out, ned[2]);
        return true;
    }
    case Mode::Aer: {
        ensureGeocentric(p);
        const DtLookAngles look = myObserver->lookAt(p.geocentric);
        // An azimuth a hair below a full turn would be written as 360: north is 0.
        double azimuth = DtRad2Deg(look.azimuth);
        const double half = 0.5 * std::pow(10.0, -(myOptions.precision + (myOptions.radians ? 8 : 5)));
        if ((myOptions.radians ? DtDeg2Rad(azimuth) >= 2 * 3.141592653589793 - half : azimuth >= 360 - half))
            azimuth = 0;
        appendAngle(out, azimuth);
        out += ' ';
        appendAngle(out, DtRad2Deg(look.elevation));
        out += ' ';
        appendMetres(out, look.range);
        return true;
    }
    case Mode::Mgrs: {
        if (!ensureGeodetic(p, why))
            return false;
        char text[DtMgrs::kMaxLength + 1];
        out.append(text, myMgrs.encode(p.geodetic[0], p.geodetic[1], myOptions.mgrsDigits, text));
        return true;
    }
    case Mode::Ups: {
        if (!ensureGeodetic(p, why))
            return false;
        const double latDeg = DtRad2Deg(p.geodetic[0]);
        if (!(latDeg >= 83.5 || latDeg <= -79.5)) {
            why = "UPS covers latitudes from 83.5 N and from 79.5 S only";
            return false;
        }
        const DtGridPosition g = myMgrs.grid().forward(p.geodetic[0], p.geodetic[1], DtUtmUps::Ups, false);
        out += g.north ? 'N' : 'S';
        out += ' ';
        appendMetres(out, g.easting);
        out += ' ';
        appendMetres(out, g.northing);
        out += ' ';
        appendMetres(out, p.geodetic[2] - undulation(p.geodetic));
        return true;
    }
    case Mode::Magnetic: {
        if (!ensureGeodetic(p, why))
            return false;
        const DtMagneticModel& model = myOptions.magneticModel ? *myOptions.magneticModel : DtMagneticModel::wmm2025();
        const double h = p.geodetic[2];
        const DtMagneticField f = model.field(p.geodetic[0], p.geodetic[1], h, myOptions.year);
        const DtBearings b = model.bearings(p.geodetic[0], p.geodetic[1], h, myOptions.year);
        appendAngle(out, DtRad2Deg(f.declination));
        out += ' ';
        appendAngle(out, DtRad2Deg(f.inclination));
        out += ' ';
        appendFixed(out, f.total, 1);   // nT: the model's own precision
        out += ' ';
        if (std::isnan(b.gridMagneticAngle))
            out += "nan";   // no UTM grid there
        else
            appendAngle(out, DtRad2Deg(b.gridMagneticAngle));
        return true;
    }
    case Mode::Hpr:
        if (myOptions.from != Mode::Attitude) {
            why = "heading, pitch and roll need attitude input (X Y Z psi theta phi)";
            return false;
        }
    {
        // The road of DtGetHeadingFromGeocentric and its two siblings, taken
        // once for all three angles (the same bits).
        if (!ensureGeodetic(p, why))   // (only for the trust test: the coordinate below converts again)
            return false;
        DtGeodeticCoord at(&DtGlobalEllipsoid());
        at.setGeocentric(p.geocentric);
        DtDcm geocToTopo;
        DtLatLon_to_GeocToTopo(at, geocToTopo);
        DtTaitBryan ground;
        DtEulerToEuler(p.attitude, geocToTopo, &ground);
        appendAngle(out, DtRad2Deg(ground.psi()));
        out += ' ';
        appendAngle(out, DtRad2Deg(ground.theta()));
        out += ' ';
        appendAngle(out, DtRad2Deg(ground.phi()));
        return true;
    }
    case Mode::Declination: {
        if (!ensureGeodetic(p, why))
            return false;
        const double lonDeg = DtModPerHi(DtRad2Deg(p.geodetic[1]), -180.0, 180.0);
        const long zone =
            myOptions.zone != 0 ? myOptions.zone : DtUtmGridZoneFromLatLon(DtRad2Deg(p.geodetic[0]), lonDeg);
        DtGlobalUtmReferencePoint()->setZoneOrigin(zone);
        appendAngle(out, DtRad2Deg(DtUtmGridDeclination(p.geodetic[0], p.geodetic[1])));
        return true;
    }
    case Mode::Inverse: {
        const DtGeodesicResult r = myGeodesic.inverse(p.geodesic[0], p.geodesic[1], p.geodesic[2], p.geodesic[3]);
        appendMetres(out, r.s12);
        out += ' ';
        appendAngle(out, DtRad2Deg(r.azi1));
        out += ' ';
        appendAngle(out, DtRad2Deg(r.azi2));
        return true;
    }
    case Mode::Direct: {
        const DtGeodesicResult r = myGeodesic.direct(p.geodesic[0], p.geodesic[1], p.geodesic[2], p.geodesic[3]);
        appendLatLon(out, DtRad2Deg(r.lat2), DtRad2Deg(r.lon2));
        out += ' ';
        appendAngle(out, DtRad2Deg(r.azi2));
        return true;
    }
    default:
        why = std::string("cannot write ") + modeName(myOptions.to) + " output";
        return false;
    }
}

void Converter::appendMetres(std::string& out, double v) const
{
    myNotFinite = myNotFinite || !std::isfinite(v);
    appendFixed(out, v, myOptions.precision);
}

void Converter::appendAngle(std::string& out, double degrees) const
{
    myNotFinite = myNotFinite || !std::isfinite(degrees);
    if (myOptions.radians)
        appendFixed(out, DtDeg2Rad(degrees), myOptions.precision + 8);
    else
        appendFixed(out, degrees, myOptions.precision + 5);
}

void Converter::appendLatLon(std::string& out, double latDeg, double lonDeg) const
{
    myNotFinite = myNotFinite || !std::isfinite(latDeg) || !std::isfinite(lonDeg);
    if (!myOptions.dms) {
        appendAngle(out, latDeg);
        out += ' ';
        appendAngle(out, lonDeg);
        return;
    }
    // Degrees, minutes and seconds through the library's own type.
    for (int i = 0; i < 2; ++i) {
        DtDegMinSec a{0, 0, 0, DtNorth};
        if (i == 0)
            a.setLatFromDegrees(latDeg);
        else
            a.setLonFromDegrees(lonDeg);
        a.degrees = std::fabs(a.degrees);   // the letter carries the sign, of -0 too
        char buffer[400];                    // 309 digits of degrees at the most
        const int decimals = myOptions.precision + 1 < 0 ? 0 : myOptions.precision + 1;
        const char letter = a.hemisphere == DtNorth ? 'N' : a.hemisphere == DtSouth ? 'S' : a.hemisphere == DtEast ? 'E' : 'W';
        if (i == 1)
            out += ' ';
        // The common case without the general formatter: the same text.
        if (a.degrees < 1e15 && a.minutes >= 0 && a.minutes < 60 &&
            a.minutes == std::floor(a.minutes) && a.seconds >= 0 && a.seconds < 60) {
            myScratch.clear();
            appendFixed(myScratch, a.seconds, decimals);
            if (myScratch.compare(0, 2, "60") == 0 && (myScratch.size() == 2 || myScratch[2] == '.')) {
                myScratch.replace(0, 2, "00");   // carried, as below
                a.minutes += 1.0;
                if (a.minutes >= 60.0) {
                    a.minutes = 0.0;
                    a.degrees += 1.0;
                }
            }
            appendFixed(out, a.degrees, 0);
            out += 'd';
            out += char('0' + int(a.minutes) / 10);
            out += char('0' + int(a.minutes) % 10);
            out += '\'';
            if (myScratch.size() < std::size_t(decimals) + 3)
                out += '0';
            out += myScratch;
            out += '"';
            out += letter;
            continue;
        }
        // The library splits without carry; seconds that round up to 60 at
        // this precision are carried here, for the printed text only.
        char secondsText[48];
        std::snprintf(secondsText, sizeof secondsText, "%.*f", decimals, a.seconds);
        if (std::strtod(secondsText, nullptr) >= 60.0) {
            a.seconds = 0.0;
            a.minutes += 1.0;
            if (a.minutes >= 60.0) {
                a.minutes = 0.0;
                a.degrees += 1.0;
            }
        }
        const int n = std::snprintf(buffer, sizeof buffer, "%.0fd%02.0f'%0*.*f\"%c", a.degrees, a.minutes,
                                    decimals + 3, decimals, a.seconds, letter);
        if (n > 0)
            out.append(buffer, std::size_t(n) < sizeof buffer ? std::size_t(n) : sizeof buffer - 1);
    }
}

}  // namespace qorconvert
