// Loading a large recording from the page cache: the whole DTLood, as a conversion runs it.
#include <benchmark/benchmark.h>

#include "bench/bench_recordings.h"
#include "control/form1_model.h"
#include "input/file_bytes.h"

namespace {

void loadLayout(benchmark::State& state, int layout) {
    std::filesystem::path file = pqwave::bench::largeRecording(layout);
    pqwave::Form1Model form(file.parent_path());
    form.Form_Load(2026);
    form.Dir1_Change(file.parent_path().string());
    form.File1_Click(file.filename().string());
    for (auto _ : state) {
        form.DTLood();
        benchmark::DoNotOptimize(form.SampleTable().row(0));
    }
    std::uintmax_t bytes = pqwave::fileSizeOf(file);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["samples"] = static_cast<double>(form.SampleTable().rows() - 1);
    state.counters["columns"] = static_cast<double>(form.SampleTable().columns());
}

void BM_LoadLayout41(benchmark::State& state) {
    loadLayout(state, 41);
}
void BM_LoadLayout40(benchmark::State& state) {
    loadLayout(state, 40);
}
void BM_LoadLayout86(benchmark::State& state) {
    loadLayout(state, 86);
}

BENCHMARK(BM_LoadLayout41)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLayout40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLayout86)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
