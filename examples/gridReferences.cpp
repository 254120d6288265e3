// A few well-known places as military grid references at 1 m and 10 km, and
// back: the centre of each reference's square and how far it lies from the
// place (a reference names a square; truncation keeps the place inside it).
#include <qormatrix.h>

#include <cmath>
#include <cstdio>

using namespace Vorant;

int main()
{
    struct Place
    {
        const char* name;
        double lat, lon;   // degrees
    };
    const Place places[] = {
        {"Statue of Liberty", 40.689247, -74.044502}, {"Sydney Opera House", -33.856784, 151.215297},
        {"Mount Everest", 27.988120, 86.925026},      {"Longyearbyen", 78.223172, 15.626723},   // Svalbard's zone 33X
        {"Bergen", 60.391263, 5.322054},              // Norway's zone 32V
        {"North Pole", 90.0, 0.0},                    {"Amundsen-Scott station", -89.997500, 139.272778},
    };
    const DtMgrs mgrs(DtWGS84);
    const DtGeodesic earth(DtWGS84);
    std::printf("%-24s %-18s %-10s %s\n", "place", "1 m", "10 km", "centre of the 1 m square, metres away");
    for (const Place& p : places) {
        const double lat = DtDeg2Rad(p.lat), lon = DtDeg2Rad(p.lon);
        char fine[DtMgrs::kMaxLength + 1], coarse[DtMgrs::kMaxLength + 1];
        mgrs.encode(lat, lon, 5, fine);
        mgrs.encode(lat, lon, 1, coarse);
        const DtMgrsSquare back = mgrs.decode(fine);
        const double apart = earth.inverse(lat, lon, back.lat, back.lon).s12;
        std::printf("%-24s %-18s %-10s %.8f %.8f, %.2f\n", p.name, fine, coarse, DtRad2Deg(back.lat),
                    DtRad2Deg(back.lon), apart);
        if (!(apart < 1.0))   // half the diagonal of a 1 m square, and the grid's scale
            return 1;
    }
    return 0;
}
