// The power-quality measurement of a recording by the methods of IEC 61000-4-30 (class A
// intervals) and IEC 61000-4-7 (harmonic and interharmonic subgroups): values in, values out.
// The caller builds the settings and the signals (RecordingSignals over a loaded table) and
// writes the result with writePqFiles (pq_files.h). The run reads the signals block by block
// in one pass, so memory follows the windows in progress and the rows it returns.
#pragma once

#include <functional>

#include "common/progress.h"
#include "quality/pq_result.h"
#include "quality/pq_settings.h"
#include "quality/pq_types.h"

namespace pqwave {

struct PqObservers {
    // Told of every Urms(1/2) value, in time order (rapid voltage changes are judged from them).
    std::function<void(const HalfCycleRms&)> halfCycle;
};

// Refuses (Error, naming the file) settings out of range, a sampling too slow for the 5th
// harmonic, a recording too short for one basic interval and one without a supply frequency.
// Throws Cancelled when the user cancels.
PqResult runPowerQuality(const PqSettings& settings, const PqSignalSource& signals, Progress& progress,
                         const PqObservers& observers = {});

}  // namespace pqwave
