// "全ﾌｧｲﾙ処理": every file the file list shows, in its order, converted with the job the window
// is set up with. The data kind and the processing hold for the whole run: a file the kind does
// not convert is skipped and named. The outcomes are folded into the summary files by
// src/batch, whose result does not depend on how many files are converted at once.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "batch/file_outcome.h"
#include "common/progress.h"
#include "control/conversion_job.h"
#include "input/output_files.h"
#include "input/recording.h"

namespace pqwave {

class Form1Model;

// What the run does with each recording: runConversion, or another run on the same values
// (pqwave-cli pq FOLDER). The job names the file's own output; it may run on another thread.
using RecordingConversion = std::function<FileOutcome(const ConversionJob& job, std::shared_ptr<const Recording>,
                                                      Progress& progress, std::unique_ptr<OutputFiles> outputs)>;

struct AllFilesRunOptions {
    int jobs = 1;  // files converted side by side (pqwave-cli batch --jobs)
    // Where every output and summary goes (pqwave-cli batch -o); empty: the folder listed.
    std::filesystem::path outputFolder;
};

void runAllFiles(Form1Model& form, int jobs = 1);
void runAllFiles(Form1Model& form, const AllFilesRunOptions& options, const RecordingConversion& convert);

}  // namespace pqwave
