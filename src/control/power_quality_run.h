// "電力品質解析" as a function of values: the job (ratios, clamps, wiring, supply frequency),
// the recording and the measurement's own choices (Udin, aggregation) give the four
// power-quality files and the file's outcome, as runConversion gives a CSV conversion's. The
// window's command, pqwave-cli pq and its folder run all come here.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "batch/file_outcome.h"
#include "common/progress.h"
#include "control/conversion_job.h"
#include "input/output_files.h"
#include "input/recording.h"
#include "quality/pq_files.h"
#include "quality/pq_measurement.h"
#include "quality/pq_settings.h"
#include "quality/recording_signals.h"

namespace pqwave {

struct PqChoices {
    std::optional<double> declaredVolts;  // Udin; without it the engine chooses it
    PqAggregation aggregation = PqAggregation::TenMinutes;
};

// The files STEM_PQ.csv ... of the job's output name (Text5: FOLDER/STEM.csv), or, when the user
// names the summary, that one and the others beside it.
PqFileNames pqFileNamesFor(const ConversionJob& job, const std::optional<std::filesystem::path>& summary = {});

// The engine's settings and signals for this job and recording. Refuses (Error, NotAvailable,
// naming the file) a recording that is not a waveform recording.
PqSettings pqSettingsFor(const ConversionJob& job, const RecordingFacts& facts, const PqChoices& choices);
RecordingScaling pqScalingFor(const ConversionJob& job, const RecordingFacts& facts);

// The measurement's values, for whoever shows them otherwise than as the files.
PqMeasurement measureRecording(const ConversionJob& job, const Recording& recording, const PqChoices& choices,
                               Progress& progress, const PqMeasurementOptions& options = {});

// Measures the recording and writes the four files into `outputs` (complete, not in place);
// the outcome holds them and any warning. Throws Error (or Cancelled) when it cannot finish.
FileOutcome runPowerQualityConversion(const ConversionJob& job, std::shared_ptr<const Recording> recording,
                                      const PqChoices& choices, const PqFileNames& names, Progress& progress,
                                      std::unique_ptr<OutputFiles> outputs);

}  // namespace pqwave
