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
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace Vorant;

namespace {

const double kPi = 3.141592653589793;
const double kDeg = kPi / 180;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

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

// Smallest iteration cap that lets the point convert: the number of passes.
unsigned passesNeeded(const DtReferenceEllipsoid& e, double x, double y, double z)
{
    for (unsigned cap = 0; cap < 50; ++cap) {
        DtReferenceEllipsoid::setMaxIterationsForConvergence(cap);
        try {
            double lat, lon, h;
            e.geocentric_to_geodetic(x, y, z, &lat, &lon, &h);
            DtReferenceEllipsoid::setMaxIterationsForConvergence(5000);
            return cap + 1;
        } catch (const DtException&) {
        }
    }
    DtReferenceEllipsoid::setMaxIterationsForConvergence(5000);
    return 0;
}

}  // namespace

TEST(MapDatumTest, ConstantsAndExactComparison)
{
    EXPECT_EQ(DtWGS84Spheroid.semiMajorAxis, 6378137.0);
    EXPECT_EQ(DtWGS84Spheroid.semiMinorAxis, 6356752.3142);
    EXPECT_EQ(DtInternationalSpheroid.semiMajorAxis, 6378388.0);
    EXPECT_EQ(DtInternationalSpheroid.semiMinorAxis, 6356911.946127);
    EXPECT_EQ(DtClark1866Spheroid.semiMajorAxis, 6378206.4);
    EXPECT_EQ(DtClark1866Spheroid.semiMinorAxis, 6356583.8);
    const struct
    {
        const DtMapDatum& datum;
        const DtSpheroid& spheroid;
        double dx, dy, dz;
    } table[] = {
        {DtWGS84, DtWGS84Spheroid, 0, 0, 0},
        {DtED50, DtInternationalSpheroid, -87, -98, -121},
        {DtNASANAD27, DtClark1866Spheroid, -8, 161, 179},
        {DtNASBNAD27, DtClark1866Spheroid, -8, 159, 175},
        {DtCONUSNAD27, DtClark1866Spheroid, -8, 160, 176},
    };
    for (const auto& row : table) {
        EXPECT_EQ(row.datum.spheroid.semiMajorAxis, row.spheroid.semiMajorAxis);
        EXPECT_EQ(row.datum.spheroid.semiMinorAxis, row.spheroid.semiMinorAxis);
        EXPECT_EQ(row.datum.deltaX, row.dx);
        EXPECT_EQ(row.datum.deltaY, row.dy);
        EXPECT_EQ(row.datum.deltaZ, row.dz);
    }
    EXPECT_TRUE(DtNASANAD27 != DtNASBNAD27);
    EXPECT_TRUE(DtCONUSNAD27 != DtNASBNAD27);

    EXPECT_TRUE(DtMapDatum() == DtMapDatum(DtSpheroid{0.0, 0.0}, 0.0, 0.0, 0.0));
    EXPECT_TRUE(DtMapDatum() != DtWGS84);
    EXPECT_TRUE(DtMapDatum() == DtMapDatum(DtSpheroid{-0.0, 0.0}, 0.0, -0.0, 0.0));
    DtMapDatum nudged = DtED50;
    nudged.deltaZ = std::nextafter(nudged.deltaZ, 0.0);
    EXPECT_TRUE(nudged != DtED50);
    DtMapDatum nan = DtWGS84;
    nan.deltaY = kNaN;
    EXPECT_FALSE(nan == nan);
    DtMapDatum copy(DtED50);
    copy = copy;
    EXPECT_TRUE(copy == DtED50);
}

