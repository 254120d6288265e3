// Matrix products and Tait-Bryan conversions, per call.
#include "benchInputs.h"

#include <qvDcm.h>
#include <qvQuaternion.h>
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

void BM_QuaternionToMatrix(benchmark::State& state)
{
    const auto a = angleSet();
    std::vector<DtQuaternion> q(a.begin(), a.end());
    DtDcm out;
    std::size_t i = 0;
    for (auto _ : state) {
        DtDcmFromQuaternion(out, &q[i]);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & (qmbench::kInputs - 1);
    }
}
BENCHMARK(BM_QuaternionToMatrix);

// Angles of a quaternion: its matrix, read back as reference-to-body.
void BM_QuaternionToAngles(benchmark::State& state)
{
    const auto a = angleSet();
    std::vector<DtQuaternion> q(a.begin(), a.end());
    std::size_t i = 0;
    for (auto _ : state) {
        const DtTaitBryan out(q[i]);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & (qmbench::kInputs - 1);
    }
}
BENCHMARK(BM_QuaternionToAngles);

void BM_DtMakeRotationDcm(benchmark::State& state)
{
    const auto x = qmbench::uniform(-2, 2, 5);
    std::vector<DtDirectedRotRate> r(qmbench::kInputs);
    for (std::size_t i = 0; i < r.size(); ++i)
        r[i] = DtDirectRotRate(DtVector64(x[i], x[(i + 1) & (qmbench::kInputs - 1)], x[(i + 2) & (qmbench::kInputs - 1)]));
    DtDcm out;
    std::size_t i = 0;
    for (auto _ : state) {
        DtMakeRotationDcm(r[i], 0.02, out);
        benchmark::DoNotOptimize(out);
        i = (i + 1) & (qmbench::kInputs - 1);
    }
}
BENCHMARK(BM_DtMakeRotationDcm);

void BM_DtDcmFixMatrix(benchmark::State& state)
{
    auto m = matrixSet();
    for (std::size_t i = 0; i < m.size(); ++i)
        m[i][0][0] *= 1.0 + 1e-6;
    std::size_t i = 0;
    for (auto _ : state) {
        DtDcm work = m[i];
        DtDcmFixMatrix(work, int(i % 3));
        benchmark::DoNotOptimize(work);
        i = (i + 1) & (qmbench::kInputs - 1);
    }
}
BENCHMARK(BM_DtDcmFixMatrix);

}  // namespace
