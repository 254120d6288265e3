// A great-circle route on the ellipsoid: the distance and initial course from
// Frankfurt to Singapore, waypoints every tenth of the way, and the area of the
// triangle Frankfurt - Singapore - Sydney.
#include <qormatrix.h>

#include <cmath>
#include <cstdio>

int main()
{
    using namespace Vorant;

    const DtGeodesic wgs84(DtWGS84);
    const double fra[2] = {DtDeg2Rad(50.0379), DtDeg2Rad(8.5622)}, sin[2] = {DtDeg2Rad(1.3644), DtDeg2Rad(103.9915)},
                 syd[2] = {DtDeg2Rad(-33.9461), DtDeg2Rad(151.1772)};

    const DtGeodesicResult leg = wgs84.inverse(fra[0], fra[1], sin[0], sin[1]);
    std::printf("Frankfurt -> Singapore: %.3f km, initial course %.2f deg, arriving on %.2f deg\n", leg.s12 / 1000,
                DtRad2Deg(leg.azi1), DtRad2Deg(leg.azi2));

    // One line, many points: each far cheaper than a fresh inverse problem.
    const DtGeodesicLine route = wgs84.inverseLine(fra[0], fra[1], sin[0], sin[1]);
    DtGeodesicResult waypoints[11];
    route.waypoints(route.distance(), 11, waypoints);
    for (const DtGeodesicResult& w : waypoints)
        std::printf("  %8.1f km  %9.4f %9.4f  course %7.2f\n", w.s12 / 1000, DtRad2Deg(w.lat2), DtRad2Deg(w.lon2),
                    DtRad2Deg(w.azi2));

    DtGeodesicPolygon triangle(wgs84);
    for (const double* p : {fra, sin, syd})
        triangle.add(p[0], p[1]);
    double area, perimeter;
    triangle.compute(area, perimeter);
    std::printf("triangle Frankfurt, Singapore, Sydney: perimeter %.3f km, area %.0f km^2 (clockwise: negative)\n",
                perimeter / 1000, area / 1e6);

    // The last waypoint is Singapore, and the legs add up.
    const bool ok = std::fabs(waypoints[10].lat2 - sin[0]) < 1e-12 && std::fabs(waypoints[10].lon2 - sin[1]) < 1e-12 &&
                    std::fabs(waypoints[10].s12 - leg.s12) < 1e-6;
    return ok ? 0 : 1;
}
