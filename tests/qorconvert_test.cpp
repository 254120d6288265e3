// The converter: field readers, every mode, round trips and bad input.
#include "converter.h"
#include "fields.h"
#include "testSupport.h"

#include <cfloat>

using namespace qorconvert;
using namespace Vorant;
using qmtest::kInf;
using qmtest::kNaN;

namespace {

std::string run(Converter& c, const std::string& line, bool expectOk = true)
{
    std::string out, why;
    const bool ok = c.convert(line.data(), line.size(), out, why);
    EXPECT_EQ(ok, expectOk) << line << " -> " << (ok ? out : why);
    return ok ? out : why;
}

std::vector<double> numbers(const std::string& text)
{
    std::istringstream in(text);
    std::vector<double> v;
    for (std::string word; in >> word;)
        v.push_back(std::strtod(word.c_str(), nullptr));
    return v;
}

double angle(const char* text, AngleKind kind = AngleKind::Latitude)
{
    double deg = std::nan("");
    std::string why;
    return parseAngle(text, std::strlen(text), kind, false, deg, why) ? deg : std::nan("");
}

std::string angleError(const char* text, AngleKind kind)
{
    double deg;
    std::string why;
    EXPECT_FALSE(parseAngle(text, std::strlen(text), kind, false, deg, why)) << text;
    return why;
}

}  // namespace

TEST(ConverterFieldsTest, AnglesZonesAndFields)
{
    const struct
    {
        const char* text;
        AngleKind kind;
        double degrees;
    } good[] = {
        {"40d26'47\"N", AngleKind::Latitude, 40 + 26 / 60.0 + 47 / 3600.0},
        {"74d0'21.5\"W", AngleKind::Longitude, -(74 + 21.5 / 3600.0)},
        {"-10:30:00", AngleKind::Latitude, -10.5},    {"12d30'", AngleKind::Latitude, 12.5},
        {"45.5S", AngleKind::Latitude, -45.5},        {"10\xC2\xB0" "30'S", AngleKind::Latitude, -10.5},
    };
    for (const auto& g : good)
        EXPECT_NEAR(angle(g.text, g.kind), g.degrees, 1e-12) << g.text;
    double rad;
    std::string why;
    EXPECT_TRUE(parseAngle("0.5", 3, AngleKind::Plain, true, rad, why) && std::fabs(rad - 0.5 * 180 / 3.141592653589793) < 1e-12);
    const struct
    {
        const char* text;
        AngleKind kind;
        const char* reason;
    } bad[] = {
        {"91", AngleKind::Latitude, "beyond +/-90"},        {"10d61'N", AngleKind::Latitude, "below 60"},
        {"40E", AngleKind::Latitude, "does not fit a latitude"}, {"40N", AngleKind::Longitude, "does not fit a longitude"},
        {"-40N", AngleKind::Latitude, "positive"},          {"nan", AngleKind::Latitude, "not a number"},
        {"1e400", AngleKind::Latitude, "not a number"},     {"40d26'47\"X", AngleKind::Latitude, "cannot read"},
    };
    for (const auto& b : bad)
        EXPECT_NE(angleError(b.text, b.kind).find(b.reason), std::string::npos) << b.text;

    long zone;
    bool north;
    EXPECT_TRUE(parseZone("18N", 3, zone, north, why) && zone == 18 && north);
    EXPECT_TRUE(parseZone("56H", 3, zone, north, why) && !north);   // band letters C..M are south
    for (const char* z : {"61N", "0N", "N", "123N"})
        EXPECT_FALSE(parseZone(z, std::strlen(z), zone, north, why)) << z;

    Fields f;
    const std::string line = " 1,2\t3  ";
    splitFields(line.data(), line.size(), f);
    EXPECT_TRUE(f.count == 3u && f.text(2) == "3");
    double v;
    const std::string many(100, 'x');
    EXPECT_FALSE(parseNumber(many.data(), many.size(), v) || parseNumber("1.5x", 4, v));
    EXPECT_TRUE(parseNumber("-1.5e3", 6, v) && v == -1500.0);
}

