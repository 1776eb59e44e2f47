// The power-quality measurement of a 10-minute recording of the three line voltages (a 10 Hz
// fluctuation on a 6600 V supply through a PT of 60) at a recorder's low and high sampling
// rates, with and without the flickermeter and delta V10 fed from the same pass: flicker should
// add at most the time of the measurement itself. Rapid voltage changes run in both.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>

#include "control/power_quality_run.h"
#include "input/recording.h"
#include "tools/flicker_signals.h"

namespace {

namespace fs = std::filesystem;

// Written once per rate into the temporary folder, loaded once.
std::shared_ptr<const pqwave::Recording> tenMinutesAt(int samplingHz) {
    static std::map<int, std::shared_ptr<const pqwave::Recording>> loaded;
    auto& recording = loaded[samplingHz];
    if (recording) return recording;
    pqwave::gen::FlickerRecording r;
    r.modulation = {pqwave::gen::FlickerShape::Sinusoidal, 10, 1.0, 0};
    r.sampleHz = samplingHz;
    const fs::path path = fs::temp_directory_path() / ("pqwave_bench_flicker_" + std::to_string(samplingHz) + ".MEM");
    pqwave::gen::writeRecording(pqwave::gen::flickerRecordingSpec(r), path);
    recording = std::make_shared<const pqwave::Recording>(
        pqwave::loadRecording(pqwave::readRecordingFacts(path), pqwave::ChannelSettings{}, 0));
    fs::remove(path);
    return recording;
}

void measure(benchmark::State& state, bool flicker) {
    const auto recording = tenMinutesAt(static_cast<int>(state.range(0)));
    pqwave::ConversionJob job;
    job.power.ptRatio = 60;
    job.power.supplyFrequency = 50;
    pqwave::Progress progress;
    pqwave::PqMeasurementOptions options;
    options.flicker = flicker;
    std::size_t minutes = 0;
    for (auto _ : state) {
        const pqwave::PqMeasurement m = pqwave::measureRecording(job, *recording, {}, progress, options);
        minutes = m.flicker.minutes.size();
        benchmark::DoNotOptimize(m.result.rows.data());
    }
    state.counters["flicker_minutes"] = static_cast<double>(minutes);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(recording->facts.sampleCount));
}

void BM_PowerQualityTenMinutes(benchmark::State& state) {
    measure(state, false);
}
void BM_PowerQualityWithFlickerTenMinutes(benchmark::State& state) {
    measure(state, true);
}

BENCHMARK(BM_PowerQualityTenMinutes)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PowerQualityWithFlickerTenMinutes)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
