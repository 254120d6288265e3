// Geodesics: truths that need no peer (symmetry, exact fractions of the
// ellipsoid, the published quarter meridian), lines and waypoints, and bad input.
#include "fastTrig.h"
#include "testSupport.h"

#include <cstring>
#include <random>

using namespace Vorant;
using qmtest::kPi;
using qmtest::Stream;

TEST(GeodesicTest, SymmetriesAndKnownLengths)
{
    const double d = kPi / 180;
    const DtGeodesic wgs84(6378137, 1 / 298.257223563), sphere(6371000, 0), prolate(6378137, -1 / 150.0);
    EXPECT_NEAR(wgs84.inverse(0, 0, 90 * d, 0).s12, 10001965.729, 1e-3);   // the quarter meridian
    EXPECT_NEAR(wgs84.inverse(0, 0, 0, 90 * d).s12, 6378137 * kPi / 2, 1e-6);
    EXPECT_NEAR(wgs84.inverse(0, 0, 90 * d, 0).a12, kPi / 2, 1e-15);   // a meridian's arc
    // Tiny latitudes are rounded to the equator (the same bits), not followed into the iteration.
    EXPECT_EQ(wgs84.inverse(1e-22, 0, 0, 1.7).s12, wgs84.inverse(0, 0, 0, 1.7).s12);
    // On a prolate ellipsoid nearly antipodal points are closer round the equator than over a pole.
    EXPECT_NEAR(prolate.inverse(0.1 * d, 0, -0.1 * d, kPi).s12, 20037508.3, 50);
    // A line of 6 cm (solved without iterating): the reduced length is the distance to 1e-8.
    const DtGeodesicResult shortLine = wgs84.inverse(60 * d, 10 * d, 60.0000005 * d, 10.0000005 * d, DtGeodesic::All);
    EXPECT_TRUE(std::fabs(shortLine.m12 / shortLine.s12 - 1) < 1e-8 && shortLine.s12 > 0.05);
    // ... and its length is the one the direct problem walks to the same point.
    const DtGeodesicResult walked = wgs84.direct(60 * d, 10 * d, shortLine.azi1, shortLine.s12);
    EXPECT_TRUE(std::fabs(walked.lat2 - 60.0000005 * d) < 1e-15 && std::fabs(walked.lon2 - 10.0000005 * d) < 1e-15);
    EXPECT_NEAR(sphere.inverse(10 * d, 20 * d, -30 * d, 100 * d).a12 * 6371000, sphere.inverse(10 * d, 20 * d, -30 * d, 100 * d).s12, 1e-6);
    // A flattening beyond 0.01 (where the line's position takes a Newton step): the direct problem
    // from the inverse one's azimuth reaches the end.
    const DtGeodesic flat(6378137, 1 / 50.0);
    for (const auto& p : {std::array<double, 4>{10, 20, -40, 150}, {-60, -170, 70, 100}, {0.5, 0, -0.3, 179}}) {
        const DtGeodesicResult r = flat.inverse(p[0] * d, p[1] * d, p[2] * d, p[3] * d);
        const DtGeodesicResult e = flat.line(p[0] * d, p[1] * d, r.azi1).position(r.s12);
        EXPECT_TRUE(std::fabs(e.lat2 - p[2] * d) < 1e-13 && std::fabs(std::remainder(e.lon2 - p[3] * d, 2 * kPi)) < 1e-13)
            << p[0] << " " << e.lat2 / d << " " << e.lon2 / d;
    }
    // Due east along the equator: the latitude stays +0 (no -0 from the cosine of 90 degrees).
    const DtGeodesicResult east = wgs84.direct(0, 0, kPi / 2, 1e6);
    EXPECT_TRUE(east.lat2 == 0 && !std::signbit(east.lat2) && east.azi2 == kPi / 2);
    // A polygon across the antimeridian, either way round: the area of the same polygon moved
    // by 180 degrees of longitude.
    for (const double sense : {1.0, -1.0}) {
        DtGeodesicPolygon across(wgs84), moved(wgs84);
        for (const auto& v : {std::pair<double, double>{10, 170}, {20, -170}, {-15, -175}}) {
            across.add(v.first * d, sense * v.second * d);
            moved.add(v.first * d, (sense * v.second + 180) * d);
        }
        double area, perimeter, areaMoved, perimeterMoved;
        across.compute(area, perimeter);
        moved.compute(areaMoved, perimeterMoved);
        EXPECT_TRUE(std::fabs(area - areaMoved) < 1e-12 * std::fabs(area) && sense * area < 0) << area << " " << areaMoved;
    }
    // Round a pole (an odd number of meridian crossings), either way: the cap, its sign the sense.
    DtGeodesicPolygon eastward(wgs84), westward(wgs84);
    for (int i = 0; i < 4; ++i) {
        eastward.add(80 * d, (i * 90 - 180) * d);
        westward.add(80 * d, (180 - i * 90) * d);
    }
    double capEast, capWest, pEast, pWest;
    eastward.compute(capEast, pEast);
    westward.compute(capWest, pWest);
    EXPECT_TRUE(capEast > 0 && capEast < 0.02 * wgs84.ellipsoidArea() && std::fabs(capEast + capWest) < 1e-3 &&
                pEast == pWest) << capEast << " " << capWest;
    // An octant's triangle is an eighth of the ellipsoid, whichever way round.
    for (const DtGeodesic* g : {&wgs84, &prolate}) {
        DtGeodesicPolygon octant(*g), reversed(*g);
        for (const auto& v : {std::pair<double, double>{0, 0}, {0, 90}, {90, 0}}) {
            octant.add(v.first * d, v.second * d);
        }
        for (const auto& v : {std::pair<double, double>{90, 0}, {0, 90}, {0, 0}})
            reversed.add(v.first * d, v.second * d);
        double area, perimeter, back, perimeterBack;
        octant.compute(area, perimeter);
        reversed.compute(back, perimeterBack);
        EXPECT_NEAR(area, g->ellipsoidArea() / 8, 1e-3 * g->ellipsoidArea() * 1e-12);
        EXPECT_TRUE(back == -area && perimeterBack == perimeter && octant.count() == 3);
        octant.clear();
        double cleared, clearedPerimeter;
        octant.compute(cleared, clearedPerimeter);
        EXPECT_TRUE(cleared == 0 && clearedPerimeter == 0 && octant.count() == 0);
        for (const auto& v : {std::pair<double, double>{0, 0}, {0, 90}, {90, 0}})   // cleared, as new
            octant.add(v.first * d, v.second * d);
        octant.compute(cleared, clearedPerimeter);
        EXPECT_TRUE(cleared == area && clearedPerimeter == perimeter);
    }
    // The equator bounds half the ellipsoid either way round: +half, never -half.
    for (const double turn : {120.0, -120.0}) {
        DtGeodesicPolygon equator(wgs84);
        for (int k = 0; k < 3; ++k)
            equator.add(0, k * turn * d);
        double area, perimeter;
        equator.compute(area, perimeter);
        EXPECT_EQ(area, wgs84.ellipsoidArea() / 2) << turn;
    }
    Stream draws(41), equatorDraws(47);
    for (int i = 0; i < 2000; ++i) {
        const double la1 = draws.uniform(-90, 90) * d, lo1 = draws.uniform(-180, 180) * d,
                     la2 = draws.uniform(-90, 90) * d, lo2 = draws.uniform(-180, 180) * d;
        const DtGeodesicResult there = wgs84.inverse(la1, lo1, la2, lo2, DtGeodesic::All),
                               back = wgs84.inverse(la2, lo2, la1, lo1, DtGeodesic::All);
        // The same geodesic backwards: the azimuths turn round, the scales swap, the area changes sign.
        ASSERT_NEAR(there.s12, back.s12, 1e-8);
        ASSERT_NEAR(std::remainder(there.azi1 - back.azi2 - kPi, 2 * kPi), 0, 1e-11) << i;
        ASSERT_TRUE(std::fabs(there.M12 - back.M21) < 1e-14 && std::fabs(there.m12 - back.m12) < 1e-8);
        ASSERT_NEAR(there.S12, -back.S12, 1e-3);
        // Mirrored in the equator and in the meridian 0: the same length.
        ASSERT_NEAR(wgs84.inverse(-la1, -lo1, -la2, -lo2).s12, there.s12, 1e-8);
        // A line's positions: at the end, the point; halfway, halfway by both ways of measuring.
        const DtGeodesicLine line = wgs84.inverseLine(la1, lo1, la2, lo2, DtGeodesic::All);
        const DtGeodesicResult end = line.position(line.distance()), mid = line.arcPosition(there.a12 / 2);
        ASSERT_TRUE((std::fabs(end.lat2 - la2) < 1e-14 && std::fabs(std::remainder(end.lon2 - lo2, 2 * kPi)) < 1e-13) ||
                    std::fabs(std::fabs(la2) - kPi / 2) < 1e-7) << i;
        ASSERT_TRUE(std::fabs(end.m12 - there.m12) < 1e-7 && std::fabs(end.M12 - there.M12) < 1e-13 &&
                    std::fabs(end.M21 - there.M21) < 1e-13) << i;
        ASSERT_NEAR(std::remainder(end.azi1 - there.azi1, 2 * kPi), 0, 1e-13);   // the line starts the same way
        ASSERT_NEAR(end.S12, there.S12, 1e-9 * std::fabs(there.S12) + 1);
        ASSERT_NEAR(wgs84.inverse(la1, lo1, mid.lat2, mid.lon2).s12, mid.s12, 1e-7);
        ASSERT_NEAR(line.arcPosition(there.a12).s12, there.s12, 1e-7);
        // The direct problem's line from the start and the inverse's azimuth reaches the end.
        const DtGeodesicResult ahead = wgs84.line(la1, lo1, there.azi1).position(there.s12);
        ASSERT_TRUE((std::fabs(ahead.lat2 - la2) < 1e-13 && std::fabs(std::remainder(ahead.lon2 - lo2, 2 * kPi)) < 1e-12) ||
                    std::fabs(std::fabs(la2) - kPi / 2) < 1e-7) << i;
        // Along the equator (a case of its own in the inverse problem): the line agrees.
        const double lon = equatorDraws.uniform(-179, 179) * d;
        const DtGeodesicResult equator = wgs84.inverse(0, 0, 0, lon, DtGeodesic::All);
        const DtGeodesicResult equatorEnd = wgs84.inverseLine(0, 0, 0, lon, DtGeodesic::All).position(equator.s12);
        ASSERT_TRUE(std::fabs(equator.m12 - equatorEnd.m12) < 1e-7 && std::fabs(equator.M12 - equatorEnd.M12) < 1e-14 &&
                    std::fabs(equator.a12 - std::fabs(lon) / (1 - 1 / 298.257223563)) < 1e-14) << lon;
    }
}

