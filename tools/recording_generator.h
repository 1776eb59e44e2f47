// Synthetic instrument recordings for tests, benchmarks and the bundled samples: every header
// layout and data layout the program reads, from waveforms described in physical units.
// A channel's value in volts at the instrument input becomes the raw code
// round(value x countsPerDivision / rangePerDivision); the generator also returns the codes
// it stored, so a test can compare the loader's table with what was written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "input/sample_table.h"

namespace pqwave::gen {

struct Harmonic {
    int order = 5;
    double amplitude = 0;  // peak, in the channel's units
    double phaseDegrees = 0;
};

// A sine with harmonics, an offset and uniform noise; values in volts at the channel input.
struct Waveform {
    double amplitude = 0;  // peak of the fundamental
    double frequency = 50;
    double phaseDegrees = 0;
    double offset = 0;
    std::vector<Harmonic> harmonics;
    double noise = 0;  // peak of uniform noise
    // When set, the value at each sample time in place of the sine and its harmonics (noise is
    // still added): test signals with steps, modulation or a drifting frequency.
    std::function<double(double seconds)> signal = nullptr;
    double valueAt(double seconds, double noiseSample) const;
};

struct Calibration {  // layout 86: physical volts = (word x gain + offset) x unit / 1000
    std::int32_t gainMantissa = 1;
    std::int8_t gainExponent = -2;
    std::int32_t offsetMantissa = 0;
    std::int8_t offsetExponent = 0;
    std::int16_t unit = 1000;
};

struct ChannelSpec {
    std::string range = "100V";  // range text as the header holds it ("500mV", "20A", "1V")
    bool recorded = true;        // false: a channel block marked "OFF" with no data
    std::string number;          // channel number text of its block; default: its position
    Waveform wave;
    // Overrides the waveform with raw codes (one per sample; RMS files: max and min series).
    std::vector<std::int16_t> codes;
    std::vector<std::int16_t> minCodes;
    Calibration calibration;  // layout 86 only
};

struct RecordingSpec {
    int layout = 41;    // data layout: 40, 41, 80, 47, 20 or 86
    std::string model;  // default follows the layout
    std::string startDate = "24-05-06";
    std::string startTime = "13:45:30";
    std::string timePerDivision = "5ms";  // number and unit; the logger's sampling interval
    int samplesPerDivision = 100;
    int countsPerDivision = 0;  // 0: the layout's usual value
    int sampleCount = 1000;
    std::string recordLength;  // default: sampleCount / samplesPerDivision
    std::string preTrigger = "0";
    bool rms = false;         // RMS-value recording: a maximum and a minimum series per channel
    double rmsSpread = 0.05;  // maximum = value x (1 + spread), minimum = value x (1 - spread)
    std::vector<ChannelSpec> channels{ChannelSpec{}};
    int logicChannels = 0;  // logic blocks ("HL") or logic groups of the logger
    int loggerExtraFlag = 0;
    // Logic value of sample j for logic channel t (the stored 4-bit value).
    std::function<int(int sample, int channel)> logic;
    std::uint32_t seed = 1;

    // Header fields written as given, after the defaults: for layouts 1 and 3 keyed by
    // 1-based byte position, for layout 2 keyed by block * 100 + field (block 0 = general).
    std::map<int, std::string> positionOverrides;
    std::map<int, std::string> fieldOverrides;
};

struct GeneratedRecording {
    std::vector<std::byte> bytes;
    RawSampleTable expected;  // stored codes, columns as with the identity channel assignment
};

GeneratedRecording generateRecording(const RecordingSpec& spec);
void writeRecording(const RecordingSpec& spec, const std::filesystem::path& path);

// The usual model text, counts per division and header size of each data layout.
std::string defaultModel(int layout);
int defaultCountsPerDivision(int layout);

// Seconds between samples, from the time per division and the samples per division.
double samplePeriodSeconds(const RecordingSpec& spec);

// A balanced or unbalanced three-phase supply in V connection and current circuits on the
// column pairs, as the instrument is wired for power measurement: ch1 = u-v, ch2 = w-v,
// then per circuit the phase u and phase w currents through clamps giving 0.2 V at
// `clampAmps`. Volts are secondary line RMS values; currents RMS amperes.
struct Circuit {
    double amps = 100;
    double lagDegrees = 0;  // current lagging its phase voltage
    double clampAmps = 200;
    std::vector<Harmonic> harmonics;  // in amperes (peak), relative phase to the fundamental
};

struct ThreePhaseSupply {
    double lineVolts = 110;
    double frequency = 50;
    double unbalance = 0;             // w-v amplitude = line x (1 - unbalance)
    bool reverse = false;             // phase sequence u-w-v
    std::vector<Harmonic> harmonics;  // in volts (peak) on both line voltages
    double noise = 0;                 // uniform noise, as a fraction of each channel's peak
    std::string voltageRange = "100V";
    std::string currentRange = "50mV";
    std::vector<Circuit> circuits;
};

std::vector<ChannelSpec> threePhaseChannels(const ThreePhaseSupply& supply);

}  // namespace pqwave::gen
