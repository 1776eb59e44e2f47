// The spectrum runs: one 65 536-point transform beside FFTW's single-precision transform of
// the same size, the channel FFT of a 16-column recording, and the moving FFT of a 16-channel,
// 1,000,000-sample recording with its window files written.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <filesystem>
#include <random>
#include <vector>

#include "bench/bench_recordings.h"
#include "control/form1_model.h"
#include "spectrum/fft.h"
#include "spectrum/moving_fft.h"

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

// FFTW's transform alone: out of place, so the input needs no refill between runs.
void BM_FftwTransformOnly65536(benchmark::State& state) {
    fftwf_complex* in = fftwf_alloc_complex(kPoints);
    fftwf_complex* out = fftwf_alloc_complex(kPoints);
    fftwf_plan plan = fftwf_plan_dft_1d(static_cast<int>(kPoints), in, out, FFTW_FORWARD, FFTW_MEASURE);
    std::vector<float> x = randomValues(kPoints, 1);
    for (std::size_t m = 0; m < kPoints; ++m) {
        in[m][0] = x[m];
        in[m][1] = 0;
    }
    for (auto _ : state) {
        fftwf_execute(plan);
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPoints));
    fftwf_destroy_plan(plan);
    fftwf_free(in);
    fftwf_free(out);
}

// The 16-channel, 1,000,000-sample recording at 2 kHz, loaded, with the output named beside it;
// the moving FFT's window files go there too.
struct LoadedRecording : pqwave::bench::LoadedRecording {
    std::uintmax_t bytesWritten() const {
        std::uintmax_t bytes = 0;
        if (std::filesystem::exists(output)) bytes += std::filesystem::file_size(output);
        for (int c = 0; c < 16; ++c) {
            std::filesystem::path window = pqwave::movingFftWindowFile(output.string(), c);
            if (std::filesystem::exists(window)) bytes += std::filesystem::file_size(window);
        }
        return bytes;
    }
    ~LoadedRecording() {
        for (int c = 0; c < 16; ++c) std::filesystem::remove(pqwave::movingFftWindowFile(output.string(), c));
    }
};

void runConversions(benchmark::State& state, LoadedRecording& r) {
    for (auto _ : state) {
        click(r.form.Command1);
        if (!r.host.error.empty()) state.SkipWithError(r.host.error.c_str());
    }
    state.counters["MB"] = static_cast<double>(r.bytesWritten()) / 1e6;
}

// "CHデータFFT": 16 columns of 65 536 points, 32 769 lines written.
void BM_ChannelFft16Columns(benchmark::State& state) {
    LoadedRecording r;
    select(r.form.Option2[3]);
    runConversions(state, r);
}

// "時間移動FFT": 2^8-point windows every 10 ms over 500 s, 16 channels, bins 7..127 written.
void BM_MovingFft16Channels(benchmark::State& state) {
    LoadedRecording r;
    select(r.form.Option2[3]);
    setValue(r.form.Check4, 1);
    setText(r.form.Text11, "8");
    setText(r.form.Text12, "10");
    // The header's record length is read from its first four characters ("1000" of "10000"
    // divisions), so LabSTim shows 50 s; the windows are to cover the whole 500 s.
    setText(r.form.LabSTim, "500");
    runConversions(state, r);
    state.counters["windows"] =
        16 * (static_cast<double>(static_cast<long>((pqwave::Val(r.form.LabSTim.text) * 1000 - 128) / 10)));
}

BENCHMARK(BM_Transform65536)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TransformButterfliesOnly65536)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Fftw65536)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FftwTransformOnly65536)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChannelFft16Columns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MovingFft16Channels)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