// Newton's method starts from a guess good enough that it takes few steps,
// nearly antipodal points included, on oblate and prolate ellipsoids
// (counted: a poorer start costs steps, not accuracy).
TEST(GeodesicTest, NewtonStartsNearTheAnswer)
{
    const double d = kPi / 180;
    Stream draws(43);
    // Measured: 3.54 and 3.58 steps a problem on average, 6 at most (oblate);
    // 3.63 and 4.05, 6 at most (prolate); 2.94 and 2.98 for mirror latitudes.
    const struct
    {
        double f;
        int total, totalAntipodal, totalMirrored;
    } cases[] = {{1 / 298.257223563, 18200, 18400, 14900}, {-1 / 150.0, 18700, 20800, 15100}};
    for (const auto& c : cases) {
        const DtGeodesic g(6378137, c.f);
        int worst = 0, total = 0, totalAntipodal = 0, totalMirrored = 0;
        for (int i = 0; i < 5000; ++i) {
            const int steps =
                g.inverse(draws.uniform(-90, 90) * d, 0, draws.uniform(-90, 90) * d, draws.uniform(-180, 180) * d)
                    .iterations;
            const double lat = draws.uniform(-89.4, 89.4);
            const int antipodal = g.inverse(lat * d, 0, (draws.uniform(-0.5, 0.5) - lat) * d,
                                            (180 - std::fabs(draws.uniform(-1, 1))) * d)
                                      .iterations;
            // Mirror latitudes a little short of antipodal: the astroid's edge.
            const int mirrored = g.inverse(lat * d, 0, -lat * d, (180 - std::fabs(draws.uniform(-1, 1))) * d).iterations;
            worst = std::max({worst, steps, antipodal, mirrored});
            total += steps;
            totalAntipodal += antipodal;
            totalMirrored += mirrored;
        }
        EXPECT_TRUE(worst <= 7 && total <= c.total && totalAntipodal <= c.totalAntipodal && totalMirrored <= c.totalMirrored)
            << c.f << ": " << worst << " " << total << " " << totalAntipodal << " " << totalMirrored;
    }
    EXPECT_EQ(DtGeodesic(DtWGS84).direct(0, 0, 1, 1e6).iterations, 0);
}

