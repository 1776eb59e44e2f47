// Conversions run on plain values, as the all-files run runs them: a recording read and loaded
// without a window model, a job with the window's defaults, and the outcome with its files in
// place.
#pragma once

#include <filesystem>
#include <memory>

#include "batch/file_outcome.h"
#include "control/conversion_job.h"
#include "input/recording.h"

namespace pqwave::testing {

std::shared_ptr<const Recording> recordingAt(const std::filesystem::path& path);

// The settings a user finds when the program starts, for `processing`, writing `outputName`.
ConversionJob defaultJob(Processing processing, const std::filesystem::path& outputName = {});

// Runs the job and puts its files in place.
FileOutcome runJob(const ConversionJob& job, std::shared_ptr<const Recording> recording);

}  // namespace pqwave::testing
