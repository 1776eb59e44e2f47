// A loaded recording as one value: the facts of its header, the channel assignment its samples
// were stored under, the sample table and each column's range per division. The window model
// holds one; the all-files run holds one per file it converts; the analyses read it.
#pragma once

#include <array>
#include <cstdint>

#include "input/byte_source.h"
#include "input/recording_facts.h"
#include "input/recording_view.h"
#include "input/sample_table.h"

namespace pqwave {

struct Recording {
    RecordingFacts facts;
    ChannelSettings channels;   // the assignment and inversions the samples were stored under
    int lastActiveChannel = 0;  // the highest column that holds a recorded channel
    RawSampleTable table;
    std::array<float, kChannelPositions> channelScale{};  // range per division, by column
    std::array<float, 48> calibration{};                  // layout 86: gain, offset, unit per channel
    std::int64_t clippedValues = 0;                       // codes beyond 16 bits, stored at the limit

    RecordingView view() const { return {table, channelScale, facts.channelCount(), facts.layout.logicChannelCount}; }
};

// Loads the samples the facts describe. A file without a recorded channel position keeps the
// `previousLastActiveChannel`, as the window's loader does. Throws Error when the file cannot
// be read, is shorter than its header promises, or holds no sample data.
Recording loadRecording(const RecordingFacts& facts, const ChannelSettings& channels, int previousLastActiveChannel);
// The same from bytes already at hand (the fuzz targets read from memory).
Recording loadRecording(const RecordingFacts& facts, const ChannelSettings& channels, int previousLastActiveChannel,
                        const ByteSource& source);

}  // namespace pqwave
