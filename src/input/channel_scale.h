// The range of a column in volts (or amperes) per division, from the range text the header
// shows, e.g. "500mV/DIV" gives 0.5. A current range of an RMS file (its name ends in
// "rms") counts ten divisions to the range, otherwise four.
#pragma once

#include <array>
#include <string_view>

namespace pqwave {

float channelScaleFromRange(std::string_view rangeText, std::string_view fileName);

// The 886x calibrates each channel: counts per division x unit factor x gain / 1000 x 16.
float calibratedChannelScale(double countsPerDivision, float gain, float unitFactor);

}  // namespace pqwave