TEST_F(GeodesySettings, DerivedValuesOfTheEllipsoid)
{
    const DtReferenceEllipsoid e(DtWGS84);
    const double a = 6378137.0, f = (a - 6356752.3142) / a;
    EXPECT_EQ(e.semiMajor(), a);
    EXPECT_EQ(e.semiMajorSquared(), a * a);
    EXPECT_EQ(e.flattening(), f);
    EXPECT_EQ(e.semiMinor(), (1 - f) * a);   // recomputed, not copied
    EXPECT_NEAR(e.semiMinor(), 6356752.3142, 1e-8);
    EXPECT_EQ(e.semiMinorSquared(), e.semiMinor() * e.semiMinor());
    EXPECT_NEAR(e.eccentricitySquared(), 0.00669438, 1e-10);
    EXPECT_NEAR(1 / f, 298.257223563, 1e-6);
    EXPECT_EQ(e.polarRadiusOfCurvature(), a * a / e.semiMinor());
    EXPECT_EQ(e.oneMinusFlatteningSquared(), (1 - f) * (1 - f));
    EXPECT_TRUE(e.mapDatum() == DtWGS84);

    DtReferenceEllipsoid other(DtED50);
    other.useMapDatum(DtWGS84);
    EXPECT_EQ(other.flattening(), f);
    EXPECT_TRUE(other.mapDatum() == DtWGS84);

    // An explicit re-initialisation is kept until the datum changes.
    other.initialize_ellipsoid(1000.0, 0.5);
    other.useMapDatum(DtWGS84);   // equal datum: nothing is derived
    EXPECT_EQ(other.semiMajor(), 1000.0);
    EXPECT_EQ(other.semiMinor(), 500.0);

    const DtReferenceEllipsoid zero{DtMapDatum()};
    EXPECT_TRUE(zero.mapDatum() == DtMapDatum());
    EXPECT_EQ(zero.semiMajor(), 0.0);
}

TEST_F(GeodesySettings, KnownPointsAndRoundTrips)
{
    const DtReferenceEllipsoid& e = DtGlobalEllipsoid();
    double x, y, z;
    e.geodetic_to_geocentric(45 * kDeg, 30 * kDeg, 1000, &x, &y, &z);
    EXPECT_NEAR(x, 3912960.837, 1e-3);
    EXPECT_NEAR(y, 2259148.993, 1e-3);
    EXPECT_NEAR(z, 4488055.516, 1e-3);
    double lat, lon, h;
    e.geocentric_to_geodetic(x, y, z, &lat, &lon, &h);
    EXPECT_NEAR(lat, 45 * kDeg, 1e-12);
    EXPECT_NEAR(lon, 30 * kDeg, 1e-12);
    EXPECT_NEAR(h, 1000, 1e-6);
    EXPECT_EQ(passesNeeded(e, x, y, z), 1u);

    e.geocentric_to_geodetic(6378137.0, 0, 0, &lat, &lon, &h);
    EXPECT_EQ(lat, 0.0);
    EXPECT_EQ(lon, 0.0);
    EXPECT_EQ(h, 0.0);

    // Below the surface the height comes back negative.
    e.geodetic_to_geocentric(10 * kDeg, 10 * kDeg, -6000000, &x, &y, &z);
    e.geocentric_to_geodetic(x, y, z, &lat, &lon, &h);
    EXPECT_NEAR(h, -6000000, 1e-6);
    EXPECT_NEAR(lat, 10 * kDeg, 1e-12);

    // Southern and western hemispheres.
    e.geodetic_to_geocentric(-33.5 * kDeg, -70.25 * kDeg, 250, &x, &y, &z);
    e.geocentric_to_geodetic(x, y, z, &lat, &lon, &h);
    EXPECT_NEAR(lat, -33.5 * kDeg, 1e-12);
    EXPECT_NEAR(lon, -70.25 * kDeg, 1e-12);
    EXPECT_NEAR(h, 250, 1e-6);

    // Longitude on the y axis without atan2.
    e.geocentric_to_geodetic(0.0, -6378137.0, 0, &lat, &lon, &h);
    EXPECT_EQ(lon, -1.5707963267948966);
    EXPECT_NEAR(h, 0, 1e-9);
    e.geocentric_to_geodetic(-0.0, 6378137.0, 0, &lat, &lon, &h);
    EXPECT_EQ(lon, 1.5707963267948966);
}

