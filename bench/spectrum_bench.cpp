// The spectrum runs: one 65 536-point transform beside FFTW's single-precision transform of
// the same size, the channel FFT of a 16-column recording, and the moving FFT of a 16-channel,
// 1,000,000-sample recording with its window files written.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <complex>
#include <random>
#include <vector>

#include "spectrum/fft.h"

namespace {

constexpr int kBits = 16;
constexpr std::size_t kPoints = std::size_t{1} << kBits;

std::vector<float> randomValues(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(-1, 1);
    std::vector<float> v(n);
    for (float& x : v) x = value(random);
    return v;
}

// Ours as the runs use it: a real series loaded in bit-reversed order, then the transform.
void BM_Transform65536(benchmark::State& state) {
    auto tables = pqwave::FFTSetup(kBits);
    std::vector<float> x = randomValues(kPoints, 1);
    pqwave::FftArrays a(kPoints);
    for (auto _ : state) {
        for (std::size_t m = 0; m < kPoints; ++m) {
            a.FFTRe[m] = x[static_cast<std::size_t>(tables->BitRevIndex[m])];
            a.FFTIm[m] = 0;
        }
        pqwave::FFTCalc(*tables, a.FFTIm.data(), a.FFTRe.data());
        benchmark::DoNotOptimize(a.FFTRe.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPoints));
}

// The butterflies alone, on input already in bit-reversed order.
void BM_TransformButterfliesOnly65536(benchmark::State& state) {
    auto tables = pqwave::FFTSetup(kBits);
    std::vector<float> x = randomValues(kPoints, 1);
    pqwave::FftArrays a(kPoints);
    for (auto _ : state) {
        state.PauseTiming();
        std::copy(x.begin(), x.end(), a.FFTRe.begin());
        std::fill(a.FFTIm.begin(), a.FFTIm.end(), 0.0f);
        state.ResumeTiming();
        pqwave::FFTCalc(*tables, a.FFTIm.data(), a.FFTRe.data());
        benchmark::DoNotOptimize(a.FFTRe.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPoints));
}

// FFTW's complex single-precision transform of the same size, in place, planned with
// FFTW_MEASURE once before timing; the input is refilled as ours is.
void BM_Fftw65536(benchmark::State& state) {
    fftwf_complex* data = fftwf_alloc_complex(kPoints);
    fftwf_plan plan = fftwf_plan_dft_1d(static_cast<int>(kPoints), data, data, FFTW_FORWARD, FFTW_MEASURE);
    std::vector<float> x = randomValues(kPoints, 1);
    for (auto _ : state) {
        for (std::size_t m = 0; m < kPoints; ++m) {
            data[m][0] = x[m];
            data[m][1] = 0;
        }
        fftwf_execute(plan);
        benchmark::DoNotOptimize(data);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPoints));
    fftwf_destroy_plan(plan);
    fftwf_free(data);
}

BENCHMARK(BM_Transform65536)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TransformButterfliesOnly65536)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Fftw65536)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
