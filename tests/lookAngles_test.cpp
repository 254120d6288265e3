// What an observer sees: the look angles against the library's own
// north-east-down transform, round trips through the exact geodetic
// conversion, lines of sight with known answers, and clearance against dense
// sampling of the segment.
#include "testSupport.h"

using namespace Vorant;
using qmtest::kPi;

namespace {

DtVector64 geocentricOf(double lat, double lon, double h, const DtMapDatum& datum = DtWGS84)
{
    DtVector64 out;
    DtReferenceEllipsoid(datum).geodeticToGeocentric(DtVector64(lat, lon, h), out);
    return out;
}

}  // namespace

TEST_F(GlobalStateTest, LookAnglesAgreeWithTheFrameAndComeBack)
{
    std::mt19937_64 draw(24);
    std::uniform_real_distribution<double> u(-1, 1);
    DtGlobalEllipsoid().useMapDatum(DtCONUSNAD27);   // a datum with a shift
    double worstFrame = 0, worstBack = 0, worstAngles = 0;
    for (int i = 0; i < 3000; ++i) {
        const double lat0 = i % 50 == 0 ? kPi / 2 * (i % 100 ? 1 : -1) : u(draw) * 1.5, lon0 = u(draw) * kPi,
                     h0 = 2000 * u(draw);
        const DtObserver observer(lat0, lon0, h0);
        DtCoordTransform frame;
        DtGeocToTopoTransform(lat0, lon0, &frame);
        const double lat = u(draw) * 1.5, lon = u(draw) * kPi, h = 1e6 * (1 + u(draw));
        const DtVector64 target = geocentricOf(lat, lon, h, DtCONUSNAD27);
        DtVector64 ned;
        frame.coordTrans(target, ned);
        // The frame's origin is on the surface, the observer at height h0 along the down axis.
        const DtVector64 ours = observer.toNed(target);
        worstFrame = std::max({worstFrame, std::fabs(ours[0] - ned[0]), std::fabs(ours[1] - ned[1]),
                               std::fabs(ours[2] - (ned[2] + h0))});
        const DtLookAngles look = observer.lookAt(lat, lon, h);
        EXPECT_TRUE(look.azimuth >= 0 && look.azimuth < 2 * kPi && std::fabs(look.elevation) <= kPi / 2);
        const DtVector64 back = observer.geodeticAt(look);
        worstBack = std::max({worstBack, std::fabs(back[0] - lat) * 6.4e6, std::fabs(back[1] - lon) * 6.4e6,
                              std::fabs(back[2] - h)});
        const DtLookAngles again = DtNedToLookAngles(DtLookAnglesToNed(look));
        worstAngles = std::max({worstAngles, std::fabs(again.azimuth - look.azimuth),
                                std::fabs(again.elevation - look.elevation), std::fabs(again.range / look.range - 1)});
        const DtVector64 enu = DtLookAnglesToEnu(look), nedBack = DtLookAnglesToNed(look);
        EXPECT_TRUE(enu[0] == nedBack[1] && enu[1] == nedBack[0] && enu[2] == -nedBack[2]);
    }
    EXPECT_LT(worstFrame, 5e-8);    // metres, targets up to 2,000 km away
    EXPECT_LT(worstBack, 5e-8);     // metres
    EXPECT_LT(worstAngles, 1e-14);
    // Known directions from an observer on the equator at longitude 0.
    const DtObserver o(0, 0, 0, DtWGS84);
    const DtLookAngles north = o.lookAt(DtVector64(6378137, 0, 1000)), east = o.lookAt(DtVector64(6378137, 500, 0)),
                       west = o.lookAt(DtVector64(6378137, -500, 0)), up = o.lookAt(DtVector64(6378137 + 700, 0, 0)),
                       here = o.lookAt(o.geocentric());
    EXPECT_TRUE(north.azimuth == 0 && north.elevation == 0 && north.range == 1000);
    EXPECT_TRUE(east.azimuth == kPi / 2 && west.azimuth == 3 * kPi / 2 && east.range == 500);
    EXPECT_TRUE(up.elevation == kPi / 2 && up.azimuth == 0 && up.range == 700);
    EXPECT_TRUE(here.azimuth == 0 && here.elevation == 0 && here.range == 0 && !std::signbit(here.azimuth));
    EXPECT_EQ(DtNedToLookAngles(DtVector64(1, -1e-300, 0)).azimuth, 0.0);   // never 2 pi
    EXPECT_EQ(DtEnuToLookAngles(DtVector64(0, 0, -5)).elevation, -kPi / 2);
    const DtVector64 offset = o.fromNed(DtVector64(3, 4, -5));
    EXPECT_TRUE(offset[0] == 6378137 + 5 && offset[1] == 4 && offset[2] == 3);
    // On a much flatter ellipsoid (its own radius of curvature, not the earth's series): a geodetic
    // target as its geocentric position.
    const DtMapDatum flat(DtSpheroid{6378137, 6378137 * (1 - 1 / 50.0)}, 0, 0, 0);
    const DtObserver high(0.6, 0.2, 500, flat);
    for (const double lat : {-1.2, 0.1, 0.9}) {
        const DtLookAngles a = high.lookAt(lat, 0.4, 3000), b = high.lookAt(geocentricOf(lat, 0.4, 3000, flat));
        EXPECT_TRUE(std::fabs(a.azimuth - b.azimuth) < 1e-14 && std::fabs(a.elevation - b.elevation) < 1e-14 &&
                    std::fabs(a.range - b.range) < 1e-8)
            << lat << " " << a.range - b.range;
    }
}

