// The header-inline vector and point arithmetic, in the caller's loop: one
// pass over kInputs vectors per iteration, so that what the compiler can do
// with the inlined body (scheduling, vectorising) shows in the time.
#include "benchInputs.h"

#include <3dPoint.h>
#include <qvVector.h>

#include <benchmark/benchmark.h>

using namespace Vorant;

namespace {

template <class V>
std::vector<V> vectors(unsigned stream)
{
    const auto x = qmbench::uniform(-2, 3, stream), y = qmbench::uniform(-2, 3, stream + 1),
               z = qmbench::uniform(-2, 3, stream + 2);
    std::vector<V> v(qmbench::kInputs);
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = V(static_cast<decltype(v[i].x() + 0)>(x[i]), static_cast<decltype(v[i].x() + 0)>(y[i]),
                 static_cast<decltype(v[i].x() + 0)>(z[i]));
    return v;
}

template <class V>
void BM_dotProduct(benchmark::State& state)
{
    const auto a = vectors<V>(1), b = vectors<V>(4);
    for (auto _ : state) {
        double sum = 0;
        for (std::size_t i = 0; i < a.size(); ++i)
            sum += a[i].dotProduct(b[i]);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(a.size()));
}
BENCHMARK(BM_dotProduct<DtVector64>);
BENCHMARK(BM_dotProduct<DtVector32>);

void BM_crossProduct(benchmark::State& state)
{
    const auto a = vectors<DtVector64>(7), b = vectors<DtVector64>(10);
    std::vector<DtVector64> out(a.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < a.size(); ++i)
            out[i] = a[i].crossProduct(b[i]);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(a.size()));
}
BENCHMARK(BM_crossProduct);

template <class V>
void BM_normalize(benchmark::State& state)
{
    const auto a = vectors<V>(13);
    std::vector<V> out(a.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < a.size(); ++i) {
            out[i] = a[i];
            out[i].normalize();
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(a.size()));
}
BENCHMARK(BM_normalize<DtVector64>);
BENCHMARK(BM_normalize<DtVector32>);

void BM_Dt3dPoint_xyDistanceSquaredTo(benchmark::State& state)
{
    const auto a = vectors<DtVector64>(16), b = vectors<DtVector64>(19);
    std::vector<Dt3dPoint> p(a.begin(), a.end()), q(b.begin(), b.end());
    for (auto _ : state) {
        double sum = 0;
        for (std::size_t i = 0; i < p.size(); ++i)
            sum += p[i].xyDistanceSquaredTo(q[i]) + q[i].magnitudeSquared();
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(p.size()));
}
BENCHMARK(BM_Dt3dPoint_xyDistanceSquaredTo);

}  // namespace
