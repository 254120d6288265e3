// A radar site and a small track file: which aircraft can the radar see over
// the curve of the earth (no refraction, no terrain), and where does it see
// them? Each visible track gets its azimuth, elevation and slant range; the
// others, how far below the line of sight the earth gets in the way.
//
// Usage: radarTracks [TRACKFILE]   (lines "callsign latitude longitude altitude",
// degrees and metres above the WGS 84 ellipsoid; without a file, a built-in one)
#include <qormatrix.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

using namespace Vorant;

namespace {

const char kBuiltInTracks[] =
    "# callsign  latitude  longitude  altitude\n"
    "AFR1234  49.20  2.90  11000\n"      // over the Paris basin
    "BAW56    50.90  1.20  10500\n"      // over the Channel
    "DLH7     48.10  8.20  9000\n"       // over the Black Forest, far away
    "EZY88    48.90  2.30  600\n"        // low, on approach, close
    "RYR3     47.00  4.50  1500\n"       // low and far: under the horizon
    "SAR1     49.05  2.60  120\n";       // a helicopter nearby, just above the trees

}  // namespace

int main(int argc, char** argv)
{
    // The radar: a mast 30 m above the ellipsoid north of Paris.
    const DtObserver radar(DtDeg2Rad(49.0), DtDeg2Rad(2.5), 30.0, DtWGS84);
    const double clearanceNeeded = 0.0;   // metres above the ellipsoid along the beam

    std::ifstream file;
    std::istringstream builtIn(kBuiltInTracks);
    std::istream* tracks = &builtIn;
    if (argc > 1) {
        file.open(argv[1]);
        if (!file) {
            std::fprintf(stderr, "radarTracks: cannot open %s\n", argv[1]);
            return 1;
        }
        tracks = &file;
    }

    std::printf("%-8s %8s %10s %12s   %s\n", "track", "azimuth", "elevation", "range (km)", "");
    int visible = 0, hidden = 0;
    for (std::string line; std::getline(*tracks, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream in(line);
        std::string callsign;
        double lat, lon, altitude;
        if (!(in >> callsign >> lat >> lon >> altitude)) {
            std::fprintf(stderr, "radarTracks: cannot read '%s'\n", line.c_str());
            return 1;
        }
        const double latR = DtDeg2Rad(lat), lonR = DtDeg2Rad(lon);
        const DtClearance c = radar.clearance(latR, lonR, altitude, clearanceNeeded);
        const DtLookAngles look = radar.lookAt(latR, lonR, altitude);
        if (c.visible) {
            ++visible;
            std::printf("%-8s %8.2f %10.3f %12.1f   visible\n", callsign.c_str(), DtRad2Deg(look.azimuth),
                        DtRad2Deg(look.elevation), look.range / 1000);
        } else {
            ++hidden;
            std::printf("%-8s %8.2f %10.3f %12.1f   hidden: the beam would pass %.0f m below the ellipsoid\n",
                        callsign.c_str(), DtRad2Deg(look.azimuth), DtRad2Deg(look.elevation), look.range / 1000,
                        -c.lowestHeight);
        }
    }
    std::printf("%d visible, %d hidden\n", visible, hidden);
    return 0;
}
