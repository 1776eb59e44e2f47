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

// The export is written beside the recording too, and removed afterwards.
struct LoadedRecording : pqwave::bench::LoadedRecording {
    fs::path& csv = output;
    fs::path cfg = fs::path(output).replace_extension(".cfg");

    LoadedRecording() { select(form.Option2[1]); }
    ~LoadedRecording() {
        for (const fs::path& p : {cfg, pqwave::comtradeDataPath(cfg)}) fs::remove(p);
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