TEST_F(GlobalStateTest, ConverterRoundTripsThroughEveryMode)
{
    const std::vector<std::string> points = {"40.7128 -74.006 10", "-33.8688 151.2093 58", "60.39 5.32 -20",
                                             "0 0 0", "78 15 100", "-79.5 -179.9 3000"};
    Options o;
    o.precision = 6;
    for (Mode mode : {Mode::Geocentric, Mode::Utm, Mode::Ned, Mode::Aer}) {
        o.from = Mode::Geodetic;
        o.to = mode;
        o.haveOrigin = true;
        o.originLatDeg = 40;
        o.originLonDeg = -74;
        o.originHeight = 50;
        Converter forward(o);
        o.from = mode;
        o.to = Mode::Geodetic;
        Converter back(o);
        for (const std::string& p : points) {
            const std::string there = run(forward, p);
            const std::vector<double> in = numbers(p), out = numbers(run(back, there));
            // The UTM series meet again to about 3e-8 degree 3.7 degrees off the central meridian;
            // latitude 0 comes back from the geocentric conversion to about 1.4e-6 degree (0.15 m).
            const double tolerance = in[0] == 0.0 ? 1.5e-6 : 5e-8;
            EXPECT_TRUE(out.size() == 3u && std::fabs(out[0] - in[0]) < tolerance && std::fabs(out[2] - in[2]) < 1e-3 &&
                        std::fabs(std::remainder(out[1] - in[1], 360.0)) < tolerance) << modeName(mode) << " " << p << " -> " << there;
        }
    }

    // Known values: the library's own conversions, by another road.
    o = Options();
    o.to = Mode::Utm;
    Converter utm(o);
    EXPECT_EQ(run(utm, "40 -75 100"), "18N 500000.000 4427757.219 100.000");

    o = Options();
    o.to = Mode::Geodetic;
    o.dms = true;
    Converter dms(o);
    EXPECT_EQ(run(dms, "40d26'47\"N 74d0'21.5\"W 5"), "40d26'47.0000\"N 74d00'21.5000\"W 5.000");
    EXPECT_EQ(run(dms, "10.999999999 -0.0000000001").substr(0, 30), "11d00'00.0000\"N 0d00'00.0000\"W");   // carried

    // Datums: geodetic values on the datum, geocentric in the common frame.
    o = Options();
    o.datum = datumFromName("ed50");
    ASSERT_NE(o.datum, nullptr);
    Converter ed50(o);
    EXPECT_TRUE(std::fabs(numbers(run(ed50, "45 30 1000"))[0] - 3913055.565) < 1e-3 && !datumFromName("nowhere"));
    o = Options();   // at latitude 0, longitude 0 north is +Z and up is +X
    o.from = Mode::Attitude;
    o.to = Mode::Hpr;
    Converter hpr(o);
    EXPECT_EQ(run(hpr, "6378137 0 0 0 -80 0"), "0.00000000 10.00000000 0.00000000");   // nose north, 10 degrees up
    o = Options();
    o.to = Mode::Declination;
    o.zone = 18;
    Converter decl(o);
    EXPECT_NEAR(numbers(run(decl, "-45 -72"))[0], -2.1222, 1e-4);
}

