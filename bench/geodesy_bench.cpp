// Geocentric <-> geodetic conversions and the magnetic field, per call.
#include "benchInputs.h"

#include <geodeticCoord.h>
#include <lookAngles.h>
#include <magneticModel.h>
#include <referenceEllipsoid.h>

#include <benchmark/benchmark.h>

using namespace Vorant;

namespace {

constexpr std::size_t kMask = qmbench::kInputs - 1;

// Geodetic inputs: every latitude and longitude, heights on the surface
// (state.range(0) == 0) or between 200 and 1000 km.
std::vector<DtVector64> geodeticSet(bool high)
{
    const auto lat = qmbench::uniform(-1.55, 1.55, 11);
    const auto lon = qmbench::uniform(-3.14, 3.14, 12);
    const auto h = high ? qmbench::uniform(2e5, 1e6, 13) : qmbench::uniform(-100, 3000, 13);
    std::vector<DtVector64> v(qmbench::kInputs);
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = DtVector64(lat[i], lon[i], h[i]);
    return v;
}

std::vector<DtVector64> geocentricSet(bool high)
{
    const auto g = geodeticSet(high);
    std::vector<DtVector64> v(g.size());
    for (std::size_t i = 0; i < v.size(); ++i)
        DtGlobalEllipsoid().geodeticToGeocentric(g[i], v[i]);
    return v;
}

void BM_geodetic_to_geocentric(benchmark::State& state)
{
    const auto g = geodeticSet(state.range(0) != 0);
    const DtReferenceEllipsoid& e = DtGlobalEllipsoid();
    double x, y, z;
    std::size_t i = 0;
    for (auto _ : state) {
        e.geodetic_to_geocentric(g[i][0], g[i][1], g[i][2], &x, &y, &z);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
        benchmark::DoNotOptimize(z);
        i = (i + 1) & kMask;
    }
}
BENCHMARK(BM_geodetic_to_geocentric)->Arg(0)->Arg(1);

void BM_geocentric_to_geodetic(benchmark::State& state)
{
    const auto c = geocentricSet(state.range(0) != 0);
    const DtReferenceEllipsoid& e = DtGlobalEllipsoid();
    double lat, lon, h;
    std::size_t i = 0;
    for (auto _ : state) {
        e.geocentric_to_geodetic(c[i][0], c[i][1], c[i][2], &lat, &lon, &h);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
        benchmark::DoNotOptimize(h);
        i = (i + 1) & kMask;
    }
}
BENCHMARK(BM_geocentric_to_geodetic)->Arg(0)->Arg(1);

void BM_DtGeodeticCoord_setGeocentric(benchmark::State& state)
{
    const auto c = geocentricSet(false);
    DtGeodeticCoord g;
    std::size_t i = 0;
    for (auto _ : state) {
        g.setGeocentric(c[i]);
        benchmark::DoNotOptimize(g);
        i = (i + 1) & kMask;
    }
}
BENCHMARK(BM_DtGeodeticCoord_setGeocentric);

}  // namespace

namespace {

// The whole WMM2025 field (degree 12, with its rates) at points anywhere from
// the surface to 1000 km, within the model's years.
void BM_magnetic_field(benchmark::State& state)
{
    const auto g = geodeticSet(true);
    const auto year = qmbench::uniform(2025, 2030, 14);
    const DtMagneticModel& wmm = DtMagneticModel::wmm2025();
    std::size_t i = 0;
    for (auto _ : state) {
        const DtMagneticField f = wmm.field(g[i][0], g[i][1], g[i][2], year[i]);
        benchmark::DoNotOptimize(f.declination);
        benchmark::DoNotOptimize(f.total);
        i = (i + 1) & kMask;
    }
}
BENCHMARK(BM_magnetic_field);

}  // namespace

