// Degrees-minutes-seconds, the UTM reference point and projection, UTM
// coordinates, process-wide datum selection and grid declination.
#include "testSupport.h"
#include "utmFixture.h"

#include <geodeticCoord.h>
#include <qvDcm.h>
#include <topoCoord.h>
#include <utmCoord.h>
#include <utmReferencePoint.h>
#include <qvutil/dtException.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>

using namespace Vorant;

namespace {

const double kDeg = 3.141592653589793 / 180;

void expectDms(const DtDegMinSec& a, double d, double m, double s, DtHemisphere h)
{
    EXPECT_TRUE(a.degrees == d && a.minutes == m && a.seconds == s && a.hemisphere == h)
        << a.degrees << " " << a.minutes << " " << a.seconds << " " << a.hemisphere;
}

// A WGS 84 reference point of the zone, on its central meridian at latDeg.
DtUtmReferencePoint zonePoint(long zone, int standardOffsets, double latDeg = 0.0)
{
    DtDegMinSec lat{}, lon{};
    lat.setLatFromDegrees(latDeg);
    lon.setLonFromDegrees(6.0 * double(zone) - 183.0);
    return DtUtmReferencePoint(lat, lon, standardOffsets, zone, DtWGS84, 0.9996);
}

void expectNotInitialized(const std::function<void()>& call, const char* signature)
{
    try {
        call();
        ADD_FAILURE() << "no exception";
    } catch (const DtException& ex) {
        EXPECT_STREQ(ex.what(), "DtException: UTM Reference point must be initialized before used for coord conversions");
        EXPECT_STREQ(ex.signature(), signature);
        EXPECT_STREQ(ex.file(), "utmReferencePoint.cpp");
    }
}

}  // namespace

TEST(DegMinSecTest, SplitsWithoutRoundingOrCarry)
{
    DtDegMinSec a{9, 9, 9, DtEast};
    a.setLonFromDegrees(-122.5);
    expectDms(a, 122, 30, 0, DtWest);
    a.hemisphere = DtSouth;
    a.setFromDegrees(-0.5);   // ceil(-0.5) is -0, made non-negative; the hemisphere stays
    expectDms(a, 0, 30, 0, DtSouth);
    EXPECT_FALSE(std::signbit(a.degrees));
    a.setFromDegrees(10.999999999);   // no carry into the minutes
    EXPECT_TRUE(a.degrees == 10 && a.minutes == 59 && a.seconds > 59.99 && a.seconds < 60);
    a.setLatFromDegrees(std::nan(""));
    EXPECT_EQ(a.hemisphere, DtSouth);
    expectDms(DtUtmLonRef_IITSEC_93, 122, 4, 0, DtWest);
}

TEST_F(GlobalStateTest, UninitialisedPointsThrowAndInitChoosesZoneAndOrigin)
{
    DtUtmReferencePoint p;
    EXPECT_TRUE(!p.isInitialized() && p.scale() == 0.9996 && p.standardOffsets() == 1 && p.zoneOrigin() == 0 &&
                p.standardFalseEasting() == 500000.0 && p.standardFalseNorthing() == 10000000.0 &&
                p.standardFalseNorthingCrossover() == 8000000.0 && p.datumSemiMajor() == 0.0);
    double e = 7, n = 7;
    expectNotInitialized([&] { p.geod2utm(0.1, 0.2, &e, &n); },
                         "virtual void Vorant::DtUtmReferencePoint::geod2utm(double, double, double*, double*)");
    expectNotInitialized([&] { p.utm2geod(500000, 100, &e, &n); },
                         "virtual void Vorant::DtUtmReferencePoint::utm2geod(double, double, double*, double*)");
    EXPECT_TRUE(e == 7 && n == 7 && p.zoneOrigin() == 0);
    p.useMapDatum(DtWGS84);   // the constants, but no initialisation
    EXPECT_THROW(p.geod2utm(0.1, 0.2, &e, &n), DtException);
    EXPECT_EQ(p.datumSemiMajor(), 6378137.0);

    p.init(DtUtmLatRefZone10, DtUtmLonRefZone10, 1, 0, DtWGS84);
    EXPECT_TRUE(p.isInitialized() && p.xOrigin() == 0.0 && p.yOrigin() == 0.0 && p.zoneOrigin() == 10 &&
                std::fabs(p.thirdFlattening() - 0.00167922039) < 1e-11);
    DtUtmReferencePoint::setLongitudeFudgeFactor(1.0);   // seconds towards the east
    p.init(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 0, DtWGS84);
    expectDms(p.longRef(), 122, 3, 58, DtWest);
    DtUtmReferencePoint::setLongitudeFudgeFactor(0.0);
    p.setStandardFalseEasting(0.0);
    p.setLatRef(DtDegMinSec{1, 2, 3, DtSouth});
    p.uninitialize();
    EXPECT_TRUE(!p.isInitialized() && p.mapDatum() == DtWGS84 && p.standardFalseEasting() == 500000.0 &&
                p.zoneOrigin() == 0 && p.thirdFlattening() == 0.0);
    expectDms(p.latRef(), 0, 0, 0, DtSouth);   // hemisphere codes kept
}

