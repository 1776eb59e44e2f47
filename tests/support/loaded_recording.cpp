#include "support/loaded_recording.h"

#include <stdexcept>

namespace pqwave::testing {

LoadedRecording::LoadedRecording(const gen::RecordingSpec& spec, const std::string& name) {
    written = folder.write(name, spec);
    model.click(name);
    form.DTLood();
    if (form.LoadedFileName() != form.Label1.text) throw std::runtime_error(name + " did not load");
}

gen::RecordingSpec codeRecording(const std::vector<std::vector<std::int16_t>>& channels) {
    gen::RecordingSpec spec;
    spec.timePerDivision = "10ms";
    spec.samplesPerDivision = 100;
    spec.sampleCount = static_cast<int>(channels.front().size());
    spec.channels.clear();
    for (const auto& codes : channels) {
        gen::ChannelSpec channel;
        channel.codes = codes;
        spec.channels.push_back(channel);
    }
    return spec;
}

}  // namespace pqwave::testing
