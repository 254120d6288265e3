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

// Forward then inverse through the radian forms; returns the latitude back.
double roundTripLat(DtUtmReferencePoint& p, double latDeg, double lonDeg, double* northing = nullptr)
{
    double e, n, lat, lon;
    p.geod2utm(latDeg * kDeg, lonDeg * kDeg, &e, &n);
    p.utm2geod(e, n, &lat, &lon);
    if (northing)
        *northing = n;
    return lat / kDeg;
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
    a.setLatFromDegrees(0.0);
    EXPECT_EQ(a.hemisphere, DtNorth);
    a.setLatFromDegrees(std::nan(""));
    EXPECT_EQ(a.hemisphere, DtSouth);
    expectDms(DtUtmLonRef1_1, 122, 3, 59, DtWest);
    expectDms(DtUtmLonRef_IITSEC_93, 122, 4, 0, DtWest);
    expectDms(DtUtmLonRefZone10, 123, 0, 0, DtWest);
    expectDms(DtUtmLatRefZone10, 0, 0, 0, DtNorth);
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
    EXPECT_TRUE(p.isInitialized() && p.xOrigin() == 0.0 && p.yOrigin() == 0.0 && p.zoneOrigin() == 10);
    EXPECT_NEAR(p.secondEccentricitySq(), 0.0067394967566, 1e-12);
    EXPECT_NEAR(p.thirdFlattening(), 0.00167922039, 1e-11);
    DtUtmReferencePoint::setLongitudeFudgeFactor(1.0);   // seconds towards the east
    p.init(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 0, DtWGS84);
    expectDms(p.longRef(), 122, 3, 58, DtWest);
    DtUtmReferencePoint::setLongitudeFudgeFactor(0.0);
    const DtUtmReferencePoint q(DtUtmLatRef1_1, DtUtmLonRef1_1, 0, 0, DtED50, 0.9);
    EXPECT_TRUE(q.isInitialized() && q.scale() == 0.9 && q.mapDatum() == DtED50 && q.standardOffsets() == 0 &&
                q.ellipsoid()->mapDatum() == DtED50);
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
    EXPECT_NEAR(roundTripLat(p, -10, -75, &n), -10.0, 1e-8);
    EXPECT_NEAR(n, 10000000.0 - 0.9996 * 1105854.83, 0.01);
    // The crossover reads southern points beyond 18.1 S back as northern.
    EXPECT_GT(roundTripLat(p, -18.2, -75), 0.0);
    EXPECT_NEAR(roundTripLat(p, -18.0, -75), -18.0, 1e-8);
    DtUtmReferencePoint w = zonePoint(1, 1);   // longitudes reduced into (-180, 180]; the zone stays
    double e2, n2;
    w.geod2utm(10 * kDeg, 190 * kDeg, &e, &n);
    w.geod2utm(10 * kDeg, -170 * kDeg, &e2, &n2);
    EXPECT_TRUE(std::fabs(e - e2) < 1e-6 && std::fabs(n - n2) < 1e-6 && w.zoneOrigin() == 1);

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
    const struct
    {
        double lat, lon;
        int zone;
    } zones[] = {{60, 5, 32}, {60, 2.9, 31}, {56, 3, 32}, {64.0001, 5, 31}, {78, 8.9, 31}, {78, 9, 33},
                 {78, 42, 37}, {78, 42.1, 38}, {0, -180, 1}, {0, 180, 61}, {0, -190, 0}, {0, std::nan(""), 0}};
    for (const auto& c : zones)
        EXPECT_EQ(DtUtmGridZoneFromLatLon(c.lat, c.lon), c.zone) << c.lat << " " << c.lon;
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
    DtVector64 geocentric;
    DtUtmToGeoc(v, geocentric);
    DtGeocToUtm(geocentric, w);
    EXPECT_TRUE(geocentric.approxEq(start.geocentric(), 1e-3) && static_cast<const DtVector64&>(w).approxEq(v, 1e-3) &&
                v.up() == 123.5);
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
    DtDcm m;
    DtGridDeclinationDcm(3.141592653589793 / 2, m);
    EXPECT_TRUE(m[0].approxEq(DtVector64(-1, 0, 0), 1e-16) && m[1].approxEq(DtVector64(0, 1, 0), 1e-16));
}
