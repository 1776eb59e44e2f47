// The power-quality run (every quantity, 3-s aggregation, its three files) beside the interval
// analysis with the fundamental, the 5th harmonic and the frequency (its CSV file), on the same
// 16-channel, 1,000,000-sample recording in memory. Each reports the most heap memory its run
// held at once beyond what was held before it (the loaded recording is not counted).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
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

// Every allocation of this program through operator new, counted: what is held now and the
// most held at once.
std::atomic<std::size_t> heldBytes{0}, peakBytes{0};

void* allocate(std::size_t bytes) {
    // The size is kept in front of the block, so that delete knows what it gives back.
    auto* block = static_cast<std::max_align_t*>(std::malloc(bytes + sizeof(std::max_align_t)));
    if (!block) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(block) = bytes;
    const std::size_t held = heldBytes += bytes;
    std::size_t peak = peakBytes.load();
    while (held > peak && !peakBytes.compare_exchange_weak(peak, held)) {
    }
    return block + 1;
}

void release(void* p) {
    if (!p) return;
    auto* block = static_cast<std::max_align_t*>(p) - 1;
    heldBytes -= *reinterpret_cast<std::size_t*>(block);
    std::free(block);
}

std::size_t startPeakCount() {
    peakBytes = heldBytes.load();
    return heldBytes.load();
}

void reportPeak(benchmark::State& state, std::size_t startBytes) {
    state.counters["peak_MB"] = static_cast<double>(peakBytes.load() - startBytes) / (1024 * 1024);
}

void BM_IntervalAnalysisHarmonicsFrequency(benchmark::State& state) {
    LoadedRecording r;
    pqwave::Form1Model& f = r.form;
    for (pqwave::Control* box : {&f.Check1, &f.Check3, &f.Check5}) setValue(*box, 1);
    const std::size_t start = startPeakCount();
    for (auto _ : state) {
        click(f.Command1);
        if (!r.host.error.empty()) state.SkipWithError(r.host.error.c_str());
    }
    reportPeak(state, start);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * (f.SampleTable().rows() - 1)));
}

void BM_PowerQualityThreeSeconds(benchmark::State& state) {
    LoadedRecording r;
    pqwave::Form1Model& f = r.form;
    pqwave::RecordingScaling scaling;
    scaling.fileName = f.Label1.text;
    scaling.sampleCount = static_cast<std::int64_t>(f.SampleCount());
    scaling.samplingHz = valOf(f.Label21);
    scaling.countsPerDivision = valOf(f.V_Div);
    scaling.ptRatio = valOf(f.Text7[0]);
    for (int c = 0; c < 7; ++c) scaling.clampAmps.push_back(valOf(f.Text7[c + 1]));
    const pqwave::RecordingView view{f.SampleTable(), f.ChannelScale(), f.ChannelCount(), f.LogicChannelCount()};
    const pqwave::RecordingSignals signals(view, scaling);
    pqwave::PqSettings settings;
    settings.fileName = f.Label1.text;
    settings.modelText = f.Label15[4].text;
    settings.startDateTime = *pqwave::DateValue(f.Label15[0].text) + *pqwave::TimeValue(f.Label15[1].text);
    settings.aggregation = pqwave::PqAggregation::ThreeSeconds;
    const pqwave::PqFileNames names = pqwave::pqFileNamesBeside(r.output);
    const std::size_t start = startPeakCount();
    std::size_t rows = 0;
    for (auto _ : state) {
        const pqwave::PqResult result = pqwave::runPowerQuality(settings, signals, f.progress);
        pqwave::writePqFiles(settings, result, names);
        rows = result.rows.size();
    }
    reportPeak(state, start);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * (f.SampleTable().rows() - 1)));
    state.counters["rows"] = static_cast<double>(rows);
    for (const auto& path : {names.harmonics, names.events}) std::filesystem::remove(path);
}

BENCHMARK(BM_IntervalAnalysisHarmonicsFrequency)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PowerQualityThreeSeconds)->Unit(benchmark::kMillisecond);

}  // namespace

void* operator new(std::size_t bytes) {
    return allocate(bytes);
}
void* operator new[](std::size_t bytes) {
    return allocate(bytes);
}
void operator delete(void* p) noexcept {
    release(p);
}
void operator delete[](void* p) noexcept {
    release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    release(p);
}

BENCHMARK_MAIN();
