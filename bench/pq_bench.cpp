// The power-quality run (every quantity, 3-s aggregation, its three files) beside the interval
// analysis with the fundamental, the 5th harmonic and the frequency (its CSV file), on the same
// 16-channel, 1,000,000-sample recording in memory. Each reports the memory it took at its
// peak beyond what the process held before (VmHWM after clearing it, less VmRSS).
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "bench/bench_recordings.h"
#include "common/datetime.h"
#include "common/numbers.h"
#include "control/form1_model.h"
#include "quality/power_quality.h"
#include "quality/pq_files.h"
#include "quality/recording_signals.h"

namespace {

using pqwave::bench::LoadedRecording;

// Kilobytes of a /proc/self/status line ("VmHWM:", "VmRSS:").
double statusKilobytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::stod(line.substr(key.size()));
    return 0;
}

// Starts the peak-memory count afresh (Linux: writing 5 to clear_refs resets VmHWM).
double startPeakCount() {
    std::ofstream("/proc/self/clear_refs") << "5";
    return statusKilobytes("VmRSS:");
}

void reportPeak(benchmark::State& state, double startKilobytes) {
    state.counters["peak_MB"] = (statusKilobytes("VmHWM:") - startKilobytes) / 1024;
}

void BM_IntervalAnalysisHarmonicsFrequency(benchmark::State& state) {
    LoadedRecording r;
    pqwave::Form1Model& f = r.form;
    for (pqwave::Control* box : {&f.Check1, &f.Check3, &f.Check5}) setValue(*box, 1);
    const double start = startPeakCount();
    for (auto _ : state) {
        click(f.Command1);
        if (!r.host.error.empty()) state.SkipWithError(r.host.error.c_str());
    }
    reportPeak(state, start);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * (f.SampleTable.rows() - 1)));
}

void BM_PowerQualityThreeSeconds(benchmark::State& state) {
    LoadedRecording r;
    pqwave::Form1Model& f = r.form;
    pqwave::RecordingScaling scaling;
    scaling.fileName = f.Label1.text;
    scaling.sampleCount = static_cast<std::int64_t>(f.SampleCount);
    scaling.samplingHz = valOf(f.Label21);
    scaling.countsPerDivision = valOf(f.V_Div);
    scaling.ptRatio = valOf(f.Text7[0]);
    for (int c = 0; c < 7; ++c) scaling.circuits.push_back({valOf(f.Text7[c + 1])});
    const pqwave::RecordingView view{f.SampleTable, f.ChannelScale, f.ChannelCount, f.LogicChannelCount};
    const pqwave::RecordingSignals signals(view, scaling);
    pqwave::PqSettings settings;
    settings.fileName = f.Label1.text;
    settings.modelText = f.Label15[4].text;
    settings.startDateTime = *pqwave::DateValue(f.Label15[0].text) + *pqwave::TimeValue(f.Label15[1].text);
    settings.aggregation = pqwave::PqAggregation::ThreeSeconds;
    const pqwave::PqFileNames names = pqwave::pqFileNamesBeside(r.output);
    const double start = startPeakCount();
    std::size_t rows = 0;
    for (auto _ : state) {
        const pqwave::PqResult result = pqwave::runPowerQuality(settings, signals, f.progress);
        pqwave::writePqFiles(settings, result, names);
        rows = result.rows.size();
    }
    reportPeak(state, start);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * (f.SampleTable.rows() - 1)));
    state.counters["rows"] = static_cast<double>(rows);
    for (const auto& path : {names.harmonics, names.events}) std::filesystem::remove(path);
}

BENCHMARK(BM_IntervalAnalysisHarmonicsFrequency)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PowerQualityThreeSeconds)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
