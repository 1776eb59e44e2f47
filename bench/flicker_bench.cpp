// Ten minutes of three line voltages through the flickermeter and delta V10, at a recorder's
// low and high sampling rates. One second of a 10 Hz fluctuation of a 50 Hz supply repeats
// seamlessly, so the bench measures the flicker work and not the signal's making.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "quality/flicker_analysis.h"
#include "tools/flicker_signals.h"

namespace {

constexpr int kSeconds = 600;

void BM_FlickerTenMinutes(benchmark::State& state) {
    const double sampleHz = static_cast<double>(state.range(0));
    const auto samples = static_cast<std::size_t>(sampleHz);
    const pqwave::gen::FlickerModulation modulation{pqwave::gen::FlickerShape::Sinusoidal, 10, 1.0, 0};
    std::vector<std::vector<float>> second(3, std::vector<float>(samples));
    for (int v = 0; v < 3; ++v) {
        const auto volts = pqwave::gen::modulatedVoltage(modulation, 6600 * std::sqrt(2.0), 50, 30 + 120.0 * v);
        for (std::size_t k = 0; k < samples; ++k)
            second[v][k] = static_cast<float>(volts(static_cast<double>(k) / sampleHz));
    }
    const float* voltages[] = {second[0].data(), second[1].data(), second[2].data()};
    pqwave::FlickerSettings settings;
    for (auto _ : state) {
        pqwave::FlickerAnalysis analysis(sampleHz, 3, settings);
        for (int s = 0; s < kSeconds; ++s) analysis.process(voltages, samples);
        pqwave::FlickerSeries series = analysis.finish();
        benchmark::DoNotOptimize(series.shortTerm.data());
    }
    state.SetItemsProcessed(state.iterations() * kSeconds * static_cast<std::int64_t>(samples) * 3);
}

BENCHMARK(BM_FlickerTenMinutes)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
