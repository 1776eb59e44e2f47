#include "control/conversion.h"

#include <cmath>

#include "common/error.h"
#include "common/messages.h"
#include "common/textforms.h"
#include "control/power_runs.h"
#include "control/raw_data.h"
#include "control/spectrum_runs.h"
#include "power/phase_sequence.h"
#include "power/result_layout.h"

namespace pqwave {
namespace {

// The output file and its first line, the recording's start, unless only statistics are kept.
TextOutputFile* openOutput(const ConversionJob& job, const RecordingFacts& facts, FileOutcome& outcome,
                           const std::string& scaling = {}) {
    if (job.statisticsOnly) return nullptr;
    TextOutputFile& file = outcome.outputs->create(job.outputName);
    file.writeLine(facts.startDate + "," + facts.startTime + scaling);
    return &file;
}

void runPower(const ConversionJob& job, const Recording& recording, Progress& progress, FileOutcome& outcome) {
    const bool sliding = job.processing == Processing::SlidingAnalysis && slidingAnalysisPossible(recording.facts);
    const PowerSettings settings = powerSettingsFor(job, recording, sliding);
    TextOutputFile* file = openOutput(job, recording.facts, outcome, rmsScalingInformation(settings));
    if (file) file->writeLine(rmsResultHeader(settings));
    runPowerAnalysis(settings, sliding, recording, file, progress, outcome);
    outcome.summary = SummaryKind::Interval;
}

void runRawData(const ConversionJob& job, const Recording& recording, Progress& progress, FileOutcome& outcome) {
    const RawDataSettings settings = rawDataSettingsFor(job, recording);
    TextOutputFile* file = openOutput(job, recording.facts, outcome);
    writeRawData(settings, recording, file, progress, &outcome.rms);
    outcome.channels = summaryChannelsOf(settings);
    if (settings.rms) outcome.summary = SummaryKind::RmsPerFile;
}

void runTimeOfDay(const ConversionJob& job, std::shared_ptr<const Recording> recording, FileOutcome& outcome) {
    // The hours of the year pool every recording of an all-files run, which folds them itself.
    outcome.timeOfDay = timeOfDayInputFor(job, *recording);
    outcome.channels = summaryChannelsOf(rawDataSettingsFor(job, *recording));
    outcome.samples = std::move(recording);
    outcome.summary = SummaryKind::TimeOfDay;
}

// 自動位相確認: the rotation the samples show replaces the one set, before the analysis starts.
ConversionJob withCheckedRotation(const ConversionJob& setUp, const Recording& recording, FileOutcome& outcome) {
    ConversionJob job = setUp;
    if (!job.phaseCheck) return job;
    if (const std::optional<Rotation> rotation = phaseSequenceOf(recording, job.power.supplyFrequency)) {
        job.power.wiring.rotation = *rotation;
        outcome.reverseRotation = *rotation == Rotation::Reverse;
    }
    return job;
}

}  // namespace

void requireConvertible(const RecordingFacts& facts) {
    if (facts.channelCount() < 1)
        throw Error(ErrorKind::NotAvailable, tr("{0}: no analog channel recorded", {facts.fileName}));
    const double countsPerDivision = facts.countsPerDivision;
    if (countsPerDivision == 0 || !std::isfinite(countsPerDivision))
        throw ArithmeticError(tr("{0}: the count per division (V_Div) is {1}, so the values cannot be scaled",
                                 {facts.fileName, formD(countsPerDivision)}));
}

FileOutcome runConversion(const ConversionJob& setUp, std::shared_ptr<const Recording> recording, Progress& progress,
                          std::unique_ptr<OutputFiles> outputs) {
    const Recording& r = *recording;
    FileOutcome outcome;
    outcome.path = r.facts.fileName;
    outcome.outputs = std::move(outputs);
    outcome.start = {r.facts.startDate, r.facts.startTime, {}};
    requireConvertible(r.facts);
    ProgressScope scope(progress);
    const ConversionJob job = withCheckedRotation(setUp, r, outcome);
    switch (job.processing) {
        case Processing::MovingFft:
            writeMovingFftFiles(job, r, progress, outcome);
            outcome.summary = SummaryKind::MovingFft;
            break;
        case Processing::IntervalAnalysis:
        case Processing::SlidingAnalysis:
            runPower(job, r, progress, outcome);
            break;
        case Processing::RawData:
            runRawData(job, r, progress, outcome);
            break;
        case Processing::TimeOfDayStatistics:
            runTimeOfDay(job, std::move(recording), outcome);
            break;
        case Processing::PqFft:
            if (TextOutputFile* file = openOutput(job, r.facts, outcome)) writeVipqFft(job, r, *file, progress);
            break;
        case Processing::ChannelFft:
            if (TextOutputFile* file = openOutput(job, r.facts, outcome)) writeChannelFft(job, r, *file, progress);
            break;
        case Processing::Nothing:
            throw Error(ErrorKind::NotAvailable, tr("{0}: these settings choose no processing", {r.facts.fileName}));
    }
    // A cancel that comes too late for the run's own checks still keeps its output away.
    progress.throwIfCancelled();
    outcome.interval.start = outcome.start;
    outcome.state = FileOutcome::State::Converted;
    return outcome;
}

}  // namespace pqwave
