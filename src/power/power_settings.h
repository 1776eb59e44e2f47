// Everything the RMS and power analyses read from the main window, as plain values that the
// window's model fills once per run. Ratios: voltages are multiplied by the PT ratio, currents
// by the clamp rating (amperes per 0.2 V of clamp output) / 0.2, both after dividing the
// scaled code by the counts per division.
#pragma once

#include <array>
#include <string>

#include "power/wiring.h"

namespace pqwave {

struct PowerSettings {
    // Quoted in messages: the recording and the samples-per-interval caption as shown.
    std::string fileName;
    std::string samplesPerIntervalText;

    double samplesPerInterval = 0;  // N, not necessarily whole
    double totalSamples = 0;        // samples per channel in the recording
    double countsPerDivision = 0;   // VD
    double ptRatio = 0;
    std::array<double, kMaxCircuits> clampAmps{};
    // Line 1 of the result file repeats the ratios as typed.
    std::string ptText;
    std::array<std::string, kMaxCircuits> clampTexts;
    double intervalMs = 0;         // output interval, for the time column
    double samplingFrequency = 0;  // Hz, for the harmonic reference tables
    double supplyFrequency = 50;
    // The sliding analysis' 10 ms window: samples per division, time per division in the
    // unit of the time axis, and that unit's factor per second.
    double samplesPerDivision = 0;
    double timePerDivision = 0;
    double timeUnitFactor = 1;

    int channelCount = 0;
    int logicChannelCount = 0;
    int circuits = 0;  // current circuits: channel pairs after the two voltages

    Wiring wiring;  // polarity and star-delta of every circuit, the rotation

    bool lineVoltages = true;  // per-phase voltages as line values, else star-point values
    bool perPhase = false;
    bool statisticsOnly = false;
    bool fundamental = false, fifth = false, frequency = false;

    // The voltage before compensation and the theoretical compensation value: the column is
    // written when chosen; the target circuit is -1 when the number matches no circuit.
    bool compensation = false, theoretical = false;
    int compensationTarget = -1, theoreticalTarget = -1;
    double kP = 0, kQ = 0, kRX = 0;
};

// Current circuits of a recording of `channelCount` analog channels.
inline int circuitCountOf(int channelCount) {
    int circuits = channelCount / 2 - 1;
    return circuits < 0 ? 0 : circuits > kMaxCircuits ? kMaxCircuits : circuits;
}

}  // namespace pqwave
