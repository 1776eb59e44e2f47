// The power-quality measurement of a recording by the methods of IEC 61000-4-30 (class A
// intervals) and IEC 61000-4-7 (harmonic and interharmonic subgroups): values in, values out.
// The caller builds the settings and the signals (RecordingSignals over a loaded table) and
// writes the result with writePqFiles (pq_files.h). The run reads the signals block by block
// in one pass, so memory follows the windows in progress and the rows it returns.
#pragma once

#include <array>
#include <functional>
#include <span>

#include "common/progress.h"
#include "quality/pq_result.h"
#include "quality/pq_settings.h"
#include "quality/pq_types.h"

namespace pqwave {

// What other analyses of the same recording take from the run as it reads, so that none of them
// reads the recording again.
struct PqObservers {
    // Told of Udin once it is known, before any Urms(1/2) value.
    std::function<void(double declaredVolts)> declaredVoltage;
    // Told of every Urms(1/2) value, in time order (rapid voltage changes are judged from them).
    std::function<void(const HalfCycleRms&)> halfCycle;
    // Told of every block of the line voltages as it is read, U12, U23, U31 (volts[v][k],
    // k < count), each sample once and in order from the first (the flickermeter's input).
    std::function<void(std::span<const float* const> volts, std::size_t count)> lineVoltages;
    // Told of the line voltages of every 3-s value (15 basic intervals of a chain) as it closes,
    // whatever the aggregation, so that the 3-s extremes come from the same pass as 10-minute
    // rows. At 10 min and 2 h the group a resynchronisation cuts short is not told.
    std::function<void(double startSeconds, double endSeconds, const std::array<double, kLineVoltages>& volts)>
        threeSecondVoltages;
};

// Refuses (Error, naming the file) settings out of range, a sampling too slow for the 5th
// harmonic, a recording too short for one basic interval and one without a supply frequency.
// Throws Cancelled when the user cancels.
PqResult runPowerQuality(const PqSettings& settings, const PqSignalSource& signals, Progress& progress,
                         const PqObservers& observers = {});

}  // namespace pqwave
