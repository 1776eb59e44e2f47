// The S and D text forms, beside the formatter they replaced (its copy in the tests' support):
// nanoseconds per number on values like those the spectrum and RMS files hold.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "common/textforms.h"
#include "support/reference_number_forms.h"

namespace {

// Magnitudes spread over 1E-7 .. 1E+4, as the amplitudes of a spectrum are.
template <typename T>
std::vector<T> spreadValues() {
    std::mt19937_64 random(22);
    std::uniform_real_distribution<double> exponent(-7, 4);
    std::vector<T> values(1 << 16);
    for (T& v : values) v = static_cast<T>(std::pow(10.0, exponent(random)));
    return values;
}

template <typename T, char* (*Append)(char*, T)>
void run(benchmark::State& state) {
    const std::vector<T> values = spreadValues<T>();
    std::vector<char> text(values.size() * (pqwave::kMaxNumberText + 1));
    for (auto _ : state) {
        char* out = text.data();
        for (T v : values) {
            out = Append(out, v);
            *out++ = ',';
        }
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * values.size()));
}

// A row of S fields at once, as the spectrum files write them.
void BM_SingleFields(benchmark::State& state) {
    const std::vector<float> values = spreadValues<float>();
    std::vector<char> text(values.size() * pqwave::kMaxSingleField + pqwave::kMaxNumberText);
    for (auto _ : state) benchmark::DoNotOptimize(pqwave::appendSFields(text.data(), values.data(), values.size()));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * values.size()));
}

BENCHMARK(BM_SingleFields);
BENCHMARK(run<float, pqwave::appendS>)->Name("BM_SingleForm");
BENCHMARK(run<float, pqwave::reference::appendS>)->Name("BM_SingleFormBefore");
BENCHMARK(run<double, pqwave::appendD>)->Name("BM_DoubleForm");
BENCHMARK(run<double, pqwave::reference::appendD>)->Name("BM_DoubleFormBefore");

}  // namespace

BENCHMARK_MAIN();
