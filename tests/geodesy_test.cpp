// Map datums, the reference ellipsoid, the geoid datum and geodetic coordinates.
#include "testSupport.h"

#include <geodeticCoord.h>
#include <geoidDatum.h>
#include <mapDatum.h>
#include <referenceEllipsoid.h>
#include <qvutil/dtException.h>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

using namespace Vorant;

namespace {

const double kPi = 3.141592653589793;
const double kDeg = kPi / 180;
const double kHalfPi = 1.5707963267948966;
const double kNaN = std::nan("");

// Restores the process-wide settings of the ellipsoid and the geoid.
class GeodesySettings : public ::testing::Test
{
protected:
    void TearDown() override
    {
        DtReferenceEllipsoid::setMaxIterationsForConvergence(5000);
        DtReferenceEllipsoid::setNotifyConversionFrom0Geocentric(true);
        DtReferenceEllipsoid::setThrowExceptionOnConversionFrom0Geocentric(false);
        DtGlobalEllipsoid().useMapDatum(DtWGS84);
        setTheGeoidDatumType(DtGeoidNone);
        setTheGeoidDatumPath("../data/geoids");
    }
};

struct Geodetic
{
    double lat = 7, lon = 7, h = 7;
};

Geodetic toGeodetic(double x, double y, double z, const DtReferenceEllipsoid& e = DtGlobalEllipsoid())
{
    Geodetic g;
    e.geocentric_to_geodetic(x, y, z, &g.lat, &g.lon, &g.h);
    return g;
}

// Smallest iteration cap that lets the point convert: the number of passes.
unsigned passesNeeded(double x, double y, double z)
{
    unsigned passes = 0;
    for (unsigned cap = 0; cap < 50 && passes == 0; ++cap) {
        DtReferenceEllipsoid::setMaxIterationsForConvergence(cap);
        try {
            toGeodetic(x, y, z);
            passes = cap + 1;
        } catch (const DtException&) {
        }
    }
    DtReferenceEllipsoid::setMaxIterationsForConvergence(5000);
    return passes;
}

}  // namespace

TEST(MapDatumTest, ConstantsAndExactComparison)
{
    const struct
    {
        const DtMapDatum& datum;
        double a, b, dx, dy, dz;
    } table[] = {
        {DtWGS84, 6378137.0, 6356752.3142, 0, 0, 0},
        {DtED50, 6378388.0, 6356911.946127, -87, -98, -121},
        {DtNASANAD27, 6378206.4, 6356583.8, -8, 161, 179},
        {DtNASBNAD27, 6378206.4, 6356583.8, -8, 159, 175},
        {DtCONUSNAD27, 6378206.4, 6356583.8, -8, 160, 176},
    };
    for (const auto& r : table)
        EXPECT_TRUE(r.datum.spheroid.semiMajorAxis == r.a && r.datum.spheroid.semiMinorAxis == r.b &&
                    r.datum.deltaX == r.dx && r.datum.deltaY == r.dy && r.datum.deltaZ == r.dz);
    EXPECT_TRUE(DtWGS84Spheroid.semiMinorAxis == 6356752.3142 && DtInternationalSpheroid.semiMajorAxis == 6378388.0 &&
                DtClark1866Spheroid.semiMinorAxis == 6356583.8);

    EXPECT_TRUE(DtMapDatum() == DtMapDatum(DtSpheroid{-0.0, 0.0}, 0.0, -0.0, 0.0));
    EXPECT_TRUE(DtMapDatum() != DtWGS84);
    DtMapDatum nudged = DtED50;
    nudged.deltaZ = std::nextafter(nudged.deltaZ, 0.0);
    EXPECT_TRUE(nudged != DtED50);
    DtMapDatum nan = DtWGS84;
    nan.deltaY = kNaN;
    EXPECT_FALSE(nan == nan);
}

