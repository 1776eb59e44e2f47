// The scale the display windows start with for a recording: a multiplier from raw counts to
// the window's units, chosen so that a channel at its full scale fills the band the window
// gives it. Full scale is what the instrument's own screen spans: 10 divisions either side of
// zero on a memory recorder (its range is per division), the range itself on a logger (whose
// counts per division are its full scale), and never more than the codes the file can hold.
#pragma once

#include <string>

#include "input/recording.h"

namespace pqwave {

// The counts of channel `channel`'s full scale (the channel of column `channel`; of an RMS
// recording, the channel whose maximum and minimum series are columns 2 x channel and
// 2 x channel + 1); 0 when the recording gives no scale for it.
double fullScaleCounts(const Recording& recording, int channel);

// The multiplier that draws `counts` as `band` units, or `fallback` when there is no scale.
double bandMultiplier(double band, double counts, double fallback = 1);

// A multiplier as its text box shows it: three significant digits ("0.0625", "1.25", "2").
std::string multiplierText(double multiplier);

}  // namespace pqwave