TEST_F(GeodesySettings, PublishedGeocentricConversions)
{
    // The geographic/geocentric conversion test set of the surveying
    // community: WGS 84, longitude and latitude in degrees, 0.01 m tolerance.
    std::ifstream in(QORMATRIX_TEST_DATA "/gigs-5201-geographic-geocentric.gie");
    ASSERT_TRUE(in.good());
    const DtReferenceEllipsoid& e = DtGlobalEllipsoid();
    enum { Unknown, ToGeographic, ToGeocentric, RoundTrip } mode = Unknown;
    std::string line, pendingStep;
    double accept[3] = {0, 0, 0};
    int checked = 0;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "+step" && pendingStep.empty()) {
            std::string step;
            std::getline(words, step);
            pendingStep = step;
            mode = step.find("4978 +inv") != std::string::npos ? ToGeographic : ToGeocentric;
        } else if (key == "operation") {
            pendingStep.clear();
        } else if (key == "accept") {
            words >> accept[0] >> accept[1] >> accept[2];
        } else if (key == "roundtrip") {
            mode = RoundTrip;
            double p[3] = {accept[0], accept[1], accept[2]};
            for (int n = 0; n < 1000; ++n) {
                double lat, lon, h;
                e.geocentric_to_geodetic(p[0], p[1], p[2], &lat, &lon, &h);
                e.geodetic_to_geocentric(lat, lon, h, &p[0], &p[1], &p[2]);
            }
            EXPECT_NEAR(p[0], accept[0], 0.01);
            EXPECT_NEAR(p[1], accept[1], 0.01);
            EXPECT_NEAR(p[2], accept[2], 0.01);
            ++checked;
        } else if (key == "expect") {
            double expect[3];
            words >> expect[0] >> expect[1] >> expect[2];
            if (mode == ToGeographic) {
                double lat, lon, h;
                e.geocentric_to_geodetic(accept[0], accept[1], accept[2], &lat, &lon, &h);
                // Angle differences as distances on the ground.
                EXPECT_NEAR((lon / kDeg - expect[0]) * kDeg * 6378137.0 * std::cos(lat), 0.0, 0.01) << line;
                EXPECT_NEAR((lat / kDeg - expect[1]) * kDeg * 6378137.0, 0.0, 0.01) << line;
                EXPECT_NEAR(h, expect[2], 0.01) << line;
            } else {
                double x, y, z;
                e.geodetic_to_geocentric(accept[1] * kDeg, accept[0] * kDeg, accept[2], &x, &y, &z);
                EXPECT_NEAR(x, expect[0], 0.01) << line;
                EXPECT_NEAR(y, expect[1], 0.01) << line;
                EXPECT_NEAR(z, expect[2], 0.01) << line;
            }
            ++checked;
        }
    }
    EXPECT_GE(checked, 80);
}

TEST_F(GeodesySettings, PolarAxisAndCentre)
{
    const DtReferenceEllipsoid& e = DtGlobalEllipsoid();
    double lat = 7, lon = 7, h = 7;
    {
        qmtest::NotifyLevel level(2);
        qmtest::Capture info(DtInfo);
        e.geocentric_to_geodetic(0, 0, 6356752.3142, &lat, &lon, &h);
        EXPECT_EQ(info.text(), "Longitude is undefined when X = Y = 0\n");
    }
    EXPECT_EQ(lon, 0.0);
    EXPECT_EQ(lat, 1.5707963267948966);
    EXPECT_NEAR(h, 0.0, 1e-6);
    {
        qmtest::NotifyLevel level(1);
        qmtest::Capture info(DtInfo);
        e.geocentric_to_geodetic(0, 0, -7000000, &lat, &lon, &h);
        EXPECT_EQ(info.text(), "");
    }
    EXPECT_EQ(lat, -1.5707963267948966);
    EXPECT_NEAR(h, 7000000 - 6356752.3142, 1e-6);
    {
        qmtest::NotifyLevel level(2);
        qmtest::Capture info(DtInfo);
        e.geocentric_to_geodetic(0, 0, 0, &lat, &lon, &h);
        EXPECT_EQ(info.text(),
                  "Longitude is undefined when X = Y = 0\nBoth latitude and h are undefined when X = Y = Z = 0\n");
    }
    EXPECT_EQ(lat, 0.0);
    EXPECT_EQ(lon, 0.0);
    EXPECT_EQ(h, -6378137.0);

    DtReferenceEllipsoid::setNotifyConversionFrom0Geocentric(false);
    {
        qmtest::NotifyLevel level(10);
        qmtest::Capture info(DtInfo);
        e.geocentric_to_geodetic(0, 0, 0, &lat, &lon, &h);
        EXPECT_EQ(info.text(), "");
    }

    DtReferenceEllipsoid::setThrowExceptionOnConversionFrom0Geocentric(true);
    lat = lon = h = 7;
    try {
        e.geocentric_to_geodetic(0, 0, 6356752.3142, &lat, &lon, &h);
        FAIL() << "no exception";
    } catch (const DtException&) {
        FAIL() << "wrong exception type";
    } catch (const std::runtime_error& err) {
        EXPECT_STREQ(err.what(), "Longitude is undefined when X = Y = 0");
    }
    EXPECT_EQ(lat, 7.0);   // nothing written
    EXPECT_EQ(lon, 7.0);
    EXPECT_EQ(h, 7.0);
    // Off the axis the flag changes nothing.
    e.geocentric_to_geodetic(6378137.0, 0, 0, &lat, &lon, &h);
    EXPECT_EQ(h, 0.0);

    // Bad numbers give NaN, not a hang or a crash.
    DtReferenceEllipsoid::setThrowExceptionOnConversionFrom0Geocentric(false);
    e.geocentric_to_geodetic(kNaN, 0, 0, &lat, &lon, &h);
    EXPECT_TRUE(std::isnan(lat) && std::isnan(lon) && std::isnan(h));
    e.geocentric_to_geodetic(0, 0, kNaN, &lat, &lon, &h);
    EXPECT_TRUE(std::isnan(lat) && std::isnan(h));
    e.geocentric_to_geodetic(INFINITY, 0, 0, &lat, &lon, &h);
    EXPECT_FALSE(std::isfinite(h));
}