TEST_F(GlobalStateTest, ConverterHeightsAboveAGeoid)
{
    Options o;
    o.precision = 6;
    o.geoid = std::make_shared<DtGeoidGrid>(qmtest::writeGtx("converter.gtx", 30, -90, 10, 10, 4, 4,
                                                             [](int r, int c) { return float(10 * r - 3 * c); }));
    const double n = o.geoid->undulation(DtRad2Deg(DtDeg2Rad(40.5)), DtRad2Deg(DtDeg2Rad(-74.0)));   // 5.8
    Options withoutGeoid = o;
    withoutGeoid.geoid = nullptr;
    Converter toGeoc(o), plain(withoutGeoid);
    const std::vector<double> above = numbers(run(toGeoc, "40.5 -74 100"));
    const std::vector<double> same = numbers(run(plain, "40.5 -74 " + std::to_string(100 + n)));
    EXPECT_TRUE(n != 0 && std::fabs(above[0] - same[0]) + std::fabs(above[2] - same[2]) < 1e-5) << n;
    for (Mode mode : {Mode::Geocentric, Mode::Utm, Mode::Geodetic}) {
        o.to = mode;
        Converter forward(o);
        const std::string there = run(forward, "40.5 -74 100");
        o.from = mode;
        o.to = Mode::Geodetic;
        Converter back(o);
        EXPECT_NEAR(numbers(run(back, there))[2], 100, 1e-6) << there;
        o.from = Mode::Geodetic;
    }
    o.to = Mode::Utm;   // the height written is above the geoid as well
    Converter utm(o);
    EXPECT_EQ(numbers(run(utm, "40.5 -74 100"))[3], 100);
    o.to = Mode::Ned;
    o.haveOrigin = true;
    o.originLatDeg = 40.5;
    o.originLonDeg = -74;
    o.originHeight = 100;
    Converter ned(o);
    EXPECT_LT(std::fabs(numbers(run(ned, "40.5 -74 100"))[2]), 1e-6);
    o.geoidCubic = true;
    Converter cubic(o);
    EXPECT_LT(std::fabs(numbers(run(cubic, "40.5 -74 100"))[2]), 1e-6);
    EXPECT_EQ(run(cubic, "20 -74 100", false), "DtException: geoid grid '" + o.geoid->file() +
                                                   "': latitude 20, longitude -74 is outside the grid (latitudes 30 "
                                                   "to 60, longitudes -90 to -60)");
}

