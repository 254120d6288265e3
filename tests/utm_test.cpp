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
    a.setLatFromDegrees(35.25);
    expectDms(a, 35, 15, 0, DtNorth);
    a.setLonFromDegrees(-122.5);
    expectDms(a, 122, 30, 0, DtWest);
    a.hemisphere = DtSouth;
    a.setFromDegrees(-0.5);   // ceil(-0.5) is -0, made non-negative
    expectDms(a, 0, 30, 0, DtSouth);
    EXPECT_FALSE(std::signbit(a.degrees));
    a.setFromDegrees(10.999999999);   // no carry into the minutes
    EXPECT_TRUE(a.degrees == 10 && a.minutes == 59 && a.seconds > 59.99 && a.seconds < 60);
    a.setLatFromDegrees(0.0);
    EXPECT_EQ(a.hemisphere, DtNorth);
    a.setLonFromDegrees(0.0);
    EXPECT_EQ(a.hemisphere, DtEast);
    a.setLatFromDegrees(std::nan(""));
    EXPECT_EQ(a.hemisphere, DtSouth);
    a.setLonFromDegrees(std::nan(""));
    EXPECT_EQ(a.hemisphere, DtWest);

    std::mt19937 gen(17);
    std::uniform_real_distribution<double> u(-400, 400);
    for (int n = 0; n < 2000; ++n) {
        const double deg = u(gen);
        a.setLonFromDegrees(deg);
        EXPECT_TRUE(a.degrees >= 0 && a.minutes >= 0 && a.minutes < 60 && a.seconds >= 0 && a.seconds < 60 &&
                    a.minutes == std::floor(a.minutes));
        EXPECT_NEAR((a.degrees + a.minutes / 60 + a.seconds / 3600) * (a.hemisphere == DtWest ? -1 : 1), deg, 1e-12);
    }

    expectDms(DtUtmLatRef1_1, 35, 15, 0, DtNorth);
    expectDms(DtUtmLonRef1_1, 122, 3, 59, DtWest);
    expectDms(DtUtmLatRef_IITSEC_93, 35, 15, 0, DtNorth);
    expectDms(DtUtmLonRef_IITSEC_93, 122, 4, 0, DtWest);
    expectDms(DtUtmLatRefZone10, 0, 0, 0, DtNorth);
    expectDms(DtUtmLonRefZone10, 123, 0, 0, DtWest);
    EXPECT_EQ(int(DtEast) + int(DtWest) * 10 + int(DtNorth) * 100 + int(DtSouth) * 1000, 3210);
}

TEST(UtmZoneTest, ZonesWithTheNorwayAndSvalbardRules)
{
    const struct
    {
        double lat, lon;
        int zone;
    } cases[] = {{60, 5, 32},     {60, 2.9, 31},  {64, 12, 32},  {56, 3, 32},    {64.0001, 5, 31},
                 {78, 8.9, 31},   {78, 9, 33},    {78, 21, 35},  {78, 33, 37},   {78, 42, 37},
                 {78, 42.1, 38},  {0, -180, 1},   {0, 179.999999, 60}, {0, 180, 61}, {0, -75, 18},
                 {-89, 0.5, 31},  {0, -190, 0},   {0, 1e300, 0}, {0, std::nan(""), 0}};
    for (const auto& c : cases)
        EXPECT_EQ(DtUtmGridZoneFromLatLon(c.lat, c.lon), c.zone) << c.lat << " " << c.lon;
}

