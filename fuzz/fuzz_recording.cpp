#include "fuzz/fuzz_recording.h"

#include <optional>
#include <span>
#include <utility>

#include "common/error.h"
#include "input/byte_source.h"
#include "input/header.h"
#include "input/load_request.h"
#include "input/loader.h"

namespace pqwave::fuzz {
namespace {

// Bits 0-3 choose what is changed, bits 4-7 the position it applies to.
ChannelSettings settingsFrom(std::uint8_t options, RecordingLayout& layout) {
    ChannelSettings settings;
    const int position = options >> 4;
    settings.swapFirstBlocks = (options & 1) != 0;
    if (options & 2) std::swap(settings.channelMap[0], settings.channelMap[position]);
    if (options & 4) settings.invertedColumn[position] = true;
    // The window never gives an 8840 file logic groups, but the loader reads them when asked.
    if ((options & 8) && layout.formatCode == 40) layout.logicChannelCount = 1 + position % 3;
    return settings;
}

}  // namespace

void runRecording(const std::uint8_t* data, std::size_t size, Depth depth) {
    const auto bytes = std::as_bytes(std::span(data, size));
    try {
        std::optional<RecordingLayout> layout = recordingLayoutOf(parseHeader(bytes, "input"));
        if (!layout || depth == Depth::HeaderOnly) return;
        const std::uint8_t options = size > 0 ? data[size - 1] : 0;
        ChannelSettings settings = settingsFrom(options, *layout);
        int lastActive = lastActiveChannelOf(layout->channelPresent, options >> 4);
        MemoryByteSource source(bytes, "input");
        loadSamples(source, loadRequestFor(*layout, settings, lastActive, "input"));
    } catch (const Error&) {
        // A refused file is a fine outcome; a crash or a sanitizer report is not.
    }
}

}  // namespace pqwave::fuzz
