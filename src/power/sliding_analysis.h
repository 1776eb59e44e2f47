// PQOut10ms: the power quantities of the interval analysis as 10 ms moving averages of a
// window one output interval long that slides forward one sample at a time. The window sums
// are single precision, updated by adding the entering sample and taking out the leaving
// one; a ring keeps the sums of the last 10 ms of window positions, and every output
// interval the ring's mean becomes one row of the result file.
#pragma once

#include <cstdint>

#include "common/progress.h"
#include "input/recording_view.h"
#include "power/power_settings.h"
#include "power/result_row.h"

namespace pqwave {

class TextOutputFile;

// What the window keeps after a sliding analysis.
struct SlidingResult {
    // Rows from the first whole output interval on (row 0), which the statistics describe;
    // short output intervals also write a row or two before it, with negative row numbers.
    std::int32_t intervalCount = 0;
    std::int64_t failedSteps = 0;
};

// The window positions of 10 ms: samples per division x (10 / time per division) / 1000 x the
// time unit's factor, rounded half to even.
double tenMillisecondPositions(const PowerSettings& settings);

// Appends one row per output interval to `file` (none when it is null or the settings ask for
// statistics only) and tells `observer` of every row's values. Refuses, before anything is
// written, settings that leave no output interval or no 10 ms window.
SlidingResult PQOut10ms(const PowerSettings& settings, const RecordingView& recording, TextOutputFile* file,
                        Progress& progress, const RowObserver& observer = {});

}  // namespace pqwave