TEST_F(GeodesySettings, IterationCapFailsWithItsMessage)
{
    const DtReferenceEllipsoid& e = DtGlobalEllipsoid();
    EXPECT_EQ(DtReferenceEllipsoid::maxIterationsForConvergence(), 5000u);
    EXPECT_EQ(DtReferenceEllipsoid::theMaxIterationsForConvergence, 5000u);

    // Far out in space the start value is poor and a second pass is needed.
    EXPECT_EQ(passesNeeded(e, 1e8, 1e8, 1e8), 2u);
    DtReferenceEllipsoid::setMaxIterationsForConvergence(0);
    double lat = 7, lon = 7, h = 7;
    EXPECT_NO_THROW(e.geocentric_to_geodetic(6378137.0, 1, 1, &lat, &lon, &h));   // one test is allowed
    lat = lon = h = 7;
    try {
        e.geocentric_to_geodetic(1e8, 1e8, 1e8, &lat, &lon, &h);
        FAIL() << "no exception";
    } catch (const DtException& ex) {
        EXPECT_STREQ(ex.what(), "DtException: Maximum Iterations exceeded(0), probable error.");
        EXPECT_STREQ(ex.signature(), "void Vorant::DtReferenceEllipsoid::geocentric_to_geodetic(double, double, "
                                     "double, double*, double*, double*) const");
        EXPECT_STREQ(ex.file(), "referenceEllipsoid.cpp");
        EXPECT_GT(ex.line(), 0u);
        EXPECT_EQ(ex.predecessor(), nullptr);
    }
    EXPECT_EQ(lon, kPi / 4);   // the longitude was written
    EXPECT_EQ(lat, 7.0);
    EXPECT_EQ(h, 7.0);

    // On the polar axis the multiplier is exact at once: one pass always.
    DtReferenceEllipsoid::setNotifyConversionFrom0Geocentric(false);
    for (double z : {1.0, 1e3, 6e6, 1e12})
        EXPECT_EQ(passesNeeded(e, 0, 0, z), 1u) << z;
    // Near the centre the start value is poor: several passes.
    EXPECT_EQ(passesNeeded(e, 1e5, 1e5, 1e5), 4u);
}

TEST_F(GeodesySettings, DatumShiftInTheVectorForms)
{
    const DtReferenceEllipsoid ed50(DtED50);
    const DtVector64 geodetic(45 * kDeg, 30 * kDeg, 1000);
    double x, y, z;
    ed50.geodetic_to_geocentric(geodetic[0], geodetic[1], geodetic[2], &x, &y, &z);
    EXPECT_NEAR(x, 3913142.565, 1e-3);
    EXPECT_NEAR(y, 2259253.913, 1e-3);
    EXPECT_NEAR(z, 4488136.143, 1e-3);
    DtVector64 geocentric;
    ed50.geodeticToGeocentric(geodetic, geocentric);
    EXPECT_NEAR(geocentric[0], 3913055.565, 1e-3);
    EXPECT_NEAR(geocentric[1], 2259155.913, 1e-3);
    EXPECT_NEAR(geocentric[2], 4488015.143, 1e-3);
    EXPECT_EQ(geocentric[0], x + -87.0);
    DtVector64 back;
    ed50.geocentricToGeodetic(geocentric, back);
    EXPECT_TRUE(back.approxEq(geodetic, 1e-9));
    // In place: the input is read before the output is written.
    DtVector64 same = geocentric;
    ed50.geocentricToGeodetic(same, same);
    EXPECT_EQ(same, back);
}

