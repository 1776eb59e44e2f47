#include "control/power_runs.h"

#include <cmath>
#include <string>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/textforms.h"
#include "power/interval_analysis.h"
#include "power/sliding_analysis.h"

namespace pqwave {
namespace {

// The target circuit of a compensation value: "the number typed - 1 equals c exactly".
int targetCircuit(double number, int circuits) {
    const double c = number - 1;
    return c >= 0 && c < circuits && c == std::floor(c) ? static_cast<int>(c) : -1;
}

// The summary takes the sum, maximum and minimum of every value from the first whole output
// interval (row 0) on, which restarts them.
void foldFileStatistics(PowerFileStatistics& statistics, const PowerSettings& s, const RowValues& r) {
    if (r.row < 0) return;
    SummaryValues values;
    values.v = r.v;
    values.i = r.i;
    values.p = r.p;
    values.q = r.q;
    for (int k = 0; k < 3; ++k) {
        values.phaseV[k] = static_cast<float>(r.phaseV[k]);
        for (int c = 0; c < s.circuits; ++c) {
            values.phaseI[c][k] = static_cast<float>(r.phaseI[c][k]);
            values.phaseP[c][k] = static_cast<float>(r.phaseP[c][k]);
            values.phaseQ[c][k] = static_cast<float>(r.phaseQ[c][k]);
        }
    }
    statistics.fold(values, s.circuits, s.perPhase, r.row == 0);
}

void warnOfFailedSteps(FileOutcome& outcome, const PowerSettings& s, std::int64_t failedSteps) {
    if (failedSteps == 0) return;
    outcome.warn(
        tr("{0}: {1} analysis steps could not be computed (a division by zero, a value out of range or a "
           "missing channel); their values repeat the previous result",
           {s.fileName, std::to_string(failedSteps)}));
}

}  // namespace

bool slidingAnalysisPossible(const RecordingFacts& facts) {
    return facts.samplingHz >= 200;
}

PowerSettings powerSettingsFor(const ConversionJob& job, const Recording& recording, bool sliding) {
    const RecordingFacts& f = recording.facts;
    PowerSettings s = job.power;
    s.fileName = f.fileName;
    s.samplesPerInterval = job.samplesPerInterval.value_or(f.samplesPerIntervalOf(s.intervalMs));
    s.samplesPerIntervalText =
        job.samplesPerInterval ? job.samplesPerIntervalText : formS(static_cast<float>(s.samplesPerInterval));
    s.totalSamples = f.sampleCount;
    s.countsPerDivision = f.countsPerDivision;
    s.samplingFrequency = f.samplingHz;
    s.samplesPerDivision = f.samplesPerDivision;
    s.timePerDivision = f.timePerDivision;
    s.timeUnitFactor = f.timeUnitFactor;
    s.channelCount = f.channelCount();
    s.logicChannelCount = f.layout.logicChannelCount;
    s.circuits = circuitCountOf(s.channelCount);
    s.compensationTarget = s.compensation ? targetCircuit(job.compensationCircuit, s.circuits) : -1;
    s.theoreticalTarget = s.theoretical ? targetCircuit(job.theoreticalCircuit, s.circuits) : -1;
    if (sliding) s.fundamental = s.fifth = s.frequency = false;
    return s;
}

void runPowerAnalysis(const PowerSettings& settings, bool sliding, const Recording& recording, TextOutputFile* file,
                      Progress& progress, FileOutcome& outcome) {
    PowerFileStatistics& statistics = outcome.interval.statistics;
    const RowObserver fold = [&statistics, &settings](const RowValues& row) {
        foldFileStatistics(statistics, settings, row);
    };
    const RecordingView view = recording.view();
    std::int64_t failedSteps = 0;
    if (sliding) {
        SlidingResult result = PQOut10ms(settings, view, file, progress, fold);
        outcome.interval.intervalCount = result.intervalCount;
        failedSteps = result.failedSteps;
    } else {
        IntervalResult result = PQOut0ms(settings, view, file, progress, fold);
        outcome.interval.intervalCount = result.intervalCount;
        if (settings.frequency) outcome.interval.intervalFrequency = std::move(result.intervalFrequency);
        failedSteps = result.failedSteps;
    }
    outcome.interval.layout = {settings.circuits, settings.perPhase, settings.lineVoltages, settings.frequency};
    warnOfFailedSteps(outcome, settings, failedSteps);
}

}  // namespace pqwave
