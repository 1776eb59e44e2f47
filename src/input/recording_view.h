// A loaded recording as the analyses read it: the raw codes, each column's range per division
// and the counts of analog and logic columns. It refers to what the loader produced; it copies
// nothing, so it must not outlive the table it names.
#pragma once

#include <array>

#include "input/sample_table.h"

namespace pqwave {

struct RecordingView {
    const RawSampleTable& table;
    const std::array<float, 16>& channelScale;
    int channelCount = 0;  // analog channels recorded; logic columns follow them
    int logicChannelCount = 0;
};

}  // namespace pqwave
