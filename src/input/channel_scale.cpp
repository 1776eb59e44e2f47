#include "input/channel_scale.h"

#include "common/numbers.h"
#include "common/text.h"

namespace pqwave {

float channelScaleFromRange(std::string_view rangeText, std::string_view fileName) {
    bool amperes = contains(rangeText, "A");
    if (contains(rangeText, "mV")) return static_cast<float>(Val(leftChars(rangeText, 3)) / 1000);
    if (toLowerAscii(rightChars(fileName, 3)) == "rms" && amperes) return static_cast<float>(Val(rangeText) / 10);
    if (!amperes) return static_cast<float>(Val(leftChars(rangeText, 3)));
    return static_cast<float>(Val(rangeText) / 4);
}

float calibratedChannelScale(double countsPerDivision, float gain, float unitFactor) {
    return static_cast<float>(countsPerDivision * unitFactor * gain / 1000 * 16);
}

}  // namespace pqwave