TEST_F(GeodesySettings, DerivedValuesOfTheEllipsoid)
{
    const DtReferenceEllipsoid e(DtWGS84);
    const double a = 6378137.0, f = (a - 6356752.3142) / a;
    EXPECT_TRUE(e.semiMajor() == a && e.semiMajorSquared() == a * a && e.flattening() == f &&
                e.semiMinor() == (1 - f) * a && e.semiMinorSquared() == e.semiMinor() * e.semiMinor() &&
                e.polarRadiusOfCurvature() == a * a / e.semiMinor() && e.oneMinusFlatteningSquared() == (1 - f) * (1 - f));
    EXPECT_NEAR(e.semiMinor(), 6356752.3142, 1e-8);   // recomputed from f, not copied
    EXPECT_NEAR(e.eccentricitySquared(), 0.00669438, 1e-10);
    EXPECT_NEAR(1 / f, 298.257223563, 1e-6);

    DtReferenceEllipsoid other(DtED50);
    other.useMapDatum(DtWGS84);
    EXPECT_TRUE(other.flattening() == f && other.mapDatum() == DtWGS84);
    other.initialize_ellipsoid(1000.0, 0.5);
    other.useMapDatum(DtWGS84);   // an equal datum derives nothing
    EXPECT_TRUE(other.semiMajor() == 1000.0 && other.semiMinor() == 500.0);
    EXPECT_EQ(DtReferenceEllipsoid(DtMapDatum()).semiMajor(), 0.0);
}

TEST_F(GeodesySettings, KnownPointsRoundTripsAndDatumShift)
{
    const DtReferenceEllipsoid& e = DtGlobalEllipsoid();
    double x, y, z;
    e.geodetic_to_geocentric(45 * kDeg, 30 * kDeg, 1000, &x, &y, &z);
    EXPECT_TRUE(DtVector64(x, y, z).approxEq(DtVector64(3912960.837, 2259148.993, 4488055.516), 1e-3));
    Geodetic g = toGeodetic(x, y, z);
    EXPECT_TRUE(std::fabs(g.lat - 45 * kDeg) < 1e-12 && std::fabs(g.lon - 30 * kDeg) < 1e-12 &&
                std::fabs(g.h - 1000) < 1e-6);
    EXPECT_EQ(passesNeeded(x, y, z), 1u);
    g = toGeodetic(6378137.0, 0, 0);
    EXPECT_TRUE(g.lat == 0.0 && g.lon == 0.0 && g.h == 0.0);
    const double points[2][3] = {{10, 10, -6000000}, {-33.5, -70.25, 250}};   // below the surface, south-west
    for (const double* p : points) {
        e.geodetic_to_geocentric(p[0] * kDeg, p[1] * kDeg, p[2], &x, &y, &z);
        g = toGeodetic(x, y, z);
        EXPECT_TRUE(std::fabs(g.lat - p[0] * kDeg) < 1e-12 && std::fabs(g.lon - p[1] * kDeg) < 1e-12 &&
                    std::fabs(g.h - p[2]) < 1e-6);
    }
    EXPECT_EQ(toGeodetic(0.0, -6378137.0, 0).lon, -kHalfPi);   // on the y axis without atan2
    EXPECT_EQ(toGeodetic(-0.0, 6378137.0, 0).lon, kHalfPi);

    // ED50: the International spheroid plus the shift (-87, -98, -121).
    const DtReferenceEllipsoid ed50(DtED50);
    const DtVector64 geodetic(45 * kDeg, 30 * kDeg, 1000);
    DtVector64 geocentric, back;
    ed50.geodeticToGeocentric(geodetic, geocentric);
    EXPECT_TRUE(geocentric.approxEq(DtVector64(3913055.565, 2259155.913, 4488015.143), 1e-3));
    ed50.geocentricToGeodetic(geocentric, back);
    EXPECT_TRUE(back.approxEq(geodetic, 1e-9));
    ed50.geocentricToGeodetic(geocentric, geocentric);   // in place
    EXPECT_EQ(geocentric, back);
}