TEST_F(GlobalStateTest, UninitialisedPointsThrowFromTheRadianForms)
{
    DtUtmReferencePoint p;
    EXPECT_FALSE(p.isInitialized());
    EXPECT_EQ(p.datumSemiMajor() + p.datumSemiMinor() + p.eccentricitySq() + p.secondEccentricitySq() +
                  p.thirdFlattening(), 0.0);
    EXPECT_TRUE(p.scale() == 0.9996 && p.standardOffsets() == 1 && p.zoneOrigin() == 0 &&
                p.standardFalseEasting() == 500000.0 && p.standardFalseNorthing() == 10000000.0 &&
                p.standardFalseNorthingCrossover() == 8000000.0 && p.mapDatum() == DtWGS84);

    double e = 7, n = 7;
    expectNotInitialized([&] { p.geod2utm(0.1, 0.2, &e, &n); },
                         "virtual void Vorant::DtUtmReferencePoint::geod2utm(double, double, double*, double*)");
    expectNotInitialized([&] { p.utm2geod(500000, 100, &e, &n); },
                         "virtual void Vorant::DtUtmReferencePoint::utm2geod(double, double, double*, double*)");
    EXPECT_TRUE(e == 7 && n == 7 && p.zoneOrigin() == 0);

    DtGlobalUtmReferencePoint()->uninitialize();
    EXPECT_THROW(DtGlobalUtmReferencePoint()->geod2utm(0.1, 0.2, &e, &n), DtException);
    // useMapDatum computes the constants but does not initialise.
    p.useMapDatum(DtWGS84);
    EXPECT_EQ(p.datumSemiMajor(), 6378137.0);
    EXPECT_THROW(p.geod2utm(0.1, 0.2, &e, &n), DtException);
    // The zone forms check nothing; without datum constants a is 0.
    DtUtmReferencePoint bare;
    long zone = 0;
    bare.geod2utm(40.0, -75.0, &zone, &n, &e);
    EXPECT_TRUE(zone == 18 && e == 0.0 && n == 0.0);
}

TEST_F(GlobalStateTest, InitChoosesTheZoneAndTheOrigin)
{
    DtUtmReferencePoint p;
    p.init(DtUtmLatRefZone10, DtUtmLonRefZone10, 1, 10, DtWGS84);
    EXPECT_TRUE(p.isInitialized() && p.xOrigin() == 0.0 && p.yOrigin() == 0.0 && p.zoneOrigin() == 10);
    p.init(DtUtmLatRefZone10, DtUtmLonRefZone10, 1, 0, DtWGS84);
    EXPECT_EQ(p.zoneOrigin(), 10);
    p.init(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 0, DtWGS84);
    EXPECT_EQ(p.zoneOrigin(), 10);
    double n, e;
    long zone = 10;
    p.geod2utm(35.25, -(122 + 3 / 60.0 + 59 / 3600.0), &zone, &n, &e);
    EXPECT_TRUE(p.xOrigin() == e && p.yOrigin() == n);
    EXPECT_NEAR(p.secondEccentricitySq(), 0.0067394967566, 1e-12);
    EXPECT_NEAR(p.thirdFlattening(), 0.00167922039, 1e-11);

    const DtUtmReferencePoint q(DtUtmLatRef1_1, DtUtmLonRef1_1, 0, 0, DtED50, 0.9);
    EXPECT_TRUE(q.isInitialized() && q.scale() == 0.9 && q.mapDatum() == DtED50 && q.standardOffsets() == 0 &&
                q.datumSemiMajor() == 6378388.0 && q.ellipsoid()->mapDatum() == DtED50);
}

