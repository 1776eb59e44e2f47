#include "display/full_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "input/channel_scale.h"

namespace pqwave {
namespace {

// The largest code a layout stores: 12-bit codes for the 8840 and the 886x (its words are kept
// on a 16-count scale), 16 bits for the others.
double largestCode(int formatCode) {
    return formatCode == 40 || formatCode == 86 ? 2048 : 32768;
}

// Range per division of the channel as its range text says, over the scale the samples carry:
// 1, except where the samples are scaled by the instrument's calibration (the 886x).
double rangeOverScale(const Recording& r, int channel) {
    const float scale = r.channelScale[static_cast<std::size_t>(channel)];
    for (int u = 0; u < kChannelPositions; ++u) {
        if (r.channels.channelMap[u] != channel) continue;
        const double range = channelScaleFromRange(r.facts.channels[u].range, r.facts.fileName);
        const double ratio = range / scale;
        return std::isfinite(ratio) && ratio > 0 ? ratio : 1;
    }
    return 1;
}

}  // namespace

double fullScaleCounts(const Recording& r, int channel) {
    if (channel < 0 || channel >= kChannelPositions) return 0;
    const double divisions = r.facts.kind == RecordingKind::Logger ? 1 : 10;
    const double counts = divisions * r.facts.countsPerDivision * rangeOverScale(r, channel);
    if (!std::isfinite(counts) || !(counts > 0)) return 0;
    return std::min(counts, largestCode(r.facts.layout.formatCode));
}

double bandMultiplier(double band, double counts, double fallback) {
    const double multiplier = band / counts;
    return std::isfinite(multiplier) && multiplier > 0 ? multiplier : fallback;
}

std::string multiplierText(double multiplier) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", multiplier);
    return text;
}

}  // namespace pqwave