TEST_F(GeodesySettings, PublishedGeocentricConversions)
{
    // The surveying community's geographic/geocentric test set (WGS 84,
    // longitude and latitude in degrees, 0.01 m tolerance).
    std::ifstream in(QORMATRIX_TEST_DATA "/gigs-5201-geographic-geocentric.gie");
    ASSERT_TRUE(in.good());
    const DtReferenceEllipsoid& e = DtGlobalEllipsoid();
    bool toGeographic = true, stepSeen = false;
    std::string line;
    double accept[3] = {0, 0, 0};
    int checked = 0;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "operation") {
            stepSeen = false;
        } else if (key == "+step" && !stepSeen) {
            stepSeen = true;
            toGeographic = line.find("4978 +inv") != std::string::npos;
        } else if (key == "accept") {
            words >> accept[0] >> accept[1] >> accept[2];
        } else if (key == "roundtrip") {
            double p[3] = {accept[0], accept[1], accept[2]};
            for (int n = 0; n < 1000; ++n) {
                const Geodetic g = toGeodetic(p[0], p[1], p[2]);
                e.geodetic_to_geocentric(g.lat, g.lon, g.h, &p[0], &p[1], &p[2]);
            }
            EXPECT_TRUE(DtVector64(p[0], p[1], p[2]).approxEq(DtVector64(accept[0], accept[1], accept[2]), 0.01));
            ++checked;
        } else if (key == "expect") {
            double ex[3];
            words >> ex[0] >> ex[1] >> ex[2];
            if (toGeographic) {
                const Geodetic g = toGeodetic(accept[0], accept[1], accept[2]);
                // Angle differences as distances on the ground.
                EXPECT_NEAR((g.lon / kDeg - ex[0]) * kDeg * 6378137.0 * std::cos(g.lat), 0.0, 0.01) << line;
                EXPECT_NEAR((g.lat / kDeg - ex[1]) * kDeg * 6378137.0, 0.0, 0.01) << line;
                EXPECT_NEAR(g.h, ex[2], 0.01) << line;
            } else {
                double x, y, z;
                e.geodetic_to_geocentric(accept[1] * kDeg, accept[0] * kDeg, accept[2], &x, &y, &z);
                EXPECT_TRUE(DtVector64(x, y, z).approxEq(DtVector64(ex[0], ex[1], ex[2]), 0.01)) << line;
            }
            ++checked;
        }
    }
    EXPECT_GE(checked, 80);
}

TEST_F(GeodesySettings, PolarAxisCentreAndBadNumbers)
{
    {
        qmtest::NotifyLevel level(2);
        qmtest::Capture info(DtInfo);
        const Geodetic pole = toGeodetic(0, 0, 6356752.3142);
        EXPECT_TRUE(pole.lon == 0.0 && pole.lat == kHalfPi && std::fabs(pole.h) < 1e-6);
        const Geodetic centre = toGeodetic(0, 0, 0);
        EXPECT_TRUE(centre.lat == 0.0 && centre.lon == 0.0 && centre.h == -6378137.0);
        EXPECT_EQ(info.text(), "Longitude is undefined when X = Y = 0\nLongitude is undefined when X = Y = 0\n"
                               "Both latitude and h are undefined when X = Y = Z = 0\n");
    }
    {
        qmtest::NotifyLevel level(1);   // the notices need a level above 1
        qmtest::Capture info(DtInfo);
        const Geodetic south = toGeodetic(0, 0, -7000000);
        EXPECT_TRUE(south.lat == -kHalfPi && std::fabs(south.h - (7000000 - 6356752.3142)) < 1e-6);
        EXPECT_EQ(info.text(), "");
    }
    DtReferenceEllipsoid::setNotifyConversionFrom0Geocentric(false);
    {
        qmtest::NotifyLevel level(10);
        qmtest::Capture info(DtInfo);
        toGeodetic(0, 0, 0);
        EXPECT_EQ(info.text(), "");
    }
    DtReferenceEllipsoid::setThrowExceptionOnConversionFrom0Geocentric(true);
    Geodetic g;
    try {
        DtGlobalEllipsoid().geocentric_to_geodetic(0, 0, 6356752.3142, &g.lat, &g.lon, &g.h);
        FAIL() << "no exception";
    } catch (const DtException&) {
        FAIL() << "wrong exception type";
    } catch (const std::runtime_error& err) {
        EXPECT_STREQ(err.what(), "Longitude is undefined when X = Y = 0");
    }
    EXPECT_TRUE(g.lat == 7 && g.lon == 7 && g.h == 7);   // nothing written
    EXPECT_EQ(toGeodetic(6378137.0, 0, 0).h, 0.0);       // off the axis the flag changes nothing
    DtReferenceEllipsoid::setThrowExceptionOnConversionFrom0Geocentric(false);

    // Bad numbers give NaN or infinity, never a hang.
    g = toGeodetic(kNaN, 0, 0);
    EXPECT_TRUE(std::isnan(g.lat) && std::isnan(g.lon) && std::isnan(g.h));
    g = toGeodetic(0, 0, kNaN);
    EXPECT_TRUE(std::isnan(g.lat) && std::isnan(g.h));
    EXPECT_FALSE(std::isfinite(toGeodetic(INFINITY, 0, 0).h));
}