TEST_F(GlobalStateTest, StandardStyleKnownPointsCrossoverAndLongitudes)
{
    DtUtmReferencePoint p = zonePoint(18, 1, 40);
    double e, n, lat, lon;
    p.geod2utm(40 * kDeg, -75 * kDeg, &e, &n);
    EXPECT_NEAR(e, 500000.0, 1e-6);
    EXPECT_NEAR(n, 4427757.22, 0.005);
    p.utm2geod(e, n, &lat, &lon);
    EXPECT_NEAR(lat / kDeg, 40.0, 1e-8);
    EXPECT_NEAR(lon / kDeg, -75.0, 1e-8);
    // South: the false northing is added to the scaled meridian arc
    // (1105854.83 m from the equator to 10 degrees).
    EXPECT_NEAR(roundTripLat(p, -10, -75, &n), -10.0, 1e-8);
    EXPECT_NEAR(n, 10000000.0 - 0.9996 * 1105854.83, 0.01);
    // The default crossover reads southern points beyond 18.1 S as northern
    // and northern points beyond 72.1 N as southern.
    EXPECT_GT(roundTripLat(p, -18.2, -75, &n), 0.0);
    EXPECT_LT(n, 8000000.0);
    EXPECT_NEAR(roundTripLat(p, -18.0, -75), -18.0, 1e-8);
    EXPECT_LT(roundTripLat(p, 72.2, -75), 0.0);

    // Longitudes reduced into (-180, 180]; the zone stays.
    DtUtmReferencePoint w = zonePoint(1, 1);
    double e2, n2;
    w.geod2utm(10 * kDeg, 190 * kDeg, &e, &n);
    w.geod2utm(10 * kDeg, -170 * kDeg, &e2, &n2);
    EXPECT_TRUE(std::fabs(e - e2) < 1e-6 && std::fabs(n - n2) < 1e-6);
    w.geod2utm(10 * kDeg, -180 * kDeg, &e, &n);
    w.geod2utm(10 * kDeg, 180 * kDeg, &e2, &n2);
    EXPECT_TRUE(e == e2 && w.zoneOrigin() == 1);
}

TEST_F(GlobalStateTest, LocalStyleZoneChoiceAndZoneForms)
{
    DtDegMinSec lat{}, lon{};
    lat.setLatFromDegrees(35.3);
    lon.setLonFromDegrees(-121.7);
    DtUtmReferencePoint local(lat, lon, 0, 0, DtWGS84, 0.9996), standard(lat, lon, 1, 0, DtWGS84, 0.9996);
    EXPECT_EQ(local.zoneOrigin(), 10);
    double e, n;
    local.geod2utm(35.3 * kDeg, -121.7 * kDeg, &e, &n);
    EXPECT_TRUE(std::fabs(e) < 1e-6 && std::fabs(n) < 1e-6);
    double el, nl, es, ns, la1, lo1, la2, lo2;   // elsewhere: shifted by the origin, same way back
    local.geod2utm(36.1 * kDeg, -120.9 * kDeg, &el, &nl);
    standard.geod2utm(36.1 * kDeg, -120.9 * kDeg, &es, &ns);
    local.utm2geod(el, nl, &la1, &lo1);
    standard.utm2geod(es, ns, &la2, &lo2);
    EXPECT_TRUE(std::fabs(el + local.xOrigin() + 500000.0 - es) < 1e-6 && std::fabs(la1 - la2) < 1e-13 &&
                std::fabs(lo1 - lo2) < 1e-13 && std::fabs(la1 - 36.1 * kDeg) < 1e-10);

    // A zero zone is fixed by the first conversion, then kept.
    DtUtmReferencePoint p;
    p.init(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 10, DtWGS84);
    p.setZoneOrigin(0);
    p.geod2utm(10 * kDeg, 20 * kDeg, &e, &n);
    EXPECT_EQ(p.zoneOrigin(), 34);
    p.geod2utm(10 * kDeg, -75 * kDeg, &e, &n);
    EXPECT_TRUE(p.zoneOrigin() == 34 && e < 0.0);
    // Zone forms: northing before easting, no offsets.
    long zone = 18;
    p.geod2utm(40.0, -75.0, &zone, &n, &e);
    EXPECT_NEAR(n, 4427757.22, 0.005);
    double latDeg, lonDeg;
    p.utm2geod(n, e, 18, &latDeg, &lonDeg);
    EXPECT_TRUE(std::fabs(latDeg - 40) < 1e-8 && std::fabs(lonDeg + 75) < 1e-8);
}

