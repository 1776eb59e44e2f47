#include "support/job_run.h"

#include "common/progress.h"
#include "control/conversion.h"

namespace pqwave::testing {

std::shared_ptr<const Recording> recordingAt(const std::filesystem::path& path) {
    return std::make_shared<const Recording>(loadRecording(readRecordingFacts(path), ChannelSettings{}, 0));
}

ConversionJob defaultJob(Processing processing, const std::filesystem::path& outputName) {
    ConversionJob job;
    job.processing = processing;
    job.outputName = outputName.string();
    PowerSettings& p = job.power;
    p.ptRatio = 60;
    p.ptText = "60";
    p.clampAmps.fill(200);
    p.clampTexts.fill("200");
    p.intervalMs = 20;
    p.supplyFrequency = 50;
    job.raw.multipliers.fill(1);
    return job;
}

FileOutcome runJob(const ConversionJob& job, std::shared_ptr<const Recording> recording) {
    Progress progress;
    const std::string path = recording->facts.fileName;
    FileOutcome outcome = runConversion(job, std::move(recording), progress, std::make_unique<OutputFiles>(path));
    outcome.outputs->commit();
    return outcome;
}

}  // namespace pqwave::testing