// What an observer at 45 N, 7 E sees: targets back from their look angles
// (as the geodetic2aer bench makes them) and lines of sight from 800 km.
namespace {

void BM_observer_geodeticAt(benchmark::State& state)
{
    const DtObserver observer(0.785398, 0.122173, 300);
    const auto g = geodeticSet(false);
    std::vector<DtLookAngles> look(g.size());
    for (std::size_t k = 0; k < g.size(); ++k)
        look[k] = observer.lookAt(g[k][0], g[k][1], g[k][2]);
    std::size_t i = 0;
    for (auto _ : state) {
        const DtVector64 v = observer.geodeticAt(look[i]);
        benchmark::DoNotOptimize(v);
        i = (i + 1) & kMask;
    }
}
BENCHMARK(BM_observer_geodeticAt);

void BM_observer_lineOfSight(benchmark::State& state)
{
    const DtObserver observer(0.785398, 0.122173, 8e5);
    const auto azimuth = qmbench::uniform(-3.14, 3.14, 15), tilt = qmbench::uniform(0, 1.05, 16);
    std::size_t i = 0;
    for (auto _ : state) {
        const DtSightPoint p = observer.lineOfSight(azimuth[i], tilt[i] - 1.5707963267948966);
        benchmark::DoNotOptimize(p.lat);
        benchmark::DoNotOptimize(p.range);
        i = (i + 1) & kMask;
    }
}
BENCHMARK(BM_observer_lineOfSight);

}  // namespace

// The same through the many-element calls, per element (blocks of 64, as
// the Python functions hand them over).
namespace {

void BM_observer_geodeticAt_many(benchmark::State& state)
{
    const DtObserver observer(0.785398, 0.122173, 300);
    const auto g = geodeticSet(false);
    std::vector<DtLookAngles> look(g.size());
    for (std::size_t k = 0; k < g.size(); ++k)
        look[k] = observer.lookAt(g[k][0], g[k][1], g[k][2]);
    std::vector<DtVector64> out(64);
    std::size_t i = 0;
    for (auto _ : state) {
        observer.geodeticAt(64, look.data() + i, out.data());
        benchmark::DoNotOptimize(out.data());
        i = (i + 64) & kMask;
    }
    state.SetItemsProcessed(state.iterations() * 64);
}
BENCHMARK(BM_observer_geodeticAt_many);

void BM_observer_lookAt_many(benchmark::State& state)
{
    const DtObserver observer(0.785398, 0.122173, 300);
    const auto lat = qmbench::uniform(-1.55, 1.55, 17), lon = qmbench::uniform(-3.14, 3.14, 18),
               h = qmbench::uniform(-100, 3000, 19);
    std::vector<DtLookAngles> out(64);
    std::size_t i = 0;
    for (auto _ : state) {
        observer.lookAt(64, lat.data() + i, lon.data() + i, h.data() + i, out.data());
        benchmark::DoNotOptimize(out.data());
        i = (i + 64) & kMask;
    }
    state.SetItemsProcessed(state.iterations() * 64);
}
BENCHMARK(BM_observer_lookAt_many);

void BM_observer_lineOfSight_many(benchmark::State& state)
{
    const DtObserver observer(0.785398, 0.122173, 8e5);
    const auto azimuth = qmbench::uniform(-3.14, 3.14, 15), tilt = qmbench::uniform(0, 1.05, 16);
    std::vector<double> elevation(tilt.size());
    for (std::size_t k = 0; k < tilt.size(); ++k)
        elevation[k] = tilt[k] - 1.5707963267948966;
    std::vector<DtSightPoint> out(64);
    std::size_t i = 0;
    for (auto _ : state) {
        observer.lineOfSight(64, azimuth.data() + i, elevation.data() + i, 0.0, out.data());
        benchmark::DoNotOptimize(out.data());
        i = (i + 64) & kMask;
    }
    state.SetItemsProcessed(state.iterations() * 64);
}
BENCHMARK(BM_observer_lineOfSight_many);

}  // namespace