TEST_F(GlobalStateTest, SettersFudgeFactorAndUninitialize)
{
    DtUtmReferencePoint::setLongitudeFudgeFactor(1.0);
    DtUtmReferencePoint p;
    p.init(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 0, DtWGS84);
    expectDms(p.longRef(), 122, 3, 58, DtWest);
    p.init(DtUtmLatRef1_1, DtDegMinSec{10, 0, 0, DtEast}, 1, 0, DtWGS84);
    expectDms(p.longRef(), 10, 0, 1, DtEast);
    DtUtmReferencePoint::setLongitudeFudgeFactor(0.0);

    p.init(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 0, DtWGS84);
    double e0, n0, e, n;
    p.geod2utm(35 * kDeg, -122 * kDeg, &e0, &n0);
    p.setStandardFalseEasting(0.0);
    p.setStandardFalseNorthing(1.0);
    p.setStandardFalseNorthingCrossover(2.0);
    p.geod2utm(35 * kDeg, -122 * kDeg, &e, &n);
    EXPECT_NEAR(e, e0 - 500000.0, 1e-9);
    p.init(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 0, DtWGS84);   // restores the three
    EXPECT_TRUE(p.standardFalseEasting() == 500000.0 && p.standardFalseNorthing() == 10000000.0 &&
                p.standardFalseNorthingCrossover() == 8000000.0);

    // The scale acts at once; the origin keeps the old scale until useMapDatum.
    const double x0 = p.xOrigin();
    p.setScale(1.0);
    p.geod2utm(35 * kDeg, -122 * kDeg, &e, &n);
    EXPECT_NEAR(n, n0 / 0.9996, 1e-6);
    EXPECT_EQ(p.xOrigin(), x0);
    p.useMapDatum(DtWGS84);
    EXPECT_NEAR(p.xOrigin(), x0 / 0.9996, 1e-6);
    p.init(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 0, DtWGS84);
    EXPECT_EQ(p.scale(), 1.0);   // init keeps the scale

    p.setLatRef(DtDegMinSec{1, 2, 3, DtSouth});
    p.setLongRef(DtDegMinSec{4, 5, 6, DtEast});
    p.useMapDatum(DtED50);
    p.uninitialize();
    EXPECT_TRUE(!p.isInitialized() && p.mapDatum() == DtWGS84 && p.scale() == 0.9996 && p.standardOffsets() == 1 &&
                p.xOrigin() == 0.0 && p.zoneOrigin() == 0 && p.datumSemiMajor() == 0.0 && p.thirdFlattening() == 0.0);
    expectDms(p.latRef(), 0, 0, 0, DtSouth);   // hemisphere codes kept
    expectDms(p.longRef(), 0, 0, 0, DtEast);
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
        ++calls;
    }
    void utm2geod(double northing, double easting, long zone, double* latDeg, double* lonDeg) override
    {
        DtUtmReferencePoint::utm2geod(northing, easting - 1000.0, zone, latDeg, lonDeg);
        ++calls;
    }
    int calls = 0;
};

}  // namespace

TEST_F(GlobalStateTest, RadianFormsGoThroughTheVirtualZoneForms)
{
    ShiftedProjection shifted;
    shifted.init(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 0, DtWGS84);
    EXPECT_EQ(shifted.calls, 1);   // init -> useMapDatum -> initUtm -> zone form
    DtUtmReferencePoint plain;
    plain.init(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 0, DtWGS84);
    EXPECT_NEAR(shifted.xOrigin(), plain.xOrigin() + 1000.0, 1e-9);
    double e1, n1, e2, n2, lat, lon;
    shifted.geod2utm(35 * kDeg, -121 * kDeg, &e1, &n1);
    plain.geod2utm(35 * kDeg, -121 * kDeg, &e2, &n2);
    EXPECT_TRUE(std::fabs(e1 - e2 - 1000.0) < 1e-9 && n1 == n2);
    shifted.utm2geod(e1, n1, &lat, &lon);
    EXPECT_NEAR(lon / kDeg, -121.0, 1e-9);
    EXPECT_EQ(shifted.calls, 3);
}

