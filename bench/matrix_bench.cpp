// Matrix products and Tait-Bryan conversions, per call.
#include "benchInputs.h"

#include <qvDcm.h>
#include <qvTaitBryan.h>

#include <benchmark/benchmark.h>

using namespace Vorant;

namespace {

std::vector<DtTaitBryan> angleSet()
{
    const auto psi = qmbench::uniform(-3.14, 3.14, 1);
    const auto theta = qmbench::uniform(-1.5, 1.5, 2);
    const auto phi = qmbench::uniform(-3.14, 3.14, 3);
    std::vector<DtTaitBryan> a(qmbench::kInputs);
    for (std::size_t i = 0; i < a.size(); ++i)
        a[i] = DtTaitBryan(psi[i], theta[i], phi[i]);
    return a;
}

std::vector<DtDcm> matrixSet()
{
    const auto angles = angleSet();
    std::vector<DtDcm> m(angles.size());
    for (std::size_t i = 0; i < m.size(); ++i)
        DtTbToMat(angles[i], m[i]);
    return m;
}

void BM_DtDcmDcmMul(benchmark::State& state)
{
    const auto m = matrixSet();
    DtDcm out;
    std::size_t i = 0;
    for (auto _ : state) {
        DtDcmDcmMul(m[i], m[(i + 1) & (qmbench::kInputs - 1)], out);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & (qmbench::kInputs - 1);
    }
}
BENCHMARK(BM_DtDcmDcmMul);

void BM_DtDcmVecMul(benchmark::State& state)
{
    const auto m = matrixSet();
    const auto x = qmbench::uniform(-1e7, 1e7, 4);
    DtVector64 out;
    std::size_t i = 0;
    for (auto _ : state) {
        const DtVector64 v(x[i], x[(i + 7) & (qmbench::kInputs - 1)], x[(i + 13) & (qmbench::kInputs - 1)]);
        DtDcmVecMul(m[i], v, out);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & (qmbench::kInputs - 1);
    }
}
BENCHMARK(BM_DtDcmVecMul);

void BM_DtTbToMat(benchmark::State& state)
{
    const auto a = angleSet();
    DtDcm out;
    std::size_t i = 0;
    for (auto _ : state) {
        DtTbToMat(a[i], out);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & (qmbench::kInputs - 1);
    }
}
BENCHMARK(BM_DtTbToMat);

void BM_DtBodyToRef_to_Euler(benchmark::State& state)
{
    const auto m = matrixSet();
    DtTaitBryan out;
    std::size_t i = 0;
    for (auto _ : state) {
        DtBodyToRef_to_Euler(m[i], &out);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & (qmbench::kInputs - 1);
    }
}
BENCHMARK(BM_DtBodyToRef_to_Euler);

}  // namespace
