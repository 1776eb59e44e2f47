// Whole conversion runs on a 16-channel, 1,000,000-sample recording already in memory:
// the raw-data CSV of every channel, the interval analysis with every option on, and the 10 ms
// moving average beside the interval analysis with the same options. All include formatting
// and writing the CSV file.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_recordings.h"
#include "common/numbers.h"
#include "control/form1_model.h"

namespace {

using pqwave::bench::LoadedRecording;

void BM_RawDataCsv(benchmark::State& state) {
    LoadedRecording r;
    select(r.form.Option2[1]);
    for (auto _ : state) {
        click(r.form.Command1);
        if (!r.host.error.empty()) state.SkipWithError(r.host.error.c_str());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(r.output)));
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(r.output)) / 1e6;
}

void BM_IntervalAnalysisEveryOption(benchmark::State& state) {
    LoadedRecording r;
    pqwave::Form1Model& f = r.form;
    for (pqwave::Control* box : {&f.Check1, &f.Check3, &f.Check5, &f.Check6, &f.Check12[0], &f.Check12[1]})
        setValue(*box, 1);
    setText(f.Text9[0], "0.1");
    setText(f.Text9[1], "0.2");
    setText(f.Text9[3], "0.5");
    setText(f.Text8[1], "3");
    for (auto _ : state) {
        click(f.Command1);
        if (!r.host.error.empty()) state.SkipWithError(r.host.error.c_str());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * (f.SampleTable().rows() - 1)));
    state.counters["rows"] = f.lastConversion() ? f.lastConversion()->interval.intervalCount : 0;
}

void BM_IntervalAnalysisPlain(benchmark::State& state) {
    LoadedRecording r;
    for (auto _ : state) {
        click(r.form.Command1);
        if (!r.host.error.empty()) state.SkipWithError(r.host.error.c_str());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * (r.form.SampleTable().rows() - 1)));
}

// Every circuit's currents turned: polarity inverted on some, the star-delta transform on all.
void BM_IntervalAnalysisStarDelta(benchmark::State& state) {
    LoadedRecording r;
    pqwave::Form1Model& f = r.form;
    for (int c = 0; c < pqwave::circuitCountOf(f.ChannelCount()); ++c) {
        setValue(c % 2 == 0 ? f.Check9[c] : f.Check8[c], 1);
        if (c % 3 == 0) setValue(f.Check7[c], 1);
    }
    for (auto _ : state) {
        click(f.Command1);
        if (!r.host.error.empty()) state.SkipWithError(r.host.error.c_str());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * (f.SampleTable().rows() - 1)));
}

// The options the moving average shares with the interval analysis: per-phase values and both
// compensation values (it computes no harmonics and no frequency).
void chooseMovingAverageOptions(pqwave::Form1Model& f) {
    for (pqwave::Control* box : {&f.Check6, &f.Check12[0], &f.Check12[1]}) setValue(*box, 1);
    setText(f.Text9[0], "0.1");
    setText(f.Text9[1], "0.2");
    setText(f.Text9[3], "0.5");
    setText(f.Text8[1], "3");
}

void BM_IntervalAnalysisMovingAverageOptions(benchmark::State& state) {
    LoadedRecording r;
    chooseMovingAverageOptions(r.form);
    for (auto _ : state) {
        click(r.form.Command1);
        if (!r.host.error.empty()) state.SkipWithError(r.host.error.c_str());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * (r.form.SampleTable().rows() - 1)));
}

void BM_MovingAverageEveryOption(benchmark::State& state) {
    LoadedRecording r;
    chooseMovingAverageOptions(r.form);
    setValue(r.form.Check13, 1);
    for (auto _ : state) {
        click(r.form.Command1);
        if (!r.host.error.empty()) state.SkipWithError(r.host.error.c_str());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * (r.form.SampleTable().rows() - 1)));
    state.counters["rows"] = r.form.lastConversion() ? r.form.lastConversion()->interval.intervalCount : 0;
}

// How far the last row of the moving average, kept in running single-precision sums over
// the whole record, lies from a re-summation of its windows in double precision.
void BM_MovingAverageDrift(benchmark::State& state) {
    LoadedRecording r;
    pqwave::Form1Model& f = r.form;
    setValue(f.Check13, 1);
    for (auto _ : state) click(f.Command1);
    std::ifstream in(r.output, std::ios::binary);
    std::string line, last;
    while (std::getline(in, line)) last = line;
    std::vector<double> fields;
    for (std::size_t from = 0, comma; from <= last.size(); from = comma + 1) {
        comma = last.find(',', from);
        if (comma == std::string::npos) comma = last.size();
        fields.push_back(std::stod(last.substr(from, comma - from)));
    }
    const double n = pqwave::Val(f.Lab1OutN.text), vd = pqwave::Val(f.V_Div.text), pt = 60, ct = 200;
    const long long L = static_cast<long long>(n), sc10 = 20;
    const long long row = static_cast<long long>(std::llround(fields[0] * 1000 / pqwave::Val(f.Text1.text)));
    const long long step = row * L + sc10 + 1;  // the step that wrote the row
    double lineSquares = 0, power = 0;
    for (long long j = step - sc10 + 1; j <= step; ++j)  // the ring: the windows of the last 10 ms
        for (long long s = j + 1; s <= j + static_cast<long long>(n); ++s) {
            const std::int16_t* x = f.SampleTable().row(static_cast<std::size_t>(s));
            double v1 = static_cast<float>(x[0] * f.ChannelScale()[0]),
                   v2 = static_cast<float>(x[1] * f.ChannelScale()[1]);
            double a = static_cast<float>(x[2] * f.ChannelScale()[2]),
                   b = static_cast<float>(x[3] * f.ChannelScale()[3]);
            lineSquares += v1 * v1 + v2 * v2 + (v1 - v2) * (v1 - v2);
            power += v1 * a + v2 * b;
        }
    const double exactV = std::sqrt(lineSquares / sc10 / 3 / n) / vd * pt;
    const double exactP = power / sc10 / n / (vd * vd) * pt * ct / 0.2 / 1000;
    state.counters["V_relative_drift"] = (fields[1] - exactV) / exactV;
    state.counters["P1_relative_drift"] = (fields[2 + 7] - exactP) / exactP;
}

BENCHMARK(BM_RawDataCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IntervalAnalysisPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IntervalAnalysisEveryOption)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IntervalAnalysisStarDelta)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IntervalAnalysisMovingAverageOptions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MovingAverageEveryOption)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MovingAverageDrift)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
