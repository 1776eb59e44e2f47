// The whole power-quality measurement of a recording in one pass: the engine's intervals and
// events (power_quality.h), rapid voltage changes from its Urms(1/2) values, and the
// flickermeter and delta V10 on the line voltages it reads, all as plain values. Flicker
// periods and Plt are flagged by the dips, swells and interruptions found in the same pass.
#pragma once

#include <string>
#include <vector>

#include "common/progress.h"
#include "quality/flicker_analysis.h"
#include "quality/flicker_periods.h"
#include "quality/pq_result.h"
#include "quality/pq_settings.h"
#include "quality/pq_types.h"
#include "quality/three_second_extremes.h"

namespace pqwave {

struct PqMeasurementOptions {
    bool flicker = true;  // the flickermeter and delta V10 besides the engine
    double rvcThresholdPercent = 3;
    double rvcHysteresisPercent = 0;
};

struct PqMeasurement {
    // Its events are the dips, swells and interruptions and the rapid voltage changes, in time
    // order.
    PqResult result;
    // Why the flickermeter could not run (naming the file), e.g. a sampling too slow for it:
    // the flicker values are then empty, as they are when it was not asked for.
    std::string flickerProblem;
    FlickerSeries flicker;                  // per minute and per clock 10 minutes
    std::vector<LongTermFlicker> longTerm;  // per clock 2 hours
    std::vector<DeltaV10Hour> deltaV10Hours;
    // Per clock 10 minutes, the lowest and highest 3-s line voltages.
    std::vector<VoltageExtremes> threeSecondExtremes;
};

// The clock seconds of the recording's start (a date-time value), to the millisecond, that
// align the flicker periods with the engine's clock intervals.
double clockSecondsOf(double startDateTime);

// Refuses what runPowerQuality refuses; throws Cancelled when the user cancels.
PqMeasurement measurePowerQuality(const PqSettings& settings, const PqSignalSource& signals, Progress& progress,
                                  const PqMeasurementOptions& options = {});

}  // namespace pqwave
