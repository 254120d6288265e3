// qorconvert's field reader and writer, per call, and a block of lines.
#include "fields.h"
#include "stream.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> texts(const char* format, double range)
{
    std::mt19937_64 gen(3);
    std::uniform_real_distribution<double> u(-range, range);
    std::vector<std::string> v(4096);
    for (std::string& s : v) {
        char text[64];
        std::snprintf(text, sizeof text, format, u(gen));
        s = text;
    }
    return v;
}

void BM_parseNumber(benchmark::State& state, const char* format)
{
    const auto v = texts(format, 180);
    std::size_t i = 0;
    double out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(qorconvert::parseNumber(v[i].data(), v[i].size(), out));
        i = (i + 1) & 4095;
    }
}
BENCHMARK_CAPTURE(BM_parseNumber, plain_9_decimals, "%.9f");
BENCHMARK_CAPTURE(BM_parseNumber, shortest_17_digits, "%.17g");

void BM_appendFixed(benchmark::State& state)
{
    std::mt19937_64 gen(4);
    std::uniform_real_distribution<double> u(-7e6, 7e6);
    std::vector<double> v(4096);
    for (double& x : v)
        x = u(gen);
    std::string out;
    std::size_t i = 0;
    for (auto _ : state) {
        out.clear();
        qorconvert::appendFixed(out, v[i], int(state.range(0)));
        benchmark::DoNotOptimize(out.data());
        i = (i + 1) & 4095;
    }
}
BENCHMARK(BM_appendFixed)->Arg(3)->Arg(8)->Arg(17);

void BM_convertBlock(benchmark::State& state)
{
    qorconvert::Options o;
    qorconvert::Converter converter(o);
    const auto lat = texts("%.9f", 80), lon = texts("%.9f", 180);
    qorconvert::Block block;
    for (std::size_t i = 0; i < 4096; ++i)
        block.text += lat[i] + " " + lon[i] + " 100.5\n";
    for (auto _ : state) {
        qorconvert::convertBlock(converter, block);
        benchmark::DoNotOptimize(block.output.data());
    }
    state.SetItemsProcessed(state.iterations() * 4096);
}
BENCHMARK(BM_convertBlock);

}  // namespace