TEST_F(GeodesySettings, IterationCapFailsWithItsMessage)
{
    EXPECT_EQ(DtReferenceEllipsoid::maxIterationsForConvergence(), 5000u);
    EXPECT_EQ(passesNeeded(1e8, 1e8, 1e8), 2u);   // far out, the start value is poor
    EXPECT_EQ(passesNeeded(1e5, 1e5, 1e5), 4u);   // near the centre, poorer
    DtReferenceEllipsoid::setNotifyConversionFrom0Geocentric(false);
    for (double z : {1.0, 6e6, 1e12})
        EXPECT_EQ(passesNeeded(0, 0, z), 1u);   // on the axis the multiplier is exact at once

    DtReferenceEllipsoid::setMaxIterationsForConvergence(0);
    EXPECT_NO_THROW(toGeodetic(6378137.0, 1, 1));   // one convergence test is allowed
    Geodetic g;
    try {
        DtGlobalEllipsoid().geocentric_to_geodetic(1e8, 1e8, 1e8, &g.lat, &g.lon, &g.h);
        FAIL() << "no exception";
    } catch (const DtException& ex) {
        EXPECT_STREQ(ex.what(), "DtException: Maximum Iterations exceeded(0), probable error.");
        EXPECT_STREQ(ex.signature(), "void Vorant::DtReferenceEllipsoid::geocentric_to_geodetic(double, double, "
                                     "double, double*, double*, double*) const");
        EXPECT_STREQ(ex.file(), "referenceEllipsoid.cpp");
        EXPECT_TRUE(ex.line() > 0 && ex.predecessor() == nullptr);
    }
    EXPECT_TRUE(g.lon == kPi / 4 && g.lat == 7 && g.h == 7);   // only the longitude was written
    DtReferenceEllipsoid::setMaxIterationsForConvergence(1234);
    try {
        toGeodetic(1e8, 1e8, 1e8);
    } catch (const DtException&) {
        FAIL() << "two passes are within 1234";
    }
}

TEST_F(GeodesySettings, DegreesMinutesSeconds)
{
    const DtReferenceEllipsoid& e = DtGlobalEllipsoid();
    double deg, min, sec, rad;
    e.rad_to_geo(-kPi / 4, &deg, &min, &sec);
    EXPECT_TRUE(deg == 45 && min == 0 && sec == 0);
    e.rad_to_geo(DtDeg2Rad(-12.5125), &deg, &min, &sec);   // the sign is dropped
    EXPECT_TRUE(deg == 12 && min == 30 && std::fabs(sec - 45) < 1e-9);
    e.geo_to_rad(45, 30, 0, &rad);
    EXPECT_EQ(rad, 45.5 * kPi / 180);
    e.geo_to_rad(-10, -15, -36, &rad);
    EXPECT_NEAR(rad, -10.26 * kDeg, 1e-15);
}

TEST_F(GeodesySettings, GeoidDatumSettings)
{
    DtGeoidDatum first(true, false);
    EXPECT_TRUE(first.geoidType() == DtGeoidNone && first.geoidPath() == "../data/geoids" && first.cubic() &&
                !first.threadsafe());
    setTheGeoidDatumPath("/srv/geoids");
    setTheGeoidDatumType(DtGeoidEgm96);
    DtGeoidDatum second(DtGeoidEgm2008, false, true);
    EXPECT_TRUE(second.geoidType() == DtGeoidEgm2008 && second.geoidPath() == "/srv/geoids" && !second.cubic() &&
                second.threadsafe());
    DtGeoidDatum third(DtString("elsewhere"), true, true);
    EXPECT_TRUE(third.geoidType() == DtGeoidEgm96 && third.geoidPath() == "elsewhere");
    EXPECT_EQ(first.geoidPath(), "../data/geoids");   // made earlier: keeps its path
    third.initGeoid(DtGeoidNone, "p", false, false);
    EXPECT_TRUE(third.geoidType() == DtGeoidNone && third.geoidPath() == "p");
    for (double lat : {-90.0, 0.0, 90.0, kNaN})
        EXPECT_EQ(first.undulation(lat, 10.0), 0.0);
}