TEST_F(GlobalStateTest, ConverterExplainsBadLines)
{
    Options o;
    Converter geod(o);
    EXPECT_EQ(run(geod, "91 0 0", false), "latitude '91' is beyond +/-90 degrees");
    EXPECT_EQ(run(geod, "1 2 3 4", false), "expected 2 or 3 fields (latitude longitude [height]), got 4");
    EXPECT_EQ(run(geod, "1 2 x", false), "'x' is not a number");
    EXPECT_EQ(run(geod, "1 2 3 4 5 6 7 8 9 10", false),
              "expected 2 or 3 fields (latitude longitude [height]), got more than 8");
    o.from = Mode::Utm;
    o.to = Mode::Geodetic;
    Converter utm(o);
    EXPECT_EQ(run(utm, "18I 500000 0", false), "unknown zone letter 'I' in '18I'");
    EXPECT_EQ(run(utm, "18N 500000", false), "expected 3 or 4 fields (zone easting northing [height]), got 2");
    o.from = Mode::Geocentric;
    Converter geoc(o);
    EXPECT_EQ(run(geoc, "1 2 nan", false), "'nan' is not a number");
    Options ned;
    ned.to = Mode::Ned;
    ned.haveOrigin = true;
    ned.originLatDeg = 40.7128;
    ned.originLonDeg = -74.006;
    Converter atOrigin(ned);
    EXPECT_EQ(run(atOrigin, "40.7228 -74.006 0"), "1110.485 0.000 0.097");   // a tiny negative east: no "-0.000"
    ned.to = Mode::Aer;
    Converter look(ned);
    // Due north, a hair west of it: written as 0, never 360.
    EXPECT_EQ(run(look, "40.7228 -74.006 0"), "0.00000000 -0.00500000 1110.485");
    ned.from = Mode::Aer;
    ned.to = Mode::Geodetic;
    Converter fromLook(ned);
    EXPECT_EQ(run(fromLook, "0 0 -1", false), "the range is negative");
    EXPECT_EQ(run(fromLook, "0 90", false), "expected 3 fields (azimuth elevation range), got 2");
    EXPECT_EQ(run(fromLook, "0 90 5000"), "40.71280000 -74.00600000 5000.000");   // straight up, exact
    // Grid references (the expected strings are GeographicLib's GeoConvert -m and -u).
    Options grid;
    grid.to = Mode::Mgrs;
    Converter toMgrs(grid);
    EXPECT_EQ(run(toMgrs, "-33.8568 151.2153"), "56HLH3490052288");
    EXPECT_EQ(run(toMgrs, "89.99 0"), "ZAG0000098889");
    grid.mgrsDigits = 2;
    Converter coarse(grid);
    EXPECT_EQ(run(coarse, "40.689247 -74.044502"), "18TWL8004");
    grid.to = Mode::Ups;
    Converter toUps(grid);
    EXPECT_EQ(run(toUps, "85 30 12"), "N 2277728.696 1518959.788 12.000");
    EXPECT_EQ(run(toUps, "45 30", false), "UPS covers latitudes from 83.5 N and from 79.5 S only");
    grid.from = Mode::Mgrs;
    grid.to = Mode::Geodetic;
    Converter fromMgrs(grid);
    EXPECT_EQ(run(fromMgrs, "18t wl 80735 04700"), "40.68924809 -74.04450370 0.000");   // the centre of the square
    EXPECT_EQ(run(fromMgrs, "18IWL", false), "DtException: Invalid MGRS reference '18IWL': I and O are not letters of the grid");
    grid.from = Mode::Ups;
    Converter fromUps(grid);
    EXPECT_EQ(run(fromUps, "S 2000000 2000000 3"), "-90.00000000 0.00000000 3.000");
    EXPECT_EQ(run(fromUps, "X 1 2", false), "'X' is not a pole (N or S)");
    // The magnetic field at a date: the model's declination, inclination, intensity and grid-magnetic angle.
    Options magnetic;
    magnetic.to = Mode::Magnetic;
    magnetic.year = 2026.5;
    Converter toMagnetic(magnetic);
    const std::vector<double> m = numbers(run(toMagnetic, "51.47 -0.4543 25"));
    const DtMagneticField f = DtMagneticModel::wmm2025().field(51.47 * qmtest::kDeg, -0.4543 * qmtest::kDeg, 25, 2026.5);
    const DtBearings b = DtMagneticModel::wmm2025().bearings(51.47 * qmtest::kDeg, -0.4543 * qmtest::kDeg, 25, 2026.5);
    EXPECT_TRUE(m.size() == 4u && std::fabs(m[0] - f.declination / qmtest::kDeg) < 1e-8 &&
                std::fabs(m[1] - f.inclination / qmtest::kDeg) < 1e-8 && std::fabs(m[2] - f.total) < 0.05 &&
                std::fabs(m[3] - b.gridMagneticAngle / qmtest::kDeg) < 1e-8);
    EXPECT_EQ(run(toMagnetic, "88 0").substr(run(toMagnetic, "88 0").size() - 4), " nan");   // no UTM grid there
    // Within a e^2 of the ellipsoid's centre the geodetic result cannot be
    // trusted; a metre beyond it, it can. The bound is the datum's, about its centre.
    EXPECT_EQ(run(geoc, "1400 0 1400", false), "the point is 1980 m from the centre of the datum's ellipsoid: "
                                               "geodetic coordinates cannot be trusted within 42699 m of it");
    const std::vector<double> justOutside = numbers(run(geoc, "0 -42699 0"));
    EXPECT_TRUE(std::fabs(justOutside[0]) < 1e-5 && justOutside[1] == -90 && justOutside[2] == 42699 - 6378137.0);
    run(geoc, "0 0 42698", false);
    EXPECT_EQ(run(geoc, "1e300 0 0", false), "the conversion gives no finite result for this point");
    o.datum = &DtED50;
    Converter ed50(o);
    EXPECT_EQ(run(ed50, "-87 -98 42679", false), "the point is 42800 m from the centre of the "
              "datum's ellipsoid: geodetic coordinates cannot be trusted within 42881 m of it");
    o.from = Mode::Utm;
    o.datum = &DtWGS84;
    Converter pastThePole(o);
    EXPECT_EQ(run(pastThePole, "31N 500000 12000000", false), "the grid position lies beyond the pole (latitude 107.93727)");
    o.from = o.to = Mode::Inverse;   // geodesics: there and back
    o.precision = 9;
    Converter inverse(o);
    const std::vector<double> leg = numbers(run(inverse, "50.0379 8.5622 1.3644 103.9915"));
    o.from = o.to = Mode::Direct;
    Converter direct(o);
    const std::vector<double> end = numbers(run(direct, "50.0379 8.5622 " + std::to_string(leg[1]) + " 10281740.199"));
    EXPECT_TRUE(std::fabs(leg[0] - 10281740.199) < 1e-3 && std::fabs(end[0] - 1.3644) < 1e-7 &&
                std::fabs(end[1] - 103.9915) < 1e-7 && std::fabs(end[2] - leg[2]) < 1e-7);
    EXPECT_EQ(run(inverse, "1 2 3", false), "expected 4 fields (lat1 lon1 lat2 lon2), got 3");
    EXPECT_EQ(run(direct, "1 2 3 x", false), "'x' is not a number");
    o.precision = 3;
    o.from = o.to = Mode::Geodetic;
    o.dms = true;
    Converter dms(o);
    EXPECT_EQ(run(dms, "-0 -0"), "0d00'00.0000\"N 0d00'00.0000\"E 0.000");   // the letter carries the sign
    EXPECT_TRUE(Converter::passesThrough("  # note", 8) && Converter::passesThrough("   ", 3) &&
                !Converter::passesThrough(" 1 # x", 6));
}