TEST(LookAnglesTest, ExactGeodeticFromTheCentreToTheMoon)
{
    std::mt19937_64 draw(5);
    std::uniform_real_distribution<double> u(-1, 1);
    double worstNear = 0, worstFar = 0;
    for (int i = 0; i < 20000; ++i) {
        const double lat = u(draw) * kPi / 2, lon = u(draw) * kPi,
                     h = i % 4 == 0   ? 1e4 * u(draw)
                         : i % 4 == 1 ? -3e6 * std::fabs(u(draw))
                                      : std::pow(10.0, 4 + 2.3 * (1 + u(draw)));
        const DtVector64 g = DtGeocentricToGeodeticExact(geocentricOf(lat, lon, h, DtED50), DtED50);
        const double r = 6.4e6 + std::fabs(h),
                     error = std::max({std::fabs(g[0] - lat) * r, std::fabs(g[1] - lon) * std::cos(lat) * r,
                                       std::fabs(g[2] - h)});
        (i % 4 == 0 ? worstNear : worstFar) = std::max(i % 4 == 0 ? worstNear : worstFar, i % 4 == 0 ? error : error / r);
    }
    EXPECT_LT(worstNear, 5e-9);    // metres, within 10 km of the surface
    EXPECT_LT(worstFar, 1e-15);    // of the distance from the centre, 3,000 km below to 4e8 m above
    // Inside the evolute (within a e^2 of the centre) the foot point is one of several, but the
    // position it gives is the point's own.
    for (const DtVector64& inside : {DtVector64(20000, 5000, 3000), DtVector64(-1000, 0, -40000), DtVector64(30000, 0, 0)}) {
        const DtVector64 g = DtGeocentricToGeodeticExact(inside, DtWGS84), back = geocentricOf(g[0], g[1], g[2]);
        EXPECT_LT(std::hypot(std::hypot(back[0] - inside[0], back[1] - inside[1]), back[2] - inside[2]), 1e-6);
    }
    const DtVector64 centre = DtGeocentricToGeodeticExact(DtVector64(0, 0, 0), DtWGS84);
    EXPECT_TRUE(centre[0] == kPi / 2 && centre[2] == -DtWGS84.spheroid.semiMinorAxis);
    const DtVector64 pole = DtGeocentricToGeodeticExact(DtVector64(0, 0, -7e6), DtWGS84);
    EXPECT_TRUE(pole[0] == -kPi / 2 && std::fabs(pole[2] - (7e6 - DtWGS84.spheroid.semiMinorAxis)) < 1e-9);
    // Bad input is refused with the reason.
    const char bad[] = "Invalid position: a latitude beyond +/-pi/2 or a value that is not finite";
    qmtest::expectThrows([] { DtObserver(1.6, 0, 0); }, bad,
                         "Vorant::DtObserver::DtObserver(double, double, double, const Vorant::DtMapDatum&)",
                         "lookAngles.cpp");
    const DtObserver o(0.5, 0.5, 10, DtWGS84);
    qmtest::expectThrows([&] { o.lookAt(0, std::nan(""), 0); }, bad,
                         "Vorant::DtLookAngles Vorant::DtObserver::lookAt(double, double, double) const",
                         "lookAngles.cpp");
    qmtest::expectThrows([&] { o.clearance(DtVector64(INFINITY, 0, 0)); }, bad,
                         "Vorant::DtClearance Vorant::DtObserver::clearance(const Vorant::DtVector64&, double) const",
                         "lookAngles.cpp");
    EXPECT_EQ(DtLookAnglesToNed(DtLookAngles{0, 0, 0.5}), DtVector64(0.5, 0, 0));
    qmtest::expectThrows([] { DtLookAnglesToNed(DtLookAngles{0, 0, -1}); },
                         "Invalid look angles: a negative range or a value that is not finite",
                         "Vorant::DtVector64 Vorant::DtLookAnglesToNed(const Vorant::DtLookAngles&)", "lookAngles.cpp");
    qmtest::expectThrows([&] { o.lineOfSight(DtVector64(0, 0, 0)); },
                         "Invalid line of sight: a direction of no length, a height at or below -b, or a value that "
                         "is not finite",
                         "Vorant::DtSightPoint Vorant::DtObserver::lineOfSight(const Vorant::DtVector64&, double) const",
                         "lookAngles.cpp");
}

