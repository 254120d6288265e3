// A UTM grid local to an exercise area: the reference point sits at (0, 0)
// and every point keeps the reference point's zone, also across a zone line.
#include <qormatrix.h>

#include <cmath>
#include <cstdio>

int main()
{
    using namespace Vorant;

    DtDegMinSec lat{}, lon{};
    lat.setLatFromDegrees(35.25);
    lon.setLonFromDegrees(-120.1);   // zone 10, near the line to zone 11
    // Local offsets (standardOffsets 0), zone chosen from the reference point.
    DtUtmReferencePoint area(lat, lon, 0, 0, DtWGS84, 0.9996);
    std::printf("zone %ld; the reference point lies %.2f m east of the central meridian and %.2f m north of the equator\n", area.zoneOrigin(),
                area.xOrigin(), area.yOrigin());

    int failures = 0;
    const double points[][2] = {{35.25, -120.1}, {35.30, -119.95}, {35.10, -120.4}};
    for (const auto& p : points) {
        const DtGeodeticCoord g(DtDeg2Rad(p[0]), DtDeg2Rad(p[1]), 120.0, area.ellipsoid());
        DtUtmCoord grid(g, &area);   // projected through the area's reference point
        const DtGeodeticCoord back = grid.geodetic();
        std::printf("%9.4f %10.4f  ->  east %10.2f north %10.2f up %6.1f  ->  %9.6f %10.6f\n", p[0], p[1],
                    grid.east(), grid.north(), grid.up(), DtRad2Deg(back.lat()), DtRad2Deg(back.lon()));
        failures += std::fabs(DtRad2Deg(back.lat()) - p[0]) > 1e-8 || std::fabs(DtRad2Deg(back.lon()) - p[1]) > 1e-8;
    }
    return failures;
}
