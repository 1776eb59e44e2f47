// The all-files run on outcomes: every file of a list converted by one function, one at a time
// or side by side, and the outcomes taken in the list's order: each file's outputs put in place,
// its problems reported, its summary rows added. The result never depends on how many files are
// converted at once.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "batch/file_outcome.h"
#include "common/progress.h"

namespace pqwave {

struct AllFilesPlan {
    std::vector<std::string> files;  // paths, in the list's order
    std::filesystem::path summaryFolder;
    std::string timeOfDayName = "Rms時刻統計DT.csv";  // "時刻統計DT.csv" for logger recordings
    int jobs = 1;                                     // files converted at once
};

// Converts file k of the plan; it may run on another thread, with its own progress (whose
// cancel the run sets when the user cancels). A failure is the outcome's, never an exception.
using FileConversion = std::function<FileOutcome(std::size_t k, Progress& progress)>;

struct AllFilesTally {
    std::size_t converted = 0, skipped = 0, failed = 0, total = 0;
    bool cancelled = false;
    std::filesystem::path outputFolder;
};

// Told of each outcome's problems in the list's order, once its outputs are in place, and at
// the end of what the summaries left out.
using ProblemReport = std::function<void(const FileProblem&)>;
// Told of every file put in place: each recording's outputs, then the summaries.
using WrittenReport = std::function<void(const std::filesystem::path&)>;

// Runs the plan; `progress` shows "k/N NAME" and its cancel stops the run after the files in
// place so far, whose summary rows are kept. Throws Error when a summary file cannot be written.
AllFilesTally runAllFiles(const AllFilesPlan& plan, const FileConversion& convert, Progress& progress,
                          const ProblemReport& report, const WrittenReport& written = {});

}  // namespace pqwave