TEST(LookAnglesTest, LinesOfSightMeetTheSurfaceAskedFor)
{
    const double lat = 0.7, lon = -1.2;
    const DtObserver plane(lat, lon, 9000, DtWGS84), diver(lat, lon, -100, DtWGS84);
    // Straight down along the normal: the point under the observer.
    const DtSightPoint below = plane.lineOfSight(0.3, -kPi / 2);
    EXPECT_TRUE(below.hit && std::fabs(below.range - 9000) < 1e-8 && std::fabs(below.lat - lat) < 1e-15 &&
                std::fabs(below.lon - lon) < 1e-15 && below.h == 0);
    const DtSightPoint raised = plane.lineOfSight(0.3, -kPi / 2, 2500.5);
    EXPECT_TRUE(raised.hit && std::fabs(raised.range - 6499.5) < 1e-8);
    // On a datum with a shift: straight down is still the point below, and the geocentric point
    // is the geodetic one's, shift included.
    const DtObserver shiftedPlane(lat, lon, 9000, DtCONUSNAD27);
    const DtSightPoint under = shiftedPlane.lineOfSight(0.3, -kPi / 2), shifted = shiftedPlane.lineOfSight(0.3, -1.0);
    EXPECT_TRUE(std::fabs(under.range - 9000) < 1e-8 && std::fabs(under.lat - lat) < 1e-15 && std::fabs(under.lon - lon) < 1e-15);
    const DtVector64 expected = geocentricOf(shifted.lat, shifted.lon, 0, DtCONUSNAD27);
    EXPECT_TRUE(shifted.hit && (shifted.geocentric - expected).magnitudeSquared() < 1e-16);
    // Up, level, and just above the dip of the horizon miss; just below it hits, far away.
    EXPECT_FALSE(plane.lineOfSight(1, kPi / 2).hit || plane.lineOfSight(1, 0).hit);
    const double dip = std::acos(6378137 / (6378137 + 9000.0));   // on a sphere: about 3 degrees
    EXPECT_FALSE(plane.lineOfSight(1, -dip + 0.01).hit);
    std::mt19937_64 draw(3);
    std::uniform_real_distribution<double> u(0, 1);
    for (int i = 0; i < 2000; ++i) {
        const double height = i % 2 ? 0.0 : 3000 * u(draw) - 500;
        const DtSightPoint p = plane.lineOfSight(2 * kPi * u(draw), -dip - 0.2 * u(draw) - 0.003, height);
        ASSERT_TRUE(p.hit);
        const DtVector64 g = DtGeocentricToGeodeticExact(p.geocentric, DtWGS84);
        EXPECT_NEAR(g[2], height, 1e-8);
        EXPECT_TRUE(std::fabs(g[0] - p.lat) < 1e-15 && std::fabs(g[1] - p.lon) < 1e-15);
        const DtVector64 d = p.geocentric - plane.geocentric();
        EXPECT_NEAR(std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]), p.range, 1e-7);
        EXPECT_LT(p.range, 2 * 6.4e6);
    }
    // From inside: up leaves after the depth, down leaves on the far side of the earth.
    const DtSightPoint up = diver.lineOfSight(0, kPi / 2), down = diver.lineOfSight(0, -kPi / 2);
    EXPECT_TRUE(up.hit && std::fabs(up.range - 100) < 1e-8);
    EXPECT_TRUE(down.hit && down.range > 1.2e7 && down.range < 1.28e7);
}

