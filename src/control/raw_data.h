// The raw-data CSV: a time column and the scaled samples of every participating channel
// (maximum and minimum series for RMS recordings) over the chosen range and step, and the
// statistics of RMS and logger recordings that the all-files run summarises. Everything it
// writes comes from one settings value, which the COMTRADE export reads too, so both hold the
// same channels, values and rows.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "batch/rms_statistics.h"
#include "batch/summary_files.h"
#include "common/progress.h"
#include "control/conversion_job.h"
#include "input/recording.h"

namespace pqwave {

class TextOutputFile;

struct RawDataColumn {
    int channel = 0;    // the position and the table column it is read from
    std::string name;   // its caption up to the "ﾚ": "ch3ﾚﾝｼﾞ" gives "ch3"
    double factor = 0;  // K(i): the value one code stands for, range x multiplier / V_Div
};

struct RawDataSettings {
    std::string fileName;
    bool rms = false;  // two series (maximum, minimum) per channel
    std::vector<RawDataColumn> columns;
    // The samples written: from `first` while at most `last`, `step` apart, each the counter's
    // value rounded half to even (common/sample_counter.h).
    double first = 0;
    double last = -1;
    float step = 1;
    // The range as corrected (a start below 0 is 0, an end beyond the recording its last
    // sample), which the window shows back and the RMS averages count.
    double correctedFirst = 0, correctedLast = -1;
    // The time column: clock times from `clockStart`, or seconds x `timeScale` (1 or 1000).
    bool clockTimes = false;
    double clockStart = 0;
    double samplePeriodAtLoad = 0;
    double secondsPerSample = 0;
    double timeScale = 1;
    std::string timeHeader;
};

// Refuses a recording whose rows cannot be timed (no date with clock times, a time outside
// any calendar, a time axis of 0).
RawDataSettings rawDataSettingsFor(const ConversionJob& job, const Recording& recording);

// Writes line 2 and the rows into `file` (none: statistics only), and of an RMS recording
// folds every row into `statistics` when given.
void writeRawData(const RawDataSettings& settings, const Recording& recording, TextOutputFile* file, Progress& progress,
                  RmsFileStatistics* statistics);

// Rows a spreadsheet opens, the two lines above the samples included.
inline constexpr double kSpreadsheetRows = 1048576;

// When the raw-data CSV of this job would hold more lines than a spreadsheet opens, a warning
// that says so and names the step that would fit; said before the file is written, which it
// is all the same.
std::optional<std::string> spreadsheetRowsWarning(const ConversionJob& job, const RecordingFacts& facts);

// What the hour-of-year statistics read of the recording.
TimeOfDayInput timeOfDayInputFor(const ConversionJob& job, const Recording& recording);

// The channels the raw-data CSV writes, with their column names, as the summaries head them.
std::vector<ChannelColumn> summaryChannelsOf(const RawDataSettings& settings);

}  // namespace pqwave