TEST_F(GlobalStateTest, KnownPointsStylesCrossoverAndZoneChoice)
{
    DtUtmReferencePoint p = zonePoint(18, 1, 40);
    double e, n, lat, lon;
    p.geod2utm(40 * kDeg, -75 * kDeg, &e, &n);
    EXPECT_TRUE(std::fabs(e - 500000.0) < 1e-6 && std::fabs(n - 4427757.22) < 0.005);
    // South: the false northing less the scaled arc (1105854.83 m to 10 degrees).
    p.geod2utm(-10 * kDeg, -75 * kDeg, &e, &n);
    p.utm2geod(e, n, &lat, &lon);
    EXPECT_TRUE(std::fabs(n - (10000000.0 - 0.9996 * 1105854.83)) < 0.01 && std::fabs(lat / kDeg + 10) < 1e-8);
    p.geod2utm(-18.2 * kDeg, -75 * kDeg, &e, &n);   // the crossover reads it back as northern
    p.utm2geod(e, n, &lat, &lon);
    EXPECT_GT(lat, 0.0);
    DtDegMinSec la{}, lo{};
    la.setLatFromDegrees(35.3);
    lo.setLonFromDegrees(-121.7);
    DtUtmReferencePoint local(la, lo, 0, 0, DtWGS84, 0.9996), standard(la, lo, 1, 0, DtWGS84, 0.9996);
    local.geod2utm(35.3 * kDeg, -121.7 * kDeg, &e, &n);   // local offsets: the reference point is (0, 0)
    EXPECT_TRUE(local.zoneOrigin() == 10 && std::fabs(e) < 1e-6 && std::fabs(n) < 1e-6);
    double el, nl, es, ns;
    local.geod2utm(36.1 * kDeg, -120.9 * kDeg, &el, &nl);
    standard.geod2utm(36.1 * kDeg, -120.9 * kDeg, &es, &ns);
    local.utm2geod(el, nl, &lat, &lon);
    EXPECT_TRUE(std::fabs(el + local.xOrigin() + 500000.0 - es) < 1e-6 && std::fabs(lat - 36.1 * kDeg) < 1e-10);
    // A zero zone is fixed by the first conversion, then kept.
    p.setZoneOrigin(0);
    p.geod2utm(10 * kDeg, 20 * kDeg, &e, &n);
    p.geod2utm(10 * kDeg, -75 * kDeg, &e, &n);
    EXPECT_TRUE(p.zoneOrigin() == 34 && e < 0.0);
    long zone = 18;   // zone forms: northing first, no offsets
    p.geod2utm(40.0, -75.0, &zone, &n, &e);
    p.utm2geod(n, e, 18, &lat, &lon);
    EXPECT_TRUE(std::fabs(n - 4427757.22) < 0.005 && std::fabs(lat - 40) < 1e-8 && std::fabs(lon + 75) < 1e-8);
    EXPECT_TRUE(DtUtmGridZoneFromLatLon(60, 5) == 32 && DtUtmGridZoneFromLatLon(78, 9) == 33 &&   // Norway, Svalbard
                DtUtmGridZoneFromLatLon(0, 180) == 61 && DtUtmGridZoneFromLatLon(0, std::nan("")) == 0);
}

namespace {
// Replaces the zone-form projection: the radian forms must follow.
class ShiftedProjection : public DtUtmReferencePoint
{
public:
    using DtUtmReferencePoint::geod2utm;
    using DtUtmReferencePoint::utm2geod;
    void geod2utm(double latDeg, double lonDeg, long* zone, double* northing, double* easting) override
    {
        DtUtmReferencePoint::geod2utm(latDeg, lonDeg, zone, northing, easting);
        *easting += 1000.0;
    }
    void utm2geod(double northing, double easting, long zone, double* latDeg, double* lonDeg) override
    {
        DtUtmReferencePoint::utm2geod(northing, easting - 1000.0, zone, latDeg, lonDeg);
    }
};
}  // namespace

