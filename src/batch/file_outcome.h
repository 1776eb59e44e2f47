// What converting one recording came to, as a plain value: whether it was converted, skipped
// or failed, its problems in order, the files it wrote (complete, not yet in place) and what
// the all-files run's summaries take of it. The conversion returns it; the window stores back
// what it shows, and the all-files run folds it into its summaries in the file list's order.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch/rms_statistics.h"
#include "batch/summary_files.h"
#include "common/error.h"
#include "input/output_files.h"
#include "input/recording.h"

namespace pqwave {

// A failure of one file, or a warning about it: one line naming the file.
struct FileProblem {
    bool failed = false;
    ErrorKind kind = ErrorKind::CannotRead;
    std::string message;
};

enum class SummaryKind { None, Interval, RmsPerFile, TimeOfDay, MovingFft };

// One channel's line of a moving FFT summary file "PQp-pDTch<n>.csv": the header a file starts
// with and the fields after the recording's name and start (average and maximum of every row).
struct MovingFftChannelSummary {
    int column = 0;
    std::string header;
    std::string fields;
};

struct FileOutcome {
    enum class State { Skipped, Converted, Failed, Cancelled };
    State state = State::Skipped;
    std::string path;  // the recording
    std::vector<FileProblem> problems;
    std::unique_ptr<OutputFiles> outputs;  // complete, put in place by whoever takes the outcome

    SummaryKind summary = SummaryKind::None;
    RecordingStart start;           // with the output's name when a clash changed it
    IntervalSummaryInput interval;  // "PQp-pDT.csv"
    std::vector<ChannelColumn> channels;
    RmsFileStatistics rms;     // "Rms統計DT.csv"
    TimeOfDayInput timeOfDay;  // the hours of the year, from the samples
    std::shared_ptr<const Recording> samples;
    std::vector<MovingFftChannelSummary> movingFft;

    // The rotation the phase check found, when it ran and found one.
    std::optional<bool> reverseRotation;

    void warn(const std::string& message) { problems.push_back({false, ErrorKind::Arithmetic, message}); }
    void fail(ErrorKind kind, const std::string& message) {
        state = State::Failed;
        problems.push_back({true, kind, message});
    }
};

}  // namespace pqwave