TEST_F(GlobalStateTest, GlobalPointFollowsTheCurrentDatumAndWarns)
{
    DtUtmInit(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 0);
    DtUtmReferencePoint* global = DtGlobalUtmReferencePoint();
    EXPECT_TRUE(global == DtGlobalUtmReferencePoint() && global->isInitialized() && global->zoneOrigin() == 10);
    DtUseMapDatum(DtED50);
    EXPECT_TRUE(DtCurrentMapDatum() == DtED50 && global->mapDatum() == DtED50 && global->datumSemiMajor() == 6378388.0);
    const double flattening = DtGlobalEllipsoid().flattening();
    DtUseMapDatum(DtED50);   // equal datum: nothing changes
    EXPECT_EQ(DtGlobalEllipsoid().flattening(), flattening);

    double e, n, lat, lon;
    qmtest::Capture warn(DtWarn);
    global->geod2utm(35 * kDeg, -121 * kDeg, &e, &n);
    global->utm2geod(e, n, &lat, &lon);
    EXPECT_EQ(warn.text(), "");
    // The global ellipsoid changed behind the global point's back.
    DtGlobalEllipsoid().useMapDatum(DtWGS84);
    global->geod2utm(35 * kDeg, -121 * kDeg, &e, &n);
    EXPECT_EQ(warn.text(), "This shouldn't happen\n");
    global->utm2geod(e, n, &lat, &lon);
    const std::string inverse = warn.text().substr(22);
    const std::string prefix = "This shouldn't happen libsrc/matrix/utmReferencePoint.cpp ";
    ASSERT_EQ(inverse.compare(0, prefix.size(), prefix), 0) << inverse;
    const std::string line = inverse.substr(prefix.size());
    EXPECT_TRUE(std::stoi(line) > 0 && line.find_first_not_of("0123456789") == line.size() - 1 && line.back() == '\n');
    // A point of its own never warns.
    DtUtmReferencePoint own(DtUtmLatRef1_1, DtUtmLonRef1_1, 1, 0, DtED50, 0.9996);
    own.geod2utm(35 * kDeg, -121 * kDeg, &e, &n);
    EXPECT_EQ(warn.text().find('\n', 22 + prefix.size()), warn.text().size() - 1);
}

TEST_F(GlobalStateTest, UtmCoordinateConversions)
{
    DtUtmReferencePoint p = zonePoint(18, 1, 40);
    const DtGeodeticCoord g = DtUtmCoord(500000.0, 4427757.22, 10.0, &p).geodetic();
    EXPECT_TRUE(std::fabs(g.lat() - 40 * kDeg) < 1e-9 && std::fabs(g.lon() + 75 * kDeg) < 1e-9 && g.alt() == 10.0 &&
                g.ellipsoid() == p.ellipsoid());

    const DtGeodeticCoord start(41 * kDeg, -74 * kDeg, 123.5, p.ellipsoid());
    DtUtmCoord v(&p);
    v = start;
    DtGeodeticCoord back(p.ellipsoid());
    DtUtmToGeod(v, back);
    EXPECT_TRUE(std::fabs(back.lat() - start.lat()) < 1e-10 && std::fabs(back.lon() - start.lon()) < 1e-10 &&
                back.alt() == 123.5 && v.up() == 123.5);
    DtVector64 geocentric;
    DtUtmToGeoc(v, geocentric);
    EXPECT_TRUE(geocentric.approxEq(start.geocentric(), 1e-3));
    DtUtmCoord w(&p);
    DtGeocToUtm(geocentric, w);
    EXPECT_TRUE(static_cast<const DtVector64&>(w).approxEq(v, 1e-3));
    DtUtmReferencePoint other = zonePoint(19, 1);
    DtUtmCoord x(&p);
    x = DtUtmCoord(7, 8, 9, &other);
    x = x;
    EXPECT_TRUE(x.refPoint() == &other && x.east() == 7.0);

    // A datum mismatch warns (in both directions) and converts without a shift.
    const DtReferenceEllipsoid ed50(DtED50);
    const std::string mismatch =
        "The geodetic coord passed to DtUtmCoord::setGeodetic is not using the same reference ellipsoid\n";
    DtUtmCoord z(&p);
    DtGeodeticCoord target(&ed50);
    {
        qmtest::Capture warn(DtWarn);
        z.setGeodetic(DtGeodeticCoord(41 * kDeg, -74 * kDeg, 0, &ed50));
        z.getGeodetic(target);
        EXPECT_EQ(warn.text(), mismatch + mismatch);
    }
    EXPECT_TRUE(z.x() == v.x() && target.mapDatum() == DtED50);

    // An uninitialised reference point: the exception passes, nothing changes.
    DtUtmReferencePoint bare;
    DtUtmCoord q(1, 2, 3, &bare);
    DtGeodeticCoord untouched(0.5, 0.5, 5);
    EXPECT_THROW(q.setGeodetic(start), DtException);
    EXPECT_THROW(q.getGeodetic(untouched), DtException);
    EXPECT_EQ(static_cast<const DtVector64&>(q), DtVector64(1, 2, 3));
    EXPECT_EQ(static_cast<const DtVector64&>(untouched), DtVector64(0.5, 0.5, 5));
}

