// The RMS and power analyses of a conversion: their settings completed from the job and the
// recording, and what they return kept in the file's outcome.
#pragma once

#include "batch/file_outcome.h"
#include "common/progress.h"
#include "control/conversion_job.h"
#include "power/power_settings.h"

namespace pqwave {

class TextOutputFile;

// The job's settings completed with what the recording says (its time axis, scale, channels);
// the 10 ms moving average computes no harmonics and no frequency.
PowerSettings powerSettingsFor(const ConversionJob& job, const Recording& recording, bool sliding);

// Whether the recording's sampling lets the 10 ms analysis run (200 Hz and more).
bool slidingAnalysisPossible(const RecordingFacts& facts);

// PQOut0ms or PQOut10ms on the recording; rows go to `file` unless it is null. The outcome
// gets the interval count, the frequencies and the statistics the all-files run summarises.
void runPowerAnalysis(const PowerSettings& settings, bool sliding, const Recording& recording, TextOutputFile* file,
                      Progress& progress, FileOutcome& outcome);

}  // namespace pqwave
