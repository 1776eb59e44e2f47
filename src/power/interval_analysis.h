// PQOut0ms: one result row per output interval of a loaded three-phase recording.
#pragma once

#include <cstdint>
#include <vector>

#include "common/progress.h"
#include "input/recording_view.h"
#include "power/power_settings.h"
#include "power/result_row.h"

namespace pqwave {

class TextOutputFile;

// What the window keeps after an interval analysis.
struct IntervalResult {
    std::int32_t intervalCount = 0;
    // The frequency of each interval (0 where none was found); empty when the frequency
    // column is off, so the previous run's values stay.
    std::vector<float> intervalFrequency;
    // Steps that could not be computed and repeat their previous value.
    std::int64_t failedSteps = 0;
};

// Appends one row per complete output interval to `file` (none when it is null or the
// settings ask for statistics only) and tells `observer` of every interval's values.
IntervalResult PQOut0ms(const PowerSettings& settings, const RecordingView& recording, TextOutputFile* file,
                        Progress& progress, const RowObserver& observer = {});

}  // namespace pqwave