TEST(LookAnglesTest, ClearanceIsTheLowestPointOfTheSegment)
{
    const DtReferenceEllipsoid wgs84(DtWGS84);
    auto heightAt = [&](const DtVector64& a, const DtVector64& b, double f) {
        return DtGeocentricToGeodeticExact(a + DtVector64((b[0] - a[0]) * f, (b[1] - a[1]) * f, (b[2] - a[2]) * f),
                                           DtWGS84)[2];
    };
    std::mt19937_64 draw(8);
    std::uniform_real_distribution<double> u(-1, 1);
    int visible = 0, hidden = 0;
    for (int i = 0; i < 200; ++i) {
        const double lat = u(draw) * 1.4, lon = u(draw) * kPi;
        const DtObserver radar(lat, lon, 200 + 50 * u(draw), DtWGS84);
        const double tlat = lat + 0.05 * u(draw), tlon = lon + 0.05 * u(draw), th = 5000 + 5000 * u(draw);
        const DtClearance c = radar.clearance(tlat, tlon, th, 100);
        DtVector64 target;
        wgs84.geodeticToGeocentric(DtVector64(tlat, tlon, th), target);
        double sampled = 1e300, at = 0;
        for (int k = 0; k <= 4000; ++k) {
            const double h = heightAt(radar.geocentric(), target, k / 4000.0);
            if (h < sampled) {
                sampled = h;
                at = k / 4000.0;
            }
        }
        EXPECT_TRUE(c.lowestHeight <= sampled + 1e-9 && c.lowestHeight > sampled - 0.05) << c.lowestHeight << " " << sampled;
        EXPECT_NEAR(c.lowestAt, at, 3e-4);
        EXPECT_EQ(c.visible, c.lowestHeight >= 100);
        (c.visible ? visible : hidden)++;
    }
    EXPECT_TRUE(visible > 20 && hidden > 20) << visible << " visible, hidden " << hidden;
    // Rising from the observer: the lowest point is the observer; descending to a lower target: the target.
    const DtObserver hill(0.3, 0.3, 500, DtWGS84);
    const DtClearance rising = hill.clearance(0.3001, 0.3, 5000), falling = hill.clearance(0.3001, 0.3, 20);
    EXPECT_TRUE(rising.lowestAt == 0 && rising.lowestHeight == DtGeocentricToGeodeticExact(hill.geocentric(), DtWGS84)[2]);
    EXPECT_TRUE(falling.lowestAt == 1 && std::fabs(falling.lowestHeight - 20) < 1e-8 && falling.visible);
    EXPECT_FALSE(hill.clearance(0.3001, 0.3, 20, 21).visible);
    EXPECT_TRUE(hill.clearance(0.3001, 0.3, 5000, rising.lowestHeight).visible);   // exactly at the height asked
    EXPECT_EQ(hill.clearance(hill.geocentric()).lowestAt, 0.0);   // to itself: the observer
}

