// One conversion as a function of values: the job, the recording and where the outputs go give
// the file's outcome. "CSV変換" is job -> run -> commit; the all-files run maps every file of
// its list to an outcome with one job; the fuzz target runs it into memory.
#pragma once

#include <memory>

#include "batch/file_outcome.h"
#include "common/progress.h"
#include "control/conversion_job.h"
#include "input/output_files.h"
#include "input/recording.h"

namespace pqwave {

// Refuses what no processing can convert (no analog channel, no scale), then runs the job's
// processing on the recording. Every file it writes goes into `outputs`, complete but not in
// place; the outcome holds them. Throws Error (or Cancelled) when the conversion cannot finish.
FileOutcome runConversion(const ConversionJob& job, std::shared_ptr<const Recording> recording, Progress& progress,
                          std::unique_ptr<OutputFiles> outputs);

// What no conversion can scale: a recording without an analog channel, or with a count per
// division (V_Div) of 0 or no number.
void requireConvertible(const RecordingFacts& facts);

}  // namespace pqwave
