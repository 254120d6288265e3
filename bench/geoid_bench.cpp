// Geoid grids: one undulation (bilinear, bicubic, from an area held in
// memory), a geodetic coordinate's alt() over a grid, and loading EGM96.
#include "benchInputs.h"

#include <geodeticCoord.h>
#include <geoidGrid.h>

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>

using namespace Vorant;

namespace {

constexpr std::size_t kMask = qmbench::kInputs - 1;
const char* const kEgm96 = "/usr/share/proj/egm96_15.gtx";

bool haveEgm96(benchmark::State& state)
{
    if (std::ifstream(kEgm96))
        return true;
    state.SkipWithError("/usr/share/proj/egm96_15.gtx is not installed (Debian package proj-data)");
    return false;
}

void BM_geoid_undulation(benchmark::State& state)
{
    if (!haveEgm96(state))
        return;
    const DtGeoidGrid grid(kEgm96);
    const bool cubic = state.range(0) != 0;
    const auto lat = qmbench::uniform(-90, 90, 31), lon = qmbench::uniform(-180, 180, 32);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(grid.undulation(lat[i], lon[i], cubic));
        i = (i + 1) & kMask;
    }
}
BENCHMARK(BM_geoid_undulation)->Arg(0)->Arg(1);

// Points inside a 10 x 10 degree area held in memory (the rest stays on disk).
void BM_geoid_undulation_area(benchmark::State& state)
{
    if (!haveEgm96(state))
        return;
    const DtGeoidGrid grid(kEgm96, 40, 0, 50, 10);
    const auto lat = qmbench::uniform(40, 50, 33), lon = qmbench::uniform(0, 10, 34);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(grid.undulation(lat[i], lon[i]));
        i = (i + 1) & kMask;
    }
}
BENCHMARK(BM_geoid_undulation_area);

// The same through a geodetic coordinate: radians to degrees, the datum's
// virtual call, the grid.
void BM_geoid_coordinate_alt(benchmark::State& state)
{
    if (!haveEgm96(state))
        return;
    DtGeodeticCoord coord(0.0, 0.0, 100.0);
    coord.setGeoidGrid(std::make_shared<const DtGeoidGrid>(kEgm96));
    const auto lat = qmbench::uniform(-1.57, 1.57, 35), lon = qmbench::uniform(-3.14, 3.14, 36);
    std::size_t i = 0;
    for (auto _ : state) {
        coord.setLat(lat[i]);
        coord.setLon(lon[i]);
        benchmark::DoNotOptimize(coord.alt());
        i = (i + 1) & kMask;
    }
}
BENCHMARK(BM_geoid_coordinate_alt);

void BM_geoid_load(benchmark::State& state)
{
    if (!haveEgm96(state))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(DtGeoidGrid(kEgm96).memoryBytes());
}
BENCHMARK(BM_geoid_load)->Unit(benchmark::kMillisecond);

}  // namespace
