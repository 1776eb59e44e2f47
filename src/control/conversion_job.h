// A conversion as the user set it up in the main window, as one plain value: the data kind, the
// processing and the settings of every processing, read from the controls once. It is the one
// place where control names meet the analyses; a conversion (control/conversion.h) then needs
// nothing but this value and a recording, so the all-files run converts every file of a folder
// with the same job, one at a time or side by side.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "input/load_request.h"
#include "power/power_settings.h"

namespace pqwave {

class Form1Model;
struct RecordingFacts;

// "データ種類" (Option1), in the order of its buttons.
enum class DataKind { Waveform8840, Waveform, Automatic, Rms, Logger };

enum class Processing {
    MovingFft,            // 時間移動FFT
    IntervalAnalysis,     // 実効値演算
    SlidingAnalysis,      // 実効値演算 with 10ms移動平均誤差補正, where the sampling allows it
    RawData,              // 生データ出力
    TimeOfDayStatistics,  // 生データ出力 with 時刻統計, collected by the all-files run only
    PqFft,                // PQデータFFT
    ChannelFft,           // CHデータFFT
    Nothing,
};

// "生データ出力": the rows, their step, the time column, and each column's multiplier (乗率),
// which the channel spectra apply as well.
struct RawDataChoices {
    std::string firstSample = "0";  // Text2(0) as typed; the run corrects a start below 0
    std::string lastSample;         // Text2(1); empty: the recording's last sample
    float step = 1;                 // RawOutputStep
    bool clockTimes = false;        // 時間軸を時刻(日時)で出力
    std::array<double, 16> multipliers{};
    int year = 0;  // 時刻統計: the year whose hours are collected
};

// The moving FFT's window, its step and the frequency rows.
struct MovingFftChoices {
    double exponent = 8;  // 2^n samples per window
    double stepMs = 10;
    double lowKHz = 0.05, highKHz = 10;
    double stepKHz = 0.3;
    bool bandMode = false;  // 分割周期設定; otherwise the rows follow the bins of each recording
};

struct ConversionJob {
    DataKind kind = DataKind::Automatic;
    Processing processing = Processing::Nothing;
    bool statisticsOnly = false;  // 統計処理のみ出力
    bool phaseCheck = false;      // 自動位相確認: the rotation is detected from the samples first
    // The output file of a single conversion (Text5); the all-files run names each file's own.
    std::string outputName;

    // The analyses' settings that do not depend on the recording; the conversion completes
    // them from each recording's facts.
    PowerSettings power;
    // The samples per output interval the window shows for its file (1出力ｻﾝﾌﾟﾙ数); without it,
    // as a click on each recording derives it.
    std::optional<double> samplesPerInterval;
    std::string samplesPerIntervalText;
    // The circuit numbers (from 1) of the compensation values, as typed.
    double compensationCircuit = 1, theoreticalCircuit = 1;

    RawDataChoices raw;
    MovingFftChoices movingFft;
    ChannelSettings channels;  // the channel assignment the samples are loaded with
};

// The job of the main window's settings now.
ConversionJob jobOf(const Form1Model& form);
// The wiring the window's polarity, star-delta and rotation controls set.
Wiring wiringOf(const Form1Model& form);

// Whether a recording of these facts is one the data kind converts; when not, why, e.g.
// "a logger recording, not a 8808･35･41･80波形 one".
std::optional<std::string> kindMismatch(DataKind kind, const RecordingFacts& facts);

}  // namespace pqwave