TEST(GeodesicTest, RoutesCoincidentPointsAndBadInput)
{
    const double d = kPi / 180;
    const DtGeodesic g(DtWGS84);
    EXPECT_EQ(g.semiMajorAxis(), 6378137.0);
    EXPECT_NEAR(g.flattening(), 1 / 298.257223563, 1e-11);   // (the datum rounds the semi-minor axis)
    // A route of waypoints, Frankfurt to Singapore: equal legs, from one end to the other.
    const DtGeodesicLine route = g.inverseLine(50.0379 * d, 8.5622 * d, 1.3644 * d, 103.9915 * d);
    DtGeodesicResult points[11];
    route.waypoints(route.distance(), 11, points);
    for (int i = 1; i < 11; ++i)
        EXPECT_NEAR(g.inverse(points[i - 1].lat2, points[i - 1].lon2, points[i].lat2, points[i].lon2).s12,
                    route.distance() / 10, 1e-7);
    EXPECT_TRUE(points[0].s12 == 0 && std::fabs(points[10].lat2 - 1.3644 * d) < 1e-14);
    // Negative distances go back, more than a circumference goes round.
    const DtGeodesicResult ahead = g.direct(10 * d, 20 * d, 30 * d, 5e6), behind = g.direct(10 * d, 20 * d, 210 * d, -5e6);
    EXPECT_TRUE(std::fabs(ahead.lat2 - behind.lat2) < 1e-14 && std::fabs(ahead.lon2 - behind.lon2) < 1e-14);
    const DtGeodesicResult round = g.direct(0, 0, kPi / 2, 2 * kPi * 6378137 + 1000);
    EXPECT_NEAR(round.lon2, 1000 / 6378137.0, 1e-12);
    // Coincident points: no distance, defined azimuths; the poles converge.
    const DtGeodesicResult same = g.inverse(0.3, 0.2, 0.3, 0.2);
    EXPECT_TRUE(same.s12 == 0 && std::isfinite(same.azi1) && same.azi1 == same.azi2);
    // A hair apart on a meridian (a few ulps of latitude): not coincident.
    const double lat = 0.3, hair = std::nextafter(std::nextafter(lat, 1.0), 1.0);
    EXPECT_NEAR(g.inverse(lat, 0.2, hair, 0.2).s12, (hair - lat) * 6.36e6, 0.01 * (hair - lat) * 6.36e6);
    EXPECT_NEAR(g.inverse(kPi / 2, 0, -kPi / 2, 1.0).s12, 2 * 10001965.729, 2e-3);
    // Beyond the poles or not finite: the library's exception, never a loop or a crash.
    const char bad[] = "Invalid geodesic input: a latitude beyond +/-pi/2 or a value that is not finite";
    qmtest::expectThrows([&] { g.inverse(0, 0, 1.6, 0); }, bad,
                         "Vorant::DtGeodesicResult Vorant::DtGeodesic::inverse(double, double, double, double, unsigned int) const",
                         "geodesic.cpp");
    qmtest::expectThrows([&] { g.direct(0, 0, 0, std::nan("")); }, bad,
                         "Vorant::DtGeodesicResult Vorant::DtGeodesic::direct(double, double, double, double, unsigned int) const",
                         "geodesic.cpp");
    qmtest::expectThrows([&] { g.line(0, INFINITY, 0); }, bad,
                         "Vorant::DtGeodesicLine Vorant::DtGeodesic::line(double, double, double, unsigned int) const",
                         "geodesic.cpp");
    qmtest::expectThrows([&] { g.inverseLine(-1.6, 0, 0, 0); }, bad,
                         "Vorant::DtGeodesicLine Vorant::DtGeodesic::inverseLine(double, double, double, double, unsigned int) const",
                         "geodesic.cpp");
    DtGeodesicPolygon polygon(g);
    qmtest::expectThrows([&] { polygon.add(std::nan(""), 0); }, bad, "void Vorant::DtGeodesicPolygon::add(double, double)",
                         "geodesic.cpp");
    EXPECT_TRUE(std::isnan(g.inverse(0, 0, 0, 1).m12) && polygon.count() == 0);   // not asked for; nothing added
    qmtest::expectThrows([] { DtGeodesic(0, 0.01); },
                         "Invalid ellipsoid: the semi-major axis must be positive and the flattening below 1",
                         "Vorant::DtGeodesic::DtGeodesic(double, double)", "geodesic.cpp");
    qmtest::expectThrows([] { DtGeodesic(6378137, 1); },
                         "Invalid ellipsoid: the semi-major axis must be positive and the flattening below 1",
                         "Vorant::DtGeodesic::DtGeodesic(double, double)", "geodesic.cpp");
}

