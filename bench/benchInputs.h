// Varied inputs for the benchmarks, cycled so that no call sees a constant.
#ifndef QORMATRIX_BENCH_INPUTS_H
#define QORMATRIX_BENCH_INPUTS_H

#include <cstddef>
#include <random>
#include <vector>

namespace qmbench {

constexpr std::size_t kInputs = 4096;   // a power of two: the index wraps with a mask

inline std::vector<double> uniform(double lo, double hi, unsigned stream)
{
    std::mt19937_64 gen(stream);
    std::uniform_real_distribution<double> u(lo, hi);
    std::vector<double> v(kInputs);
    for (double& x : v)
        x = u(gen);
    return v;
}

}  // namespace qmbench

#endif
