// The raw-data CSV: a time column and the scaled samples of every participating channel
// (maximum and minimum series for RMS recordings) over the chosen range and step, and the
// statistics of RMS and logger recordings that the all-files run summarises.
#pragma once

#include <string>
#include <vector>

#include "batch/rms_statistics.h"
#include "batch/summary_files.h"

namespace pqwave {

class Form1Model;
class TextOutputFile;

// Writes line 2 and the rows into `file`; with no file (statistics only) the rows are only
// folded into the per-file RMS statistics, when the all-files run has created them.
void writeRawData(Form1Model& form, TextOutputFile* file);

// What the hour-of-year statistics read of the loaded recording.
TimeOfDayInput timeOfDayInputOf(const Form1Model& form);

// The channels the raw-data CSV writes, with their column names, as the summaries head them.
std::vector<ChannelColumn> summaryChannelsOf(const Form1Model& form);

// What the CSV's columns and rows are made of, for other outputs that must agree with it.
// The recorded channels whose range position is in use, in recording order.
std::vector<int> rawDataChannels(const Form1Model& form);
// The column name of a channel: its caption up to the "ﾚ" ("ch3ﾚﾝｼﾞ" gives "ch3").
std::string rawDataColumnName(const Form1Model& form, int channel);
// K(i): the value one code of channel i stands for, range x multiplier / counts per division,
// with range and multiplier multiplied in single precision. Refuses a V_Div of 0.
double rawDataFactor(const Form1Model& form, int channel);

// The samples written: from `first` while at most `last`, `step` apart, each the counter's
// value rounded half to even (common/sample_counter.h). The range is Text2 as the run
// corrects it (a start below 0 is 0, an end beyond the recording its last sample).
struct RawDataRows {
    double first = 0;
    double last = -1;
    float step = 1;
};
RawDataRows rawDataRows(const Form1Model& form);

}  // namespace pqwave
