// The raw-data CSV: a time column and the scaled samples of every participating channel
// (maximum and minimum series for RMS recordings) over the chosen range and step, and the
// statistics of RMS and logger recordings that the all-files run summarises.
#pragma once

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

}  // namespace pqwave