// The geodesics' own sine, cosine and atan2 against the standard functions
// (themselves within one unit; long double would be a better reference but
// Valgrind computes it in double): a few units in the last place everywhere,
// exact and with the standard signs at the special values.
TEST(GeodesicTest, InlineTrigonometryIsWithinAFewUlp)
{
    std::mt19937_64 draw(11);
    std::uniform_real_distribution<double> unit(-1, 1);
    auto ulps = [](double value, double t) {
        return std::fabs(value - t) / (std::nextafter(std::fabs(t), 1e300) - std::fabs(t));
    };
    double worstAtan = 0, worstSin = 0, worstCos = 0;
    for (int i = 0; i < 300000; ++i) {
        const double y = unit(draw) * (i % 4 == 0 ? 1e-8 : 1), x = i % 3 == 0 ? y * (1 + 1e-3 * unit(draw)) : unit(draw);
        worstAtan = std::max(worstAtan, ulps(detail::fastAtan2(y, x), std::atan2(y, x)));
        const double a = unit(draw) * (i % 2 ? 4.0 : 2e4);
        double s, c;
        detail::fastSinCos(a, s, c);
        worstSin = std::max(worstSin, ulps(s, std::sin(a)));
        worstCos = std::max(worstCos, ulps(c, std::cos(a)));
    }
    EXPECT_LT(worstAtan, 4.0);
    EXPECT_LT(std::max(worstSin, worstCos), 3.0);
    for (const double y : {0.0, -0.0, 1.0, -1.0, 3e-310})
        for (const double x : {0.0, -0.0, 1.0, -1.0, 1e301, -2.5}) {
            const double f = detail::fastAtan2(y, x), g = std::atan2(y, x);
            EXPECT_TRUE(f == g && std::signbit(f) == std::signbit(g)) << y << ", " << x;
        }
    EXPECT_EQ(detail::fastAtan2(2, 2), kPi / 4);
    EXPECT_EQ(detail::fastAtan2(-3, -3), -3 * kPi / 4);
    EXPECT_TRUE(std::isnan(detail::fastAtan2(std::nan(""), 1)) && std::isnan(detail::fastAtan2(1, std::nan(""))));
    double s, c;
    detail::fastSinCos(-0.0, s, c);
    EXPECT_TRUE(s == 0 && std::signbit(s) && c == 1);
    detail::fastSinCos(kPi, s, c);
    EXPECT_TRUE(s == std::sin(kPi) && c == -1);
    detail::fastSinCos(3e5, s, c);   // beyond the reduction: the standard functions
    EXPECT_TRUE(s == std::sin(3e5) && c == std::cos(3e5));

    // The two-lane forms: each lane the one-value function's bits, whatever
    // the other lane holds (special values included).
    const auto same = [](double p, double q) { return std::memcmp(&p, &q, sizeof p) == 0; };
    std::vector<double> values = {0.0, -0.0, 1.0, -1.0, 3e-310, 1e301, -2.5, 2e5, -7e4, INFINITY, std::nan("")};
    for (int i = 0; i < 400; ++i)
        values.push_back(unit(draw) * (i % 2 ? 4.0 : 2e4));
    for (std::size_t i = 0; i + 3 < values.size(); ++i) {
        const double y0 = values[i], x0 = values[i + 1], y1 = values[i + 2], x1 = values[i + 3];
        const detail::DoublePair a = detail::fastAtan2Pair(detail::DoublePair{y0, y1}, detail::DoublePair{x0, x1});
        EXPECT_TRUE(same(a[0], detail::fastAtan2(y0, x0)) && same(a[1], detail::fastAtan2(y1, x1))) << y0 << " " << x0;
        detail::DoublePair sp, cp;
        detail::fastSinCosPair(detail::DoublePair{y0, x0}, sp, cp);
        double s0, c0, s1, c1;
        detail::fastSinCos(y0, s0, c0);
        detail::fastSinCos(x0, s1, c1);
        EXPECT_TRUE(same(sp[0], s0) && same(cp[0], c0) && same(sp[1], s1) && same(cp[1], c1)) << y0 << " " << x0;
    }
}
