// Heights above mean sea level: the EGM96 geoid from the grid Debian's
// proj-data package installs, a summit's altitude turned into a geocentric
// position and back, and the same grid holding only an area in memory.
//
//   geoidHeights [grid.gtx]
#include <qormatrix.h>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    using namespace Vorant;
    const char* file = argc > 1 ? argv[1] : "/usr/share/proj/egm96_15.gtx";
    std::shared_ptr<const DtGeoidGrid> egm96;
    try {
        egm96 = std::make_shared<const DtGeoidGrid>(file);
    } catch (const DtException& e) {
        std::printf("%s\n(install the Debian package proj-data, or name a GTX grid)\n", e.what());
        return 0;
    }
    std::printf("%s: %ld x %ld nodes, %.4g degrees apart\n", file, egm96->rows(), egm96->columns(),
                egm96->latSpacing());

    // The geoid under a few places: the height of mean sea level above the ellipsoid.
    const struct { const char* name; double lat, lon; } places[] = {
        {"Everest", 27.9881, 86.925}, {"New Guinea", -5.0, 145.0}, {"Sri Lanka, south", 4.7, 78.8},
        {"0 N 0 E", 0.0, 0.0}, {"North Pole", 90.0, 0.0}};
    for (const auto& p : places)
        std::printf("  %-18s bilinear %8.3f m   bicubic %8.3f m\n", p.name, egm96->undulation(p.lat, p.lon),
                    egm96->undulation(p.lat, p.lon, true));

    // A coordinate over the grid takes and gives altitudes above the geoid.
    DtGeodeticCoord summit(DtDeg2Rad(27.9881), DtDeg2Rad(86.925), 0.0);
    summit.setGeoidGrid(egm96);
    summit.setAlt(8848.86);
    const DtVector64 g = summit.geocentric();
    DtGeodeticCoord back;
    back.setGeoidGrid(egm96);
    back.setGeocentric(g);
    std::printf("Everest at 8848.86 m above the geoid: %.3f m above the ellipsoid, geocentric %.3f %.3f %.3f,\n"
                "  back: %.3f m above the geoid\n", summit[2], g.x(), g.y(), g.z(), back.alt());

    // Only the Himalaya in memory; the rest is read from the file when needed.
    const DtGeoidGrid himalaya(file, 25, 75, 35, 95);
    std::printf("an area of 10 x 20 degrees holds %zu of %zu bytes; Everest again %.3f m, Paris %.3f m\n",
                himalaya.memoryBytes(), egm96->memoryBytes(), himalaya.undulation(27.9881, 86.925),
                himalaya.undulation(48.8566, 2.3522));
    return 0;
}
