// The COMTRADE export of a 16-channel, 1,000,000-sample recording already in memory, BINARY
// and ASCII, and the raw-data CSV of the same recording and settings in the same run, so the
// two outputs can be compared on one machine at one moment. All include writing the files.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/bench_recordings.h"
#include "control/comtrade_export.h"
#include "control/form1_model.h"

namespace {

namespace fs = std::filesystem;

class QuietHost : public pqwave::Form1Host {
public:
    void reportError(pqwave::ErrorKind, const std::string& message) override { error = message; }
    std::string error;
};

struct LoadedRecording {
    QuietHost host;
    pqwave::Form1Model form;
    fs::path csv, cfg;

    LoadedRecording() : form(pqwave::bench::largeRecording(41).parent_path(), &host) {
        fs::path file = pqwave::bench::largeRecording(41);
        form.Form_Load(2026);
        form.Dir1_Change(file.parent_path().string());
        form.File1_Click(file.filename().string());
        form.DTLood();
        select(form.Option2[1]);
        csv = fs::path(file).replace_extension(".csv");
        cfg = fs::path(file).replace_extension(".cfg");
        setText(form.Text5, csv.string());
    }
    ~LoadedRecording() {
        for (const fs::path& p : {csv, cfg, pqwave::comtradeDataPath(cfg)}) fs::remove(p);
    }
};

void report(benchmark::State& state, const fs::path& file) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 1'000'000);
    state.counters["MB"] = static_cast<double>(fs::file_size(file)) / 1e6;
}

void BM_RawDataCsv(benchmark::State& state) {
    LoadedRecording r;
    for (auto _ : state) {
        click(r.form.Command1);
        if (!r.host.error.empty()) state.SkipWithError(r.host.error.c_str());
    }
    report(state, r.csv);
}

void BM_ComtradeExport(benchmark::State& state) {
    LoadedRecording r;
    const auto format = state.range(0) == 0 ? pqwave::ComtradeFormat::Binary : pqwave::ComtradeFormat::Ascii;
    for (auto _ : state)
        if (!pqwave::exportComtrade(r.form, r.cfg, format)) state.SkipWithError(r.host.error.c_str());
    report(state, pqwave::comtradeDataPath(r.cfg));
}

BENCHMARK(BM_RawDataCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComtradeExport)->Arg(0)->Arg(1)->ArgName("ascii")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
