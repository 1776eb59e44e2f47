// The raw-data CSV: a time column and the scaled samples of every participating channel
// (maximum and minimum series for RMS recordings) over the chosen range and step, and the
// statistics of RMS and logger recordings that the all-files run summarises.
#pragma once

namespace pqwave {

class Form1Model;
class TextOutputFile;

// Writes line 2 and the rows into `file`; with no file (statistics only) the rows are only
// folded into the per-file RMS statistics, when the all-files run has created them.
void writeRawData(Form1Model& form, TextOutputFile* file);

// Folds every sample into the hour-of-year statistics of the all-files run; nothing when
// the recording starts in another year than Text6. Returns the samples that fell outside it.
long long foldTimeOfDayStatistics(Form1Model& form);

}  // namespace pqwave