TEST_F(GeodesySettings, DegreesMinutesSeconds)
{
    const DtReferenceEllipsoid& e = DtGlobalEllipsoid();
    double deg, min, sec, rad;
    e.rad_to_geo(-kPi / 4, &deg, &min, &sec);
    EXPECT_EQ(deg, 45.0);
    EXPECT_EQ(min, 0.0);
    EXPECT_EQ(sec, 0.0);
    e.geo_to_rad(45, 30, 0, &rad);
    EXPECT_EQ(rad, 45.5 * kPi / 180);
    e.geo_to_rad(-10, -15, -36, &rad);
    EXPECT_NEAR(rad, -10.26 * kDeg, 1e-15);
    e.rad_to_geo(DtDeg2Rad(12.5125), &deg, &min, &sec);
    EXPECT_EQ(deg, 12.0);
    EXPECT_EQ(min, 30.0);
    EXPECT_NEAR(sec, 45.0, 1e-9);
    e.rad_to_geo(DtDeg2Rad(-12.5125), &deg, &min, &sec);   // the sign is dropped
    EXPECT_EQ(deg, 12.0);
}

TEST_F(GeodesySettings, GeoidDatumSettings)
{
    EXPECT_EQ(theGeoidDatumType, DtGeoidNone);
    EXPECT_STREQ(theGeoidDataPath, "../data/geoids");
    DtGeoidDatum first(true, false);
    EXPECT_EQ(first.geoidType(), DtGeoidNone);
    EXPECT_STREQ(first.geoidPath(), "../data/geoids");
    EXPECT_TRUE(first.cubic());
    EXPECT_FALSE(first.threadsafe());

    setTheGeoidDatumPath("/srv/geoids");
    setTheGeoidDatumType(DtGeoidEgm96);
    DtGeoidDatum second(DtGeoidEgm2008, false, true);
    EXPECT_EQ(second.geoidType(), DtGeoidEgm2008);
    EXPECT_STREQ(second.geoidPath(), "/srv/geoids");
    EXPECT_FALSE(second.cubic());
    EXPECT_TRUE(second.threadsafe());
    DtGeoidDatum third(DtString("elsewhere"), true, true);
    EXPECT_EQ(third.geoidType(), DtGeoidEgm96);
    EXPECT_STREQ(third.geoidPath(), "elsewhere");
    EXPECT_STREQ(first.geoidPath(), "../data/geoids");   // made earlier: keeps its path

    third.initGeoid(DtGeoidNone, "p", false, false);
    EXPECT_EQ(third.geoidType(), DtGeoidNone);
    EXPECT_STREQ(third.geoidPath(), "p");
    for (double lat : {-90.0, 0.0, 90.0, kNaN})
        EXPECT_EQ(first.undulation(lat, 10.0), 0.0);
    first.cacheArea(0, 0, 1, 1);
    first.cacheAll();
}

TEST_F(GeodesySettings, GeodeticCoordinateValuesAndText)
{
    DtGeodeticCoord c(kPi / 4, kPi / 6, 1000, &DtGlobalEllipsoid());
    std::ostringstream os;
    os << c;
    EXPECT_EQ(os.str(), "[ lat= 0.785398 lon= 0.523599 alt= 1000 ]");
    EXPECT_EQ(c.lat(), kPi / 4);
    EXPECT_EQ(c.lon(), kPi / 6);
    EXPECT_EQ(c.alt(), 1000.0);
    EXPECT_EQ(c.geoidDatum(), nullptr);
    {
        qmtest::Capture info(DtInfo);
        c.printData();
        EXPECT_EQ(info.text(), "[ lat= 0.785398 lon= 0.523599 alt= 1000 ]");
    }

    DtGeodeticCoord d;
    EXPECT_EQ(static_cast<const DtVector64&>(d), DtVector64(0, 0, 0));
    EXPECT_EQ(d.ellipsoid(), &DtGlobalEllipsoid());
    d.setGeocentric(DtVector64(6378137, 0, 0));
    EXPECT_EQ(d.lat(), 0.0);
    EXPECT_EQ(d.lon(), 0.0);
    EXPECT_EQ(d.alt(), 0.0);

    // Geocentric through the ellipsoid, and back.
    const DtVector64 g = c.geocentric();
    EXPECT_NEAR(g[0], 3912960.837, 1e-3);
    DtVector64 g2;
    DtGeodToGeoc(c, g2);
    EXPECT_EQ(g, g2);
    DtGeocToGeod(g, d);
    EXPECT_TRUE(static_cast<const DtVector64&>(d).approxEq(c, 1e-9));
    EXPECT_TRUE(d.mapDatum() == DtWGS84);

    d.setLat(0.1);
    d.setLon(-0.2);
    d.setAlt(55.5);
    EXPECT_EQ(d[0], 0.1);
    EXPECT_EQ(d[1], -0.2);
    EXPECT_EQ(d[2], 55.5);
}

