// A power-quality test supply written by the generator into a recording of the chosen layout,
// loaded as the program loads it, and the engine's inputs read from the loaded model the way the
// window's command reads them: the shared start of the power-quality tests.
#pragma once

#include <memory>
#include <string>

#include "quality/pq_settings.h"
#include "quality/recording_signals.h"
#include "support/loaded_recording.h"
#include "tools/pq_signals.h"

namespace pqwave::testing {

struct PqRecordingSpec {
    int layout = 41;
    double samplingHz = 10000;  // 100 samples per division of whole milliseconds or microseconds
    double nominalHz = 50;      // "50Hz" or "60Hz" chosen in the window
    double seconds = 1;
    double ptRatio = 1;
    std::string voltageRange = "100V";
    std::string currentRange = "500mV";
    std::string startDate = "24-05-06", startTime = "13:45:30";
};

struct PqRecording {
    PqRecording(const gen::PqSupply& supply, const PqRecordingSpec& spec);

    std::unique_ptr<LoadedRecording> loaded;
    std::unique_ptr<RecordingSignals> signals;
    PqSettings settings;
};

}  // namespace pqwave::testing
