#include "support/report_survey.h"

#include <cmath>

#include "tools/pq_signals.h"

namespace pqwave::testing {

gen::RecordingSpec surveyRecording(const SurveySpec& spec) {
    gen::PqSupply supply;
    supply.lineVolts = 6600;
    supply.tones = {{5, 5, 0}, {7, 3, 0}};
    supply.circuits = {{100, 20, 200, {}}};
    if (spec.events)
        supply.changes = {{65, 0.1, {0.75, 1, 1}},
                          {200, 2, {0.5, 0.5, 0.5}},
                          {330, 0.3, {1.25, 1.25, 1.25}},
                          {450, 0.7, {0.02, 0.02, 0.02}}};
    gen::RecordingSpec recording;
    recording.startTime = spec.startTime;
    recording.timePerDivision = "50ms";  // 100 samples per division: 2 kHz
    recording.sampleCount = static_cast<int>(std::lround(spec.seconds * 2000));
    recording.channels = gen::pqChannels(supply, {60, "50V", "500mV"});
    return recording;
}

}  // namespace pqwave::testing
