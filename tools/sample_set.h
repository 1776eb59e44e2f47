// The sample recordings bundled with the program: one per data layout, with a three-phase
// supply and current circuits where the layout records waveforms, so that the program
// opens on real-looking data.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/recording_generator.h"

namespace pqwave::gen {

struct SampleRecording {
    std::string fileName;
    RecordingSpec spec;
};

std::vector<SampleRecording> sampleSet();
void writeSampleSet(const std::filesystem::path& folder);

}  // namespace pqwave::gen
