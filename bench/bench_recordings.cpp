#include "bench/bench_recordings.h"

#include <unistd.h>

#include <map>

namespace pqwave::bench {

// The recordings of this process, removed when it ends.
struct WrittenRecordings {
    std::map<int, std::filesystem::path> paths;
    ~WrittenRecordings() {
        for (const auto& [layout, path] : paths) std::filesystem::remove(path);
    }
};

gen::RecordingSpec benchRecordingSpec(int layout, int samples) {
    gen::ThreePhaseSupply supply;
    supply.lineVolts = 110;
    supply.noise = 0.003;
    supply.harmonics = {{5, 3, 0}};
    for (int c = 0; c < 7; ++c) supply.circuits.push_back({50.0 + 10 * c, 10.0 * c, 200, {{5, 4, 20}}});
    gen::RecordingSpec spec;
    spec.layout = layout;
    spec.timePerDivision = "50ms";
    spec.sampleCount = samples;
    spec.channels = gen::threePhaseChannels(supply);
    if (layout == 40) spec.channels.resize(8);  // the 8840 records eight channels
    if (layout == 86)
        for (std::size_t k = 2; k < spec.channels.size(); ++k) spec.channels[k].calibration.gainExponent = -5;
    return spec;
}

std::filesystem::path largeRecording(int layout) {
    static WrittenRecordings recordings;
    std::map<int, std::filesystem::path>& written = recordings.paths;
    if (auto it = written.find(layout); it != written.end()) return it->second;
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("pqwave-bench-" + std::to_string(::getpid()) + "-" + std::to_string(layout) + ".mem");
    gen::writeRecording(benchRecordingSpec(layout, 1'000'000), path);
    written[layout] = path;
    return path;
}

LoadedRecording::LoadedRecording() : form(largeRecording(41).parent_path(), &host) {
    const std::filesystem::path file = largeRecording(41);
    form.Form_Load(2026);
    form.Dir1_Change(file.parent_path().string());
    form.File1_Click(file.filename().string());
    form.DTLood();
    output = std::filesystem::path(file).replace_extension(".csv");
    setText(form.Text5, output.string());
}

LoadedRecording::~LoadedRecording() {
    std::filesystem::remove(output);
}

}  // namespace pqwave::bench
