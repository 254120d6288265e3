// UTM projections, ground angles and grid declination, per call.
#include "benchInputs.h"

#include <geodeticCoord.h>
#include <qvTaitBryan.h>
#include <topoCoord.h>
#include <utmCoord.h>
#include <utmReferencePoint.h>

#include <benchmark/benchmark.h>

using namespace Vorant;

namespace {

constexpr std::size_t kMask = qmbench::kInputs - 1;

// Points of zone 18 (within 3 degrees of 75 W), latitudes 80 S to 84 N.
struct ZonePoints
{
    std::vector<double> latDeg = qmbench::uniform(-80, 84, 21);
    std::vector<double> lonDeg = qmbench::uniform(-78, -72, 22);
};

DtUtmReferencePoint zone18()
{
    DtDegMinSec lat{40, 0, 0, DtNorth}, lon{75, 0, 0, DtWest};
    return DtUtmReferencePoint(lat, lon, 1, 18, DtWGS84, 0.9996);
}

void BM_ZoneForm_geod2utm(benchmark::State& state)
{
    const ZonePoints in;
    DtUtmReferencePoint p = zone18();
    double n, e;
    std::size_t i = 0;
    for (auto _ : state) {
        long zone = 18;
        p.geod2utm(in.latDeg[i], in.lonDeg[i], &zone, &n, &e);
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(e);
        i = (i + 1) & kMask;
    }
}
BENCHMARK(BM_ZoneForm_geod2utm);

void BM_ZoneForm_utm2geod(benchmark::State& state)
{
    const ZonePoints in;
    DtUtmReferencePoint p = zone18();
    std::vector<double> n(qmbench::kInputs), e(qmbench::kInputs);
    for (std::size_t k = 0; k < n.size(); ++k) {
        long zone = 18;
        p.geod2utm(in.latDeg[k], in.lonDeg[k], &zone, &n[k], &e[k]);
    }
    double lat, lon;
    std::size_t i = 0;
    for (auto _ : state) {
        p.utm2geod(n[i], e[i], 18, &lat, &lon);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
        i = (i + 1) & kMask;
    }
}
BENCHMARK(BM_ZoneForm_utm2geod);

void BM_RadianForm_geod2utm(benchmark::State& state)
{
    const ZonePoints in;
    DtUtmReferencePoint p = zone18();
    double e, n;
    std::size_t i = 0;
    for (auto _ : state) {
        p.geod2utm(DtDeg2Rad(in.latDeg[i]), DtDeg2Rad(in.lonDeg[i]), &e, &n);
        benchmark::DoNotOptimize(e);
        benchmark::DoNotOptimize(n);
        i = (i + 1) & kMask;
    }
}
BENCHMARK(BM_RadianForm_geod2utm);

void BM_RadianForm_utm2geod(benchmark::State& state)
{
    const ZonePoints in;
    DtUtmReferencePoint p = zone18();
    std::vector<double> n(qmbench::kInputs), e(qmbench::kInputs);
    for (std::size_t k = 0; k < n.size(); ++k)
        p.geod2utm(DtDeg2Rad(in.latDeg[k]), DtDeg2Rad(in.lonDeg[k]), &e[k], &n[k]);
    double lat, lon;
    std::size_t i = 0;
    for (auto _ : state) {
        p.utm2geod(e[i], n[i], &lat, &lon);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
        i = (i + 1) & kMask;
    }
}
BENCHMARK(BM_RadianForm_utm2geod);

void BM_DtGeodToUtm(benchmark::State& state)
{
    const ZonePoints in;
    DtUtmReferencePoint p = zone18();
    std::vector<DtGeodeticCoord> g;
    g.reserve(qmbench::kInputs);
    for (std::size_t k = 0; k < qmbench::kInputs; ++k)
        g.emplace_back(DtDeg2Rad(in.latDeg[k]), DtDeg2Rad(in.lonDeg[k]), 0.0, p.ellipsoid());
    DtUtmCoord u(&p);
    std::size_t i = 0;
    for (auto _ : state) {
        DtGeodToUtm(g[i], u);
        benchmark::DoNotOptimize(u);
        i = (i + 1) & kMask;
    }
}
BENCHMARK(BM_DtGeodToUtm);

void BM_DtGetHeadingFromGeocentric(benchmark::State& state)
{
    const auto lat = qmbench::uniform(-1.5, 1.5, 31);
    const auto lon = qmbench::uniform(-3.1, 3.1, 32);
    const auto yaw = qmbench::uniform(-3.1, 3.1, 33);
    std::vector<DtVector64> pos(qmbench::kInputs);
    std::vector<DtTaitBryan> att(qmbench::kInputs);
    for (std::size_t k = 0; k < pos.size(); ++k) {
        pos[k] = DtGeodeticCoord(lat[k], lon[k], 1000.0).geocentric();
        att[k] = DtTaitBryan(yaw[k], lat[k] / 2, lon[k]);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DtGetHeadingFromGeocentric(pos[i], att[i]));
        i = (i + 1) & kMask;
    }
}
BENCHMARK(BM_DtGetHeadingFromGeocentric);

void BM_DtUtmGridDeclination(benchmark::State& state)
{
    const ZonePoints in;
    const DtUtmReferencePoint saved = *DtGlobalUtmReferencePoint();
    DtUtmInit(DtDegMinSec{40, 0, 0, DtNorth}, DtDegMinSec{75, 0, 0, DtWest}, 1, 18);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DtUtmGridDeclination(DtDeg2Rad(in.latDeg[i]), DtDeg2Rad(in.lonDeg[i])));
        i = (i + 1) & kMask;
    }
    *DtGlobalUtmReferencePoint() = saved;
}
BENCHMARK(BM_DtUtmGridDeclination);

}  // namespace
