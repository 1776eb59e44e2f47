// The data loader: turns the data part of an instrument file into the sample table, with
// raw codes centred on zero, polarity inversion and the channel assignment applied.
// Counts are checked against the bytes present before any memory is reserved, so memory
// follows the file's size, never a number in its header.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "input/byte_source.h"
#include "input/sample_table.h"

namespace pqwave {

struct LoadRequest {
    int formatCode = 0;    // data layout 40, 41, 80, 47, 20 or 86
    int headerBlocks = 0;  // header size in 1024-byte (layout 40) or 512-byte blocks
    std::int64_t sampleCount = 0;
    int channelCount = 0;
    int logicChannelCount = 0;
    int rmsDataFile = 0;  // 1: two values (maximum, minimum) per channel and sample
    int loggerExtraFlag = 0;
    int lastActiveChannel = 0;                  // layout 47 stores channels 0..lastActiveChannel
    std::array<std::int16_t, 16> channelMap{};  // file channel k goes to column channelMap[k]
    std::array<bool, 16> invertedPosition{};    // values stored in column p are negated
    std::array<bool, 16> recordedPosition{};    // layout 40: a block is present for position p
    bool swapFirstBlocks = false;               // layout 40: the first block belongs to position 1
};

struct LoadResult {
    RawSampleTable table;
    bool hasData = true;                  // false: an 886x file whose data tags are missing
    std::string missingData;              // what was missing, for the warning
    std::array<float, 48> calibration{};  // layout 86: gain, offset, unit factor per channel
    std::int64_t clippedValues = 0;       // raw codes beyond 16 bits, stored at the limit
};

LoadResult loadSamples(const ByteSource& source, const LoadRequest& request);

}  // namespace pqwave