TEST_F(GlobalStateTest, GridDeclination)
{
    DtUtmReferencePoint p = zonePoint(18, 1);
    const auto declination = [&p](double latDeg, double lonDeg) {
        const DtUtmCoord u(DtGeodeticCoord(latDeg * kDeg, lonDeg * kDeg, 0, p.ellipsoid()), &p);
        EXPECT_EQ(DtUtmGridDeclination(u), u.gridDeclination());
        return u.gridDeclination() / kDeg;
    };
    EXPECT_NEAR(declination(45, -75), 0.0, 1e-9);
    EXPECT_NEAR(declination(45, -72), 2.1224, 1e-4);
    EXPECT_NEAR(declination(45, -78), -2.1224, 1e-4);
    // The coordinate form reads its latitude back through the inverse; with
    // standard offsets a southern northing of 5e6 comes back northern, so the
    // south is measured on a local-style point.
    DtUtmReferencePoint south = zonePoint(18, 0, -45);
    EXPECT_NEAR(DtUtmCoord(DtGeodeticCoord(-45 * kDeg, -72 * kDeg, 0, south.ellipsoid()), &south).gridDeclination() / kDeg,
                -2.1222, 1e-4);

    // The latitude/longitude form uses the global point and its zone; its
    // step starts from the exact latitude, the coordinate form's from one read
    // back with about 1e-10 rad of error, which shows over the 1e-4 rad step.
    DtUtmInit(DtUtmLatRef1_1, DtDegMinSec{75, 0, 0, DtWest}, 1, 18);
    EXPECT_NEAR(DtUtmGridDeclination(45 * kDeg, -72 * kDeg), declination(45, -72) * kDeg, 1e-6);
    EXPECT_NEAR(DtUtmGridDeclination(-45 * kDeg, -72 * kDeg) / kDeg, -2.1222, 1e-4);
    DtGlobalUtmReferencePoint()->uninitialize();
    EXPECT_THROW(DtUtmGridDeclination(45 * kDeg, -72 * kDeg), DtException);

    DtDcm m;
    DtGridDeclinationDcm(0.0, m);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(m[r], DtNedToEnuDcm()[r]);
    DtGridDeclinationDcm(3.141592653589793 / 2, m);
    EXPECT_TRUE(m[0].approxEq(DtVector64(-1, 0, 0), 1e-16) && m[1].approxEq(DtVector64(0, 1, 0), 1e-16));
}
