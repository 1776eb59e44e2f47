// Large generated recordings for the benchmarks, written once per process into the
// temporary folder and read from the page cache afterwards.
#pragma once

#include <filesystem>
#include <string>

#include "control/form1_model.h"
#include "tools/recording_generator.h"

namespace pqwave::bench {

// Seven circuits on a three-phase supply, 16 channels sampled at 2 kHz, `samples` per channel.
gen::RecordingSpec benchRecordingSpec(int layout, int samples);

// A 16-channel, 1,000,000-sample recording of the given data layout (seven circuits on a
// three-phase supply where the layout records waveforms).
std::filesystem::path largeRecording(int layout);

// The layout-41 recording clicked and loaded in a model started as the program starts, with
// the output ("CSV変換", Text5) named beside it and removed afterwards. Errors are kept.
struct LoadedRecording {
    LoadedRecording();
    ~LoadedRecording();
    LoadedRecording(const LoadedRecording&) = delete;
    LoadedRecording& operator=(const LoadedRecording&) = delete;

    struct QuietHost : Form1Host {
        void reportError(ErrorKind, const std::string& message) override { error = message; }
        std::string error;
    } host;
    Form1Model form;
    std::filesystem::path output;
};

}  // namespace pqwave::bench
