// The header and row texts of the all-files run's summary files, from plain values: one row
// per recording in "PQp-pDT.csv" (RMS and power analyses) and "Rms統計DT.csv" (RMS recordings),
// one row per hour of the year in "Rms時刻統計DT.csv" / "時刻統計DT.csv". Texts are UTF-8; the
// files are written in CP932 by the caller.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "batch/file_statistics.h"
#include "batch/rms_statistics.h"

namespace pqwave {

// The start of a recording as its header shows it.
struct RecordingStart {
    std::string date;  // Label15(0)
    std::string time;  // Label15(1)
    // The recording's output file name, when a clash with an earlier recording of the run gave
    // it another one than its start proposes.
    std::string outputName = {};
};

// "06D13-45-30.csv": the day of month, "D" and the start time, as the recording's CSV is named.
std::string summaryNameField(const RecordingStart& start);
// The start as a date-time value in the regional form; the texts as read when they are no date.
std::string summaryDateTimeField(const RecordingStart& start);

// ---- "PQp-pDT.csv"

struct IntervalSummaryLayout {
    int circuits = 0;
    bool perPhase = false;
    bool lineVoltages = true;
    bool frequency = false;
};

struct IntervalSummaryInput {
    RecordingStart start;
    IntervalSummaryLayout layout;
    PowerFileStatistics statistics;
    std::int32_t intervalCount = 0;
    std::vector<float> intervalFrequency;  // Hz per interval, 0 where none was found
};

std::string intervalSummaryHeader(const IntervalSummaryLayout& layout);
std::string intervalSummaryRow(const IntervalSummaryInput& input);

// ---- "Rms統計DT.csv" and the time-of-day files

struct ChannelColumn {
    int position = 0;  // channel position k: rows 2k and 2k+1 of RmsStat
    std::string name;  // "ch1"
};

std::string rmsSummaryHeader(const std::vector<ChannelColumn>& channels);
std::string rmsSummaryRow(const RecordingStart& start, const std::vector<ChannelColumn>& channels,
                          const RmsFileStatistics& statistics);

std::string timeOfDaySummaryHeader(const std::vector<ChannelColumn>& channels);
// The rows of the hours that received samples, in order, each without its line end.
std::vector<std::string> timeOfDaySummaryRows(int year, const std::vector<ChannelColumn>& channels,
                                              const HourOfYearStatistics& hours);

}  // namespace pqwave
