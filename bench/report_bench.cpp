// The report of a one-hour survey (6 channels: the two voltage channels and two circuits, at
// 2 kHz, with dips, a swell and harmonics): the power-quality run the report needs (flicker
// and 3-s extremes included), and, apart from it, the report itself from the measured values
// to the file in place. The report should add under 5 s to its run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "control/pq_survey.h"
#include "input/recording.h"
#include "report/report_file.h"
#include "tools/pq_signals.h"

namespace {

namespace fs = std::filesystem;

std::shared_ptr<const pqwave::Recording> oneHour() {
    static std::shared_ptr<const pqwave::Recording> recording;
    if (recording) return recording;
    pqwave::gen::PqSupply supply;
    supply.lineVolts = 6600;
    supply.tones = {{5, 4, 0}, {7, 2.5, 0}, {11, 1.2, 0}};
    supply.circuits = {{100, 20, 200, {}}, {50, 30, 200, {}}};
    for (int k = 0; k < 6; ++k) supply.changes.push_back({300.0 + 600 * k, 0.1 + 0.3 * k, {0.6, 0.6, 1}});
    supply.changes.push_back({1750, 0.4, {1.15, 1.15, 1.15}});
    pqwave::gen::RecordingSpec spec;
    spec.timePerDivision = "50ms";  // 2 kHz
    spec.sampleCount = 3600 * 2000;
    spec.channels = pqwave::gen::pqChannels(supply, {60, "50V", "500mV"});
    const fs::path path = fs::temp_directory_path() / "pqwave_bench_report_hour.MEM";
    pqwave::gen::writeRecording(spec, path);
    recording = std::make_shared<const pqwave::Recording>(
        pqwave::loadRecording(pqwave::readRecordingFacts(path), pqwave::ChannelSettings{}, 0));
    fs::remove(path);
    return recording;
}

pqwave::ConversionJob jobOfTheSurvey() {
    pqwave::ConversionJob job;
    job.power.ptRatio = 60;
    job.power.clampAmps.fill(200);
    job.power.supplyFrequency = 50;
    return job;
}

void BM_PowerQualityRunOfTheReport(benchmark::State& state) {
    const auto recording = oneHour();
    pqwave::Progress progress;
    for (auto _ : state) {
        const pqwave::SurveyRecording r = pqwave::surveyRecordingOf(jobOfTheSurvey(), *recording, {6600}, progress);
        benchmark::DoNotOptimize(r.measurement.result.rows.data());
    }
    state.counters["channels"] = recording->facts.channelCount();
}

void BM_ReportBeyondTheRun(benchmark::State& state) {
    const auto recording = oneHour();
    pqwave::Progress progress;
    pqwave::PqSurvey survey;
    survey.name = recording->facts.fileName;
    survey.recordings.push_back(pqwave::surveyRecordingOf(jobOfTheSurvey(), *recording, {6600}, progress));
    const fs::path output = fs::temp_directory_path() / "pqwave_bench_report.html";
    pqwave::ReportOptions options;
    for (auto _ : state) pqwave::writeReportFile(survey, options, output);
    state.counters["bytes"] = static_cast<double>(fs::file_size(output));
    state.counters["events"] = static_cast<double>(survey.recordings.front().measurement.result.events.size());
    fs::remove(output);
}

BENCHMARK(BM_PowerQualityRunOfTheReport)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReportBeyondTheRun)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