TEST_F(GeodesySettings, GeodeticCoordinates)
{
    const DtGeodeticCoord c(kPi / 4, kPi / 6, 1000, &DtGlobalEllipsoid());
    std::ostringstream os;
    os << c;
    EXPECT_EQ(os.str(), "[ lat= 0.785398 lon= 0.523599 alt= 1000 ]");
    for (int level : {0, 2}) {   // the stream decides what is emitted, not printData
        const qmtest::NotifyLevel quiet(level);
        qmtest::Capture info(DtInfo);
        c.printData();
        EXPECT_EQ(info.text(), os.str());
        struct Own : DtGeodeticCoord
        {
            void printDataToStream(std::ostream& o) const override { o << "own"; }
        } own;
        own.printData();
        EXPECT_EQ(info.text(), os.str() + "own");
    }
    DtGeodeticCoord d;
    EXPECT_TRUE(d.ellipsoid() == &DtGlobalEllipsoid() && d.geoidDatum() == nullptr && d == DtVector64(0, 0, 0));
    d.setGeocentric(DtVector64(6378137, 0, 0));
    EXPECT_TRUE(d.lat() == 0.0 && d.lon() == 0.0 && d.alt() == 0.0);
    DtVector64 g2;
    DtGeodToGeoc(c, g2);
    EXPECT_EQ(c.geocentric(), g2);
    DtGeocToGeod(g2, d);
    EXPECT_TRUE(static_cast<const DtVector64&>(d).approxEq(c, 1e-9));
    d.setLat(0.1);
    d.setLon(-0.2);
    d.setAlt(55.5);
    EXPECT_EQ(static_cast<const DtVector64&>(d), DtVector64(0.1, -0.2, 55.5));

    // Bound to the global ellipsoid, the coordinate follows the datum.
    const DtVector64 onWgs84 = c.geocentric();
    DtGlobalEllipsoid().useMapDatum(DtED50);
    EXPECT_TRUE(DtCurrentMapDatum() == DtED50 && c.mapDatum() == DtED50);
    EXPECT_TRUE(DtGeodeticCoord(45 * kDeg, 30 * kDeg, 1000).geocentric().approxEq(
        DtVector64(3913055.565, 2259155.913, 4488015.143), 1e-3));
    DtGlobalEllipsoid().useMapDatum(DtWGS84);
    EXPECT_EQ(c.geocentric(), onWgs84);

    // Assignment rebinds to the source's ellipsoid and keeps the target's geoid.
    const DtReferenceEllipsoid nad27(DtCONUSNAD27);
    DtGeodeticCoord target(0, 0, 0);
    target.setGeoidDatumType(DtGeoidEgm96);
    DtGeoidDatum* own = target.geoidDatum();
    target = DtGeodeticCoord(0.5, 0.5, 10, &nad27);
    EXPECT_TRUE(target.ellipsoid() == &nad27 && target.mapDatum() == DtCONUSNAD27 && target.geoidDatum() == own &&
                target == DtVector64(0.5, 0.5, 10));
}

TEST_F(GeodesySettings, GeodeticCoordinateOwnsItsGeoid)
{
    DtGeodeticCoord none(0.1, 0.2, 30);
    const DtGeodeticCoord copyOfNone(none);   // a copy always gets a geoid of its own
    ASSERT_NE(copyOfNone.geoidDatum(), nullptr);
    EXPECT_TRUE(copyOfNone.geoidDatum()->geoidType() == DtGeoidNone && copyOfNone.geoidDatum()->cubic() &&
                !copyOfNone.geoidDatum()->threadsafe() && copyOfNone.alt() == 30.0);
    none.setGeoidDatumType(DtGeoidEgm2008);
    none.setGeoidDatumType(DtGeoidEgm96);   // the first one is released (the sanitizers check)
    const DtGeodeticCoord copy(none);
    EXPECT_TRUE(copy.geoidDatum() != none.geoidDatum() && copy.geoidDatum()->geoidType() == DtGeoidEgm96);
    none.setAlt(123.25);   // undulation 0
    EXPECT_TRUE(none[2] == 123.25 && none.alt() == 123.25);

    setTheGeoidDatumType(DtGeoidEgm2008);   // a selected model gives new coordinates a geoid
    const DtGeodeticCoord withGeoid;
    ASSERT_NE(withGeoid.geoidDatum(), nullptr);
    EXPECT_EQ(withGeoid.geoidDatum()->geoidType(), DtGeoidEgm2008);
}