// The reader and writer against the plain C library: strtod and snprintf
// "%.*f" (in full, without the sign of a value that rounds to zero), on
// random values and edge values at every precision, and through whole lines
// in every output mode.
TEST_F(GlobalStateTest, ConverterMatchesAPlainStrtodAndSnprintf)
{
    const auto reference = [](double v, int decimals) {
        char text[512];
        std::snprintf(text, sizeof text, "%.*f", decimals, v);
        std::string s = text;
        return s[0] == '-' && s.find_first_not_of("0.", 1) == std::string::npos ? s.substr(1) : s;
    };
    std::mt19937_64 gen(11);
    std::uniform_real_distribution<double> u(-1, 1);
    const double edges[] = {0.0, -0.0, -4e-4, 5e-4, 0.5, -2.5, 1e22, -1e300, 1e-320, kInf, -kInf, kNaN, DBL_MAX, -DBL_MAX};
    for (int n = 0; n < 4000; ++n) {
        const bool edge = n < 14 * 26;
        const double v = edge ? edges[n / 26] : std::ldexp(u(gen), int(gen() % 80) - 40);
        const int decimals = edge ? n % 26 : int(gen() % 26);
        std::string out;
        appendFixed(out, v, decimals);
        ASSERT_EQ(out, reference(v, decimals)) << v;
        char text[64];
        std::snprintf(text, sizeof text, n % 3 == 0 ? "%+.9e" : n % 3 == 1 ? "%.17g" : "%.6f", v);
        double a = 7, b = std::strtod(text, nullptr);
        EXPECT_EQ(parseNumber(text, std::strlen(text), a), std::isfinite(b)) << text;
        EXPECT_TRUE(!std::isfinite(b) || a == b) << text;
    }
    Options o;
    o.haveOrigin = true;
    o.originLatDeg = 40;
    o.originLonDeg = -74;
    for (Mode to : {Mode::Geocentric, Mode::Ned, Mode::Utm}) {
        o.to = to;
        o.precision = int(gen() % 18);
        Converter c(o);
        DtCoordTransform ned;   // as documented: the frame at the origin, at its height
        DtGeocToTopoTransform(DtDeg2Rad(40), DtDeg2Rad(-74), &ned);
        ned.setOffset(DtGeodeticCoord(DtDeg2Rad(40), DtDeg2Rad(-74), 0).geocentric());
        DtUtmReferencePoint utm(DtUtmLatRefZone10, DtUtmLonRefZone10, 1, 0, DtWGS84, 0.9996);
        for (int n = 0; n < 1000; ++n) {
            const double lat = 89.9 * u(gen), lon = 180 * u(gen), h = n % 7 ? 1e4 * u(gen) : 0.0;
            char line[96];
            std::snprintf(line, sizeof line, "%.17g %.17g %.17g", lat, lon, h);
            DtVector64 x = DtGeodeticCoord(DtDeg2Rad(lat), DtDeg2Rad(lon), h).geocentric();
            std::string expected;
            if (to == Mode::Ned)
                ned.coordTrans(x, x);
            if (to == Mode::Utm) {
                utm.setZoneOrigin(0);
                utm.geod2utm(DtDeg2Rad(lat), DtDeg2Rad(lon), &x[0], &x[1]);
                x[2] = h;
                expected = std::to_string(utm.zoneOrigin()) + (lat < 0 ? "S " : "N ");
            }
            expected += reference(x[0], o.precision) + " " + reference(x[1], o.precision) + " " + reference(x[2], o.precision);
            EXPECT_EQ(run(c, line), expected) << modeName(to) << " " << line;
        }
    }
}