TEST_F(GlobalStateTest, RadianFormsAndTheGlobalPointWarning)
{
    ShiftedProjection shifted;
    DtUtmReferencePoint plain;
    shifted.init(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 0, DtWGS84);
    plain.init(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 0, DtWGS84);
    double e1, n1, e2, n2, lat, lon;
    shifted.geod2utm(35 * kDeg, -121 * kDeg, &e1, &n1);
    plain.geod2utm(35 * kDeg, -121 * kDeg, &e2, &n2);
    shifted.utm2geod(e1, n1, &lat, &lon);
    EXPECT_TRUE(std::fabs(shifted.xOrigin() - plain.xOrigin() - 1000.0) < 1e-9 && std::fabs(e1 - e2 - 1000.0) < 1e-9 &&
                n1 == n2 && std::fabs(lon / kDeg + 121.0) < 1e-9);

    DtUtmInit(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 0);
    DtUtmReferencePoint* global = DtGlobalUtmReferencePoint();
    DtUseMapDatum(DtED50);   // reaches the global point
    EXPECT_TRUE(global->isInitialized() && global->mapDatum() == DtED50 && global->datumSemiMajor() == 6378388.0);
    qmtest::Capture warn(DtWarn);
    global->geod2utm(35 * kDeg, -121 * kDeg, &e1, &n1);
    EXPECT_EQ(warn.text(), "");
    DtGlobalEllipsoid().useMapDatum(DtWGS84);   // changed behind the global point's back
    global->geod2utm(35 * kDeg, -121 * kDeg, &e1, &n1);
    EXPECT_EQ(warn.text(), "This shouldn't happen\n");
    global->utm2geod(e1, n1, &lat, &lon);
    const std::string inverse = warn.text().substr(22);
    const std::string prefix = "This shouldn't happen libsrc/matrix/utmReferencePoint.cpp ";
    ASSERT_EQ(inverse.compare(0, prefix.size(), prefix), 0) << inverse;
    const std::string line = inverse.substr(prefix.size());
    EXPECT_TRUE(std::stoi(line) > 0 && line.find_first_not_of("0123456789") == line.size() - 1 && line.back() == '\n');
}

TEST_F(GlobalStateTest, UtmCoordinatesAndGridDeclination)
{
    DtUtmReferencePoint p = zonePoint(18, 1, 40);
    const DtGeodeticCoord g = DtUtmCoord(500000.0, 4427757.22, 10.0, &p).geodetic();
    EXPECT_TRUE(std::fabs(g.lat() - 40 * kDeg) < 1e-9 && std::fabs(g.lon() + 75 * kDeg) < 1e-9 && g.alt() == 10.0 &&
                g.ellipsoid() == p.ellipsoid());
    const DtGeodeticCoord start(41 * kDeg, -74 * kDeg, 123.5, p.ellipsoid());
    DtUtmCoord v(&p), w(&p);
    v = start;
    DtGeocToUtm(start.geocentric(), w);
    EXPECT_TRUE(static_cast<const DtVector64&>(w).approxEq(v, 1e-3) && v.up() == 123.5);
    // A datum mismatch warns, both ways, and converts without a shift.
    const DtReferenceEllipsoid ed50(DtED50);
    const std::string mismatch =
        "The geodetic coord passed to DtUtmCoord::setGeodetic is not using the same reference ellipsoid\n";
    DtGeodeticCoord target(&ed50);
    {
        qmtest::Capture warn(DtWarn);
        w.setGeodetic(DtGeodeticCoord(41 * kDeg, -74 * kDeg, 0, &ed50));
        w.getGeodetic(target);
        EXPECT_EQ(warn.text(), mismatch + mismatch);
    }
    EXPECT_TRUE(w.x() == v.x() && target.mapDatum() == DtED50);
    DtUtmReferencePoint bare;   // an uninitialised point: the exception passes, nothing changes
    DtUtmCoord q(1, 2, 3, &bare);
    EXPECT_THROW(q.setGeodetic(start), DtException);
    EXPECT_EQ(static_cast<const DtVector64&>(q), DtVector64(1, 2, 3));

    const auto declination = [&p](double latDeg, double lonDeg) {
        const DtUtmCoord u(DtGeodeticCoord(latDeg * kDeg, lonDeg * kDeg, 0, p.ellipsoid()), &p);
        return u.gridDeclination() / kDeg;
    };
    EXPECT_TRUE(std::fabs(declination(45, -75)) < 1e-9 && std::fabs(declination(45, -72) - 2.1224) < 1e-4 &&
                std::fabs(declination(45, -78) + 2.1224) < 1e-4);
    DtUtmInit(DtUtmLatRef1_1, DtDegMinSec{75, 0, 0, DtWest}, 1, 18);   // the global point and its zone
    EXPECT_NEAR(DtUtmGridDeclination(-45 * kDeg, -72 * kDeg) / kDeg, -2.1222, 1e-4);
    DtGlobalUtmReferencePoint()->uninitialize();
    EXPECT_THROW(DtUtmGridDeclination(45 * kDeg, -72 * kDeg), DtException);
}
