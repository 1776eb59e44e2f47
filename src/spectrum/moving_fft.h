// The moving FFT (ch移動FFT): every channel column cut into windows of 2^n samples whose starts
// lie a fixed interval apart. Per window, the peak amplitude (V or A) of each bin between the
// chosen frequencies, or in band mode the sum of the amplitudes of the bins in each band, and an
// overload flag; one CSV file per channel. In the all-files run also, per recording and channel,
// a summary line with the average and maximum of every bin or band over the recording's windows.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/progress.h"
#include "input/output_files.h"
#include "input/sample_table.h"

namespace pqwave {

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
    bool summaries = false;   // the all-files run: each channel's summary line
};

// One channel's line of the all-files run's summary file "PQp-pDTch<n>.csv": the header line
// that file starts with, and the fields after the recording's name and start, the average and
// the maximum of every row over the recording's windows.
struct MovingFftSummaryLine {
    int column = 0;
    std::string header;
    std::string fields;
};

struct MovingFftResult {
    std::int64_t windows = 0;  // per channel
    // Windows left out because they would read past the loaded samples (the recording time
    // promises more samples than the file holds).
    std::int64_t windowsPastTheEnd = 0;
    std::vector<MovingFftSummaryLine> summaries;
};

// The window file of a column: Text5's file name up to its first "." (all of it when it has
// none), then "ch", the column number from 1 and ".csv", in Text5's folder.
std::filesystem::path movingFftWindowFile(const std::string& outputName, int column);

// Writes the window files into `files`, which puts them in place together once the whole
// conversion is complete.
MovingFftResult writeMovingFft(const MovingFftSettings& settings, const RawSampleTable& table, Progress& progress,
                               OutputFiles& files);

}  // namespace pqwave
