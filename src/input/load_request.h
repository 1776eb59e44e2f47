// From a parsed header to the loader's request, without the main window: what the header
// says about the recording (layout, counts, which positions hold a recorded channel) and the
// user's channel settings. The window shows the first and keeps it in its module values; the
// fuzz targets go from bytes to samples through the same rules.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "input/header.h"
#include "input/loader.h"

namespace pqwave {

struct RecordingLayout {
    int formatCode = 0;
    int headerBlocks = 0;
    int rmsDataFile = 0;
    double sampleCount = 0;  // as the header gives it, before rounding
    int channelCount = 0;
    int logicChannelCount = 0;
    int loggerExtraFlag = 0;  // set by logger files only
    // Position u shows the u-th recorded channel (an 8840 file keeps each channel at its own
    // position); `sourceOfPosition` is the 8840 channel, channel block or logger block that
    // gives its name and range.
    std::array<bool, 16> channelPresent{};
    std::array<int, 16> sourceOfPosition{};
};

RecordingLayout recordingLayoutOf(const Header8840& header);
RecordingLayout recordingLayoutOf(const BlockHeader& header);
RecordingLayout recordingLayoutOf(const LoggerHeader& header);
// Nothing for a file that is not recognised.
std::optional<RecordingLayout> recordingLayoutOf(const InstrumentHeader& header);

struct ChannelSettings {
    std::array<std::int16_t, 16> channelMap{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    std::array<bool, 16> invertedColumn{};
    bool swapFirstBlocks = false;  // 8840 files: the first block belongs to position 1
};

// The highest position that holds a recorded channel, or `previous` when none does.
int lastActiveChannelOf(const std::array<bool, 16>& recordedPosition, int previous);

// Refuses a sample count that does not fit 32 bits, naming the file.
LoadRequest loadRequestFor(const RecordingLayout& layout, const ChannelSettings& settings, int lastActiveChannel,
                           const std::string& fileName);

}  // namespace pqwave