TEST(LookAnglesTest, ManyElementCallsGiveEachSingleCallsBits)
{
    std::mt19937_64 draw(31);
    std::uniform_real_distribution<double> u(-1, 1);
    const DtObserver o(0.7, -1.2, 350, DtCONUSNAD27);   // a datum with a shift
    constexpr std::size_t n = 201;   // pairs and one left over
    std::vector<double> lat(n), lon(n), h(n), az(n), el(n);
    std::vector<DtLookAngles> look(n);
    for (std::size_t i = 0; i < n; ++i) {
        lat[i] = u(draw) * 1.5, lon[i] = u(draw) * 4, h[i] = 4e5 * u(draw);
        az[i] = u(draw) * 7, el[i] = u(draw) * 1.6;
        look[i] = DtLookAngles{u(draw) * 7, u(draw) * 1.6, 3e6 * std::fabs(u(draw))};
    }
    // Elements the single calls refuse (each with a neighbour that is fine).
    const double nan = std::nan("");
    lat[3] = 1.6, lon[8] = nan, h[9] = INFINITY, look[5].range = -1, look[6].azimuth = nan, look[13].range = 0.25, az[7] = nan, el[8] = -INFINITY;
    lon[11] = 2e5;   // beyond the inline sine's reduction, beside one within it
    std::vector<DtLookAngles> angles(n), fromGeocentric(n);
    std::vector<DtVector64> targets(n), geocentric(n);
    for (std::size_t i = 0; i < n; ++i)
        geocentric[i] = DtVector64(3e6 * u(draw), 7e6 * u(draw), 6.4e6 * u(draw));
    geocentric[4][1] = nan, geocentric[12] = o.geocentric();   // not a number; the observer itself
    o.lookAt(n, geocentric.data(), fromGeocentric.data());
    std::vector<DtSightPoint> sights(n), raised(n), refused(n);
    o.lookAt(n, lat.data(), lon.data(), h.data(), angles.data());
    o.geodeticAt(n, look.data(), targets.data());
    o.lineOfSight(n, az.data(), el.data(), 0.0, sights.data());
    o.lineOfSight(n, az.data(), el.data(), 2500.0, raised.data());
    o.lineOfSight(n, az.data(), el.data(), -7e6, refused.data());   // below the centre: every one refused
    const auto same = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    const auto sameSight = [&](const DtSightPoint& a, const DtSightPoint& b) {
        return a.hit == b.hit && same(a.lat, b.lat) && same(a.lon, b.lon) && same(a.h, b.h) && same(a.range, b.range) &&
               same(a.geocentric[0], b.geocentric[0]) && same(a.geocentric[2], b.geocentric[2]);
    };
    // An even count: its last element is the long call's, and nothing is written past it.
    DtLookAngles evenLook[3] = {{}, {}, {7, 7, 7}}, evenToPoint[3] = {{}, {}, {7, 7, 7}};
    DtVector64 evenTarget[3] = {{}, {}, DtVector64(7, 7, 7)};
    DtSightPoint evenSight[3] = {};
    evenSight[2].range = 7;
    o.lookAt(2, geocentric.data(), evenToPoint), o.lookAt(2, lat.data(), lon.data(), h.data(), evenLook);
    o.geodeticAt(2, look.data(), evenTarget), o.lineOfSight(2, az.data(), el.data(), 0.0, evenSight);
    EXPECT_TRUE(evenLook[2].range == 7 && evenToPoint[2].range == 7 && evenTarget[2] == DtVector64(7, 7, 7) &&
                evenSight[2].range == 7);
    EXPECT_TRUE(same(evenLook[1].range, angles[1].range) && same(evenToPoint[1].range, fromGeocentric[1].range) &&
                same(evenTarget[1][2], targets[1][2]) && sameSight(evenSight[1], sights[1]));
    int refusedLook = 0, refusedTarget = 0, refusedSight = 0;
    for (std::size_t i = 0; i < n; ++i) {
        try {
            const DtLookAngles one = o.lookAt(lat[i], lon[i], h[i]);
            EXPECT_TRUE(same(one.azimuth, angles[i].azimuth) && same(one.elevation, angles[i].elevation) &&
                        same(one.range, angles[i].range)) << i;
        } catch (const DtException&) {
            ++refusedLook;
            EXPECT_TRUE(std::isnan(angles[i].azimuth) && std::isnan(angles[i].elevation) && std::isnan(angles[i].range));
        }
        const DtLookAngles toPoint = o.lookAt(geocentric[i]);
        EXPECT_TRUE(same(toPoint.azimuth, fromGeocentric[i].azimuth) &&
                    same(toPoint.elevation, fromGeocentric[i].elevation) && same(toPoint.range, fromGeocentric[i].range))
            << i;
        try {
            const DtVector64 one = o.geodeticAt(look[i]);
            EXPECT_TRUE(same(one[0], targets[i][0]) && same(one[1], targets[i][1]) && same(one[2], targets[i][2])) << i;
        } catch (const DtException&) {
            ++refusedTarget;
            EXPECT_TRUE(std::isnan(targets[i][0]) && std::isnan(targets[i][1]) && std::isnan(targets[i][2]));
        }
        try {
            EXPECT_TRUE(sameSight(o.lineOfSight(az[i], el[i]), sights[i])) << i;
            EXPECT_TRUE(sameSight(o.lineOfSight(az[i], el[i], 2500.0), raised[i])) << i;
        } catch (const DtException&) {
            ++refusedSight;
            EXPECT_TRUE(!sights[i].hit && std::isnan(sights[i].range) && !raised[i].hit && std::isnan(raised[i].lat));
        }
        EXPECT_TRUE(!refused[i].hit && std::isnan(refused[i].lat) && std::isnan(refused[i].range));
    }
    EXPECT_EQ(refusedLook, 3);
    EXPECT_EQ(refusedTarget, 2);
    EXPECT_EQ(refusedSight, 2);
}
