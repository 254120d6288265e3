// Extents, chords and x-y distances, per call.
#include "benchInputs.h"

#include <3dChord.h>
#include <3dExtent.h>
#include <3dPoint.h>

#include <benchmark/benchmark.h>

using namespace Vorant;

namespace {

constexpr std::size_t kMask = qmbench::kInputs - 1;

std::vector<Dt3dPoint> points(unsigned stream)
{
    const auto x = qmbench::uniform(-2, 3, stream), y = qmbench::uniform(-2, 3, stream + 1),
               z = qmbench::uniform(-2, 3, stream + 2);
    std::vector<Dt3dPoint> p(qmbench::kInputs);
    for (std::size_t i = 0; i < p.size(); ++i)
        p[i] = Dt3dPoint(x[i], y[i], z[i]);
    return p;
}

void BM_Dt3dExtent_intersectsChord(benchmark::State& state)
{
    const auto a = points(41), b = points(51);
    std::vector<Dt3dChord> chords(qmbench::kInputs);
    for (std::size_t i = 0; i < chords.size(); ++i)
        chords[i] = Dt3dChord(a[i], b[i]);
    const Dt3dExtent box(0, 1, 0, 1, 0, 1);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(box.intersects(chords[i]));
        i = (i + 1) & kMask;
    }
}
BENCHMARK(BM_Dt3dExtent_intersectsChord);

void BM_Dt3dExtent_expandToInclude(benchmark::State& state)
{
    const auto p = points(61);
    Dt3dExtent e;
    std::size_t i = 0;
    for (auto _ : state) {
        e.expandToInclude(p[i]);
        benchmark::DoNotOptimize(e);
        i = (i + 1) & kMask;
    }
}
BENCHMARK(BM_Dt3dExtent_expandToInclude);

void BM_Dt3dPoint_xyDistanceToLineSquared(benchmark::State& state)
{
    const auto p = points(71), a = points(81), b = points(91);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(p[i].xyDistanceToLineSquared(a[i], b[i]));
        i = (i + 1) & kMask;
    }
}
BENCHMARK(BM_Dt3dPoint_xyDistanceToLineSquared);

}  // namespace