TEST_F(GeodesySettings, GeodeticCoordinateFollowsItsEllipsoid)
{
    const DtGeodeticCoord c(45 * kDeg, 30 * kDeg, 1000);
    const DtVector64 onWgs84 = c.geocentric();
    DtGlobalEllipsoid().useMapDatum(DtED50);
    EXPECT_TRUE(DtCurrentMapDatum() == DtED50);
    EXPECT_TRUE(c.mapDatum() == DtED50);
    const DtVector64 onEd50 = c.geocentric();
    EXPECT_NEAR(onEd50[0], 3913055.565, 1e-3);
    EXPECT_NE(onEd50, onWgs84);
    DtGlobalEllipsoid().useMapDatum(DtWGS84);
    EXPECT_EQ(c.geocentric(), onWgs84);

    // Assignment rebinds to the source's ellipsoid and keeps the target's geoid.
    const DtReferenceEllipsoid nad27(DtCONUSNAD27);
    DtGeodeticCoord other(0.5, 0.5, 10, &nad27);
    DtGeodeticCoord target(0, 0, 0);
    target.setGeoidDatumType(DtGeoidEgm96);
    DtGeoidDatum* own = target.geoidDatum();
    target = other;
    EXPECT_EQ(target.ellipsoid(), &nad27);
    EXPECT_TRUE(target.mapDatum() == DtCONUSNAD27);
    EXPECT_EQ(target.geoidDatum(), own);
    EXPECT_EQ(static_cast<const DtVector64&>(target), DtVector64(0.5, 0.5, 10));
    target = target;
    EXPECT_EQ(target.ellipsoid(), &nad27);
}

TEST_F(GeodesySettings, GeodeticCoordinateOwnsItsGeoid)
{
    DtGeodeticCoord none(0.1, 0.2, 30);
    EXPECT_EQ(none.geoidDatum(), nullptr);

    // A copy always gets a geoid datum of its own.
    const DtGeodeticCoord copyOfNone(none);
    ASSERT_NE(copyOfNone.geoidDatum(), nullptr);
    EXPECT_EQ(copyOfNone.geoidDatum()->geoidType(), DtGeoidNone);
    EXPECT_TRUE(copyOfNone.geoidDatum()->cubic());
    EXPECT_FALSE(copyOfNone.geoidDatum()->threadsafe());
    EXPECT_EQ(copyOfNone.alt(), 30.0);   // undulation 0

    none.setGeoidDatumType(DtGeoidEgm2008);
    DtGeoidDatum* firstGeoid = none.geoidDatum();
    none.setGeoidDatumType(DtGeoidEgm96);   // the first is released (the sanitizers check)
    ASSERT_NE(none.geoidDatum(), nullptr);
    EXPECT_EQ(none.geoidDatum()->geoidType(), DtGeoidEgm96);
    (void)firstGeoid;
    const DtGeodeticCoord copy(none);
    ASSERT_NE(copy.geoidDatum(), nullptr);
    EXPECT_NE(copy.geoidDatum(), none.geoidDatum());
    EXPECT_EQ(copy.geoidDatum()->geoidType(), DtGeoidEgm96);

    none.setAlt(123.25);
    EXPECT_EQ(none[2], 123.25);
    EXPECT_EQ(none.alt(), 123.25);

    // A selected geoid model gives new coordinates a geoid datum.
    setTheGeoidDatumType(DtGeoidEgm2008);
    const DtGeodeticCoord withGeoid;
    ASSERT_NE(withGeoid.geoidDatum(), nullptr);
    EXPECT_EQ(withGeoid.geoidDatum()->geoidType(), DtGeoidEgm2008);
}
