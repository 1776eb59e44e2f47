// The spectrum processing of a conversion ("PQデータFFT", "CHデータFFT", "時間移動FFT"): the
// job's settings completed from the recording into the plain settings values of src/spectrum.
#pragma once

#include "batch/file_outcome.h"
#include "common/progress.h"
#include "control/conversion_job.h"

namespace pqwave {

class TextOutputFile;

// Write their spectrum into the conversion's output file.
void writeChannelFft(const ConversionJob& job, const Recording& recording, TextOutputFile& file, Progress& progress);
void writeVipqFft(const ConversionJob& job, const Recording& recording, TextOutputFile& file, Progress& progress);

// A window file per channel (unless statistics only) into the outcome's files, and the
// channels' summary lines for the all-files run into the outcome.
void writeMovingFftFiles(const ConversionJob& job, const Recording& recording, Progress& progress,
                         FileOutcome& outcome);

}  // namespace pqwave
