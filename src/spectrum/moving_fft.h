// The moving FFT (ch移動FFT): every channel column cut into windows of 2^n samples whose starts
// lie a fixed interval apart. Per window, the peak amplitude (V or A) of each bin between the
// chosen frequencies, or in band mode the sum of the amplitudes of the bins in each band, and an
// overload flag; one CSV file per channel. In the all-files run also, per recording and channel,
// a summary line with the average and maximum of every bin or band over the recording's windows.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include "common/progress.h"
#include "input/sample_table.h"

namespace pqwave {

// What an all-files run keeps between its recordings: the summary files it has started. A
// summary file is started (created with its header line) by the first recording of the run
// that writes to it; the following recordings append their lines.
struct MovingFftSummaries {
    std::set<std::filesystem::path> started;
};

struct MovingFftSettings {
    std::string fileName;  // the recording, named in messages
    std::int64_t sampleCount = 0;
    double samplingFrequency = 0;  // Hz
    double countsPerDivision = 0;  // V_Div
    double recordSeconds = 0;      // LabSTim: the windows fill this time
    int lastColumn = 0;            // LastActiveChannel: columns 0..lastColumn
    std::array<float, 16> channelScale{};
    double exponent = 8;  // Text11: 2^n samples per window, n rounded half to even
    double stepMs = 10;   // Text12: time between window starts
    double lowKHz = 0.05, highKHz = 10;
    double stepKHz = 0.3;     // band width in band mode; in bin mode the bin spacing 1 / window ms
    bool bandMode = false;    // Check14 分割周期設定
    bool windowFiles = true;  // Check10 統計処理のみ出力 clear
    std::string outputName;   // Text5: window files are named after it
    // The all-files run: a summary line per channel into summaryFolder.
    MovingFftSummaries* summaries = nullptr;
    std::filesystem::path summaryFolder;
    std::string recordingName;  // its first field, e.g. 06D13-45-30.csv
    double recordingStart = 0;  // date-time of the recording's start
};

struct MovingFftResult {
    std::int64_t windows = 0;  // per channel
    // Windows left out because they would read past the loaded samples (the recording time
    // promises more samples than the file holds).
    std::int64_t windowsPastTheEnd = 0;
};

// The window file of a column: Text5's file name up to its first "." (all of it when it has
// none), then "ch", the column number from 1 and ".csv", in Text5's folder.
std::filesystem::path movingFftWindowFile(const std::string& outputName, int column);
std::filesystem::path movingFftSummaryFile(const std::filesystem::path& folder, int column);

// Writes every file of the run; all are renamed into place together at the end, so a run that
// fails or is cancelled leaves no new file and every earlier one as it was.
MovingFftResult writeMovingFft(const MovingFftSettings& settings, const RawSampleTable& table, Progress& progress);

}  // namespace pqwave
