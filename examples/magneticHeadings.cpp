// Which way a compass points: the magnetic heading of runways of a few
// true headings (a runway's number is its magnetic heading in tens of degrees) and the
// grid-magnetic angle a map margin prints, for today's date, from the World
// Magnetic Model built into the library.
#include <qormatrix.h>

#include <cmath>
#include <cstdio>
#include <ctime>

using namespace Vorant;

int main()
{
    const std::time_t now = std::time(nullptr);
    std::tm today{};
    gmtime_r(&now, &today);
    const double year = DtMagneticModel::decimalYear(today.tm_year + 1900, today.tm_mon + 1, today.tm_mday);
    const DtMagneticModel& wmm = DtMagneticModel::wmm2025();
    std::printf("%s on %04d-%02d-%02d (%.3f)%s\n\n", wmm.name().c_str(), today.tm_year + 1900, today.tm_mon + 1,
                today.tm_mday, year, year > wmm.epoch() + 5 ? ": past the model's years, an extrapolation" : "");

    struct Runway
    {
        const char* name;
        double lat, lon, elevation;   // degrees, metres
        double trueHeading;           // degrees
    };
    const Runway runways[] = {
        // (Illustrative headings, not survey data: the point is the correction.)
        {"London", 51.4647, -0.4340, 25, 269.7},
        {"New York", 40.6413, -73.7781, 4, 310.5},
        {"Anchorage", 61.1744, -149.9964, 46, 74.6},
        {"Sydney", -33.9399, 151.1753, 6, 335.9},
    };
    std::printf("%-22s %9s %11s %9s %7s\n", "runway", "true", "declination", "magnetic", "number");
    for (const Runway& r : runways) {
        const DtBearings b = wmm.bearings(DtDeg2Rad(r.lat), DtDeg2Rad(r.lon), r.elevation, year);
        const double magnetic = DtRad2Deg(b.trueToMagnetic(DtDeg2Rad(r.trueHeading)));
        const int number = static_cast<int>(std::lround(magnetic / 10)) % 36;
        std::printf("%-22s %8.1f° %10.2f° %8.1f° %7d\n", r.name, r.trueHeading, DtRad2Deg(b.declination), magnetic,
                    number == 0 ? 36 : number);
    }

    struct Place
    {
        const char* name;
        double lat, lon;
    };
    const Place places[] = {{"Grafenwoehr", 49.70, 11.94}, {"Fort Irwin", 35.26, -116.68}, {"Tromsoe", 69.65, 18.96}};
    std::printf("\n%-12s %12s %15s %20s %s\n", "place", "declination", "grid declination", "grid-magnetic angle",
                "(magnetic from grid north, east positive)");
    for (const Place& p : places) {
        const DtBearings b = wmm.bearings(DtDeg2Rad(p.lat), DtDeg2Rad(p.lon), 0, year);
        const DtMagneticField f = wmm.field(DtDeg2Rad(p.lat), DtDeg2Rad(p.lon), 0, year);
        std::printf("%-12s %11.2f° %15.2f° %19.2f°%s\n", p.name, DtRad2Deg(b.declination), DtRad2Deg(b.gridDeclination),
                    DtRad2Deg(b.gridMagneticAngle), f.zone == DtMagneticField::Good ? "" : "  (compass: caution)");
        if (!std::isfinite(b.gridMagneticAngle))
            return 1;
    }
    return 0;
}
