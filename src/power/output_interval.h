// The output interval both RMS and power analyses divide the recording into: N samples per
// row (not necessarily whole). A time axis slower than the interval leaves less than one
// sample per row, which no analysis can average; it is refused with the interval that works.
#pragma once

#include "power/power_settings.h"

namespace pqwave {

// Refuses an N that is not a positive number, or that rounds to no sample ("holds 0.4
// samples, less than one"), naming the file, the interval and the samples it holds.
void requireSamplesInInterval(const PowerSettings& settings);

}  // namespace pqwave
