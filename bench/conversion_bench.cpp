// Whole conversion runs on a 16-channel, 1,000,000-sample recording already in memory:
// the raw-data CSV of every channel, and the interval analysis with every option on. Both
// include formatting and writing the CSV file.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/bench_recordings.h"
#include "control/form1_model.h"

namespace {

class QuietHost : public pqwave::Form1Host {
public:
    void reportError(pqwave::ErrorKind, const std::string& message) override { error = message; }
    std::string error;
};

struct LoadedRecording {
    QuietHost host;
    pqwave::Form1Model form;
    std::filesystem::path output;

    LoadedRecording() : form(pqwave::bench::largeRecording(41).parent_path(), &host) {
        std::filesystem::path file = pqwave::bench::largeRecording(41);
        form.Form_Load(2026);
        form.Dir1_Change(file.parent_path().string());
        form.File1_Click(file.filename().string());
        form.DTLood();
        output = file;
        output.replace_extension(".csv");
        setText(form.Text5, output.string());
    }
    ~LoadedRecording() { std::filesystem::remove(output); }
};

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
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * (f.SampleTable.rows() - 1)));
    state.counters["rows"] = f.IntervalCount;
}

void BM_IntervalAnalysisPlain(benchmark::State& state) {
    LoadedRecording r;
    for (auto _ : state) {
        click(r.form.Command1);
        if (!r.host.error.empty()) state.SkipWithError(r.host.error.c_str());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * (r.form.SampleTable.rows() - 1)));
}

BENCHMARK(BM_RawDataCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IntervalAnalysisPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IntervalAnalysisEveryOption)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
