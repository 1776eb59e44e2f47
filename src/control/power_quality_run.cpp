#include "control/power_quality_run.h"

#include <cmath>

#include "common/error.h"
#include "common/messages.h"
#include "control/conversion.h"
#include "quality/pq_measurement_files.h"

namespace pqwave {
namespace {

const char* slowRecordingKind(RecordingKind kind) {
    switch (kind) {
        case RecordingKind::BlockRms:
            return N_("an RMS recording");
        case RecordingKind::Logger:
            return N_("a logger recording");
        default:
            return nullptr;
    }
}

// An RMS or logger recording holds values a cycle or more apart: the engine would find it
// "too slowly sampled", which hides what the user has to change.
void requireWaveform(const RecordingFacts& facts) {
    if (const char* kind = slowRecordingKind(facts.kind))
        throw Error(ErrorKind::NotAvailable, tr("{0}: {1}, not a waveform recording; the power-quality analysis "
                                                "needs the sampled waveforms of the line voltages",
                                                {facts.fileName, tr(kind)}));
}

double exactSamplingHz(const RecordingFacts& facts) {
    return facts.samplePeriodAtLoad > 0 ? 1 / facts.samplePeriodAtLoad : facts.samplingHz;
}

}  // namespace

PqFileNames pqFileNamesFor(const ConversionJob& job, const std::optional<std::filesystem::path>& summary) {
    if (summary) return pqFileNamesBeside(*summary);
    const std::filesystem::path output(job.outputName);
    return pqFileNames(output.parent_path(), output.stem().string());
}

PqSettings pqSettingsFor(const ConversionJob& job, const RecordingFacts& facts, const PqChoices& choices) {
    requireWaveform(facts);
    PqSettings s;
    s.fileName = facts.fileName;
    s.modelText = facts.model;
    s.startDateTime = facts.startDateTime().value_or(0);
    s.nominalHz = job.power.supplyFrequency;
    s.declaredVolts = choices.declaredVolts;
    s.aggregation = choices.aggregation;
    return s;
}

RecordingScaling pqScalingFor(const ConversionJob& job, const RecordingFacts& facts) {
    RecordingScaling s;
    s.fileName = facts.fileName;
    s.sampleCount = static_cast<std::int64_t>(facts.sampleCount);
    s.samplingHz = exactSamplingHz(facts);
    s.countsPerDivision = facts.countsPerDivision;
    s.ptRatio = job.power.ptRatio;
    const int circuits = circuitCountOf(facts.channelCount());
    s.clampAmps.assign(job.power.clampAmps.begin(), job.power.clampAmps.begin() + circuits);
    s.wiring = job.power.wiring;
    return s;
}

PqMeasurement measureRecording(const ConversionJob& job, const Recording& recording, const PqChoices& choices,
                               Progress& progress, const PqMeasurementOptions& options) {
    const RecordingFacts& facts = recording.facts;
    const PqSettings settings = pqSettingsFor(job, facts, choices);
    requireConvertible(facts);
    const RecordingSignals signals(recording.view(), pqScalingFor(job, facts));
    return measurePowerQuality(settings, signals, progress, options);
}

FileOutcome runPowerQualityConversion(const ConversionJob& job, std::shared_ptr<const Recording> recording,
                                      const PqChoices& choices, const PqFileNames& names, Progress& progress,
                                      std::unique_ptr<OutputFiles> outputs) {
    const RecordingFacts& facts = recording->facts;
    FileOutcome outcome;
    outcome.path = facts.fileName;
    outcome.start = {facts.startDate, facts.startTime, {}};
    outcome.outputs = std::move(outputs);
    const PqSettings settings = pqSettingsFor(job, facts, choices);
    // Opened first, so a name that cannot be written is known before the long run.
    OutputFiles& files = *outcome.outputs;
    const PqMeasurementFiles opened{files.create(names.summary), files.create(names.harmonics),
                                    files.create(names.events), files.create(names.flicker)};
    ProgressScope scope(progress);
    const PqMeasurement measurement = measureRecording(job, *recording, choices, progress);
    writePqMeasurement(settings, measurement, opened);
    progress.throwIfCancelled();
    if (!facts.startDateTime())
        outcome.warn(
            tr("{0}: the start \"{1} {2}\" is no date and time; the clock intervals count from 1899/12/30 0:00",
               {facts.fileName, facts.startDate, facts.startTime}));
    if (!measurement.flickerProblem.empty())
        outcome.warn(tr("{0}; Pst, Plt and delta V10 are left empty", {measurement.flickerProblem}));
    outcome.state = FileOutcome::State::Converted;
    return outcome;
}

}  // namespace pqwave
