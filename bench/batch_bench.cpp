// The all-files run over a folder of 50 recordings (4 channels, 100,000 samples each) with the
// interval analysis and its summary file, converting one file at a time and side by side.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "control/all_files_run.h"
#include "control/form1_model.h"
#include "tools/recording_generator.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 50;

// The folder of recordings, written once per process and removed when it ends.
struct RecordingFolder {
    fs::path path;
    ~RecordingFolder() { fs::remove_all(path); }
};

const fs::path& folderOfRecordings() {
    static const RecordingFolder folder{[] {
        fs::path path = fs::temp_directory_path() / ("pqwave-batch-bench-" + std::to_string(::getpid()));
        fs::create_directories(path);
        pqwave::gen::ThreePhaseSupply supply;
        supply.noise = 0.003;
        supply.circuits = {{100, 20, 200, {}}};
        for (int f = 0; f < kFiles; ++f) {
            pqwave::gen::RecordingSpec spec;
            spec.timePerDivision = "50ms";
            spec.sampleCount = 100'000;
            spec.channels = pqwave::gen::threePhaseChannels(supply);
            spec.seed = static_cast<std::uint32_t>(f + 1);
            spec.startTime = "10:" + std::string(f < 10 ? "0" : "") + std::to_string(f) + ":00";
            pqwave::gen::writeRecording(spec, path / ("REC" + std::to_string(1000 + f) + ".MEM"));
        }
        return path;
    }()};
    return folder.path;
}

std::unique_ptr<pqwave::Form1Model> startedModel() {
    auto model = std::make_unique<pqwave::Form1Model>(folderOfRecordings());
    model->Form_Load(2026);
    model->Dir1_Change(folderOfRecordings().string());
    select(model->Option1[1]);
    return model;
}

void BM_AllFilesRun(benchmark::State& state) {
    const int jobs = static_cast<int>(state.range(0));
    auto form = startedModel();
    for (auto _ : state) pqwave::runAllFiles(*form, jobs);
    state.SetItemsProcessed(state.iterations() * kFiles);
    state.counters["files_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kFiles), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_AllFilesRun)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
