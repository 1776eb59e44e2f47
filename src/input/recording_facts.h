// What a recording's header says, in the numbers every later step works with: the time axis,
// the sampling frequency and the measurement time derived exactly as the main window shows
// them (rounded as shown), the channel table by recorded position, and the layout the loader
// needs. The window's labels show these facts; conversions read them from here.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "input/header.h"
#include "input/load_request.h"

namespace pqwave {

enum class RecordingKind {
    NotRecognized,
    Waveform8840,   // "HIOKI8825" header, layout 40
    BlockWaveform,  // 512-byte block header of a waveform model
    BlockRms,       // the same with RMS-value data: a maximum and a minimum series per channel
    Logger,         // 8420 logger
};

inline constexpr int kChannelPositions = 16;

// One position of the channel table, before the user's channel assignment moves it.
struct RecordingChannel {
    std::string name = "ch--ﾚﾝｼﾞ";  // "ch3ﾚﾝｼﾞ"
    std::string range = "--";       // "500mV/DIV", "20A/fs"
    bool recorded = false;
};

struct RecordingFacts {
    std::string fileName;
    RecordingKind kind = RecordingKind::NotRecognized;
    RecordingLayout layout;

    std::string model;         // "8841", "MR8880", "8420", "8840"
    std::string startDate;     // as shown: "2024/05/06", or the text as read when it is no date
    std::string startTime;     // "13:45:30"
    std::string recordLength;  // divisions, or the logger's record length text
    std::string timeAxis;      // "5ms/DIV", the logger's sampling interval "1s"
    std::string preTriggerText;

    double timePerDivision = 0;     // the number in the time axis' first three characters
    double timeUnitFactor = 1;      // time-axis units per second: 1000, 10^6, 1/60 or 1
    double samplesPerDivision = 0;  // T_Div
    double countsPerDivision = 0;   // V_Div: raw counts per division
    double sampleCount = 0;         // samples per channel, rounded half to even
    double samplingHz = 0;          // to 0.1 Hz, as shown; 0 when the time axis gives none
    double recordSeconds = 0;       // the measurement time, as shown
    double preTrigger = 0;
    float samplePeriod = 0;         // seconds between samples, single precision
    double samplePeriodAtLoad = 0;  // the same in double, as clock times use it
    std::array<RecordingChannel, kChannelPositions> channels;

    bool recognized() const { return kind != RecordingKind::NotRecognized; }
    bool rms() const { return kind == RecordingKind::BlockRms; }
    int channelCount() const { return layout.channelCount; }

    // The samples in one output interval of `intervalMs`, as the window derives it when a file
    // is clicked (to thousandths; a logger sample is always one interval).
    double samplesPerIntervalOf(double intervalMs) const;
    // The date-time value of the start, when its texts are a date and a time.
    std::optional<double> startDateTime() const;
    // "06D13-45-30.csv": the day of month, "D", the start time; the CSV a conversion proposes.
    std::string proposedOutputName() const;
};

RecordingFacts recordingFactsOf(const InstrumentHeader& header, const std::string& fileName);

// Reads the header of the file at `path`; throws Error when it cannot be read.
RecordingFacts readRecordingFacts(const std::filesystem::path& path);

}  // namespace pqwave
