// What a power-quality run returns: one row of aggregated values per interval, the 10-s
// frequencies, and the dips, swells and interruptions, all timed in seconds from the first
// sample (RecordingClock puts them on the clock). Values are primary volts and amperes.
#pragma once

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "quality/pq_types.h"

namespace pqwave {

inline constexpr int kHighestHarmonic = 50;
// Per quantity: harmonic subgroups H1..H50, then interharmonic subgroups IH0..IH49 (IH n lies
// between orders n and n + 1).
inline constexpr int kSpectrumValues = 2 * kHighestHarmonic;
inline constexpr int harmonicSlot(int order) {
    return order - 1;
}
inline constexpr int interharmonicSlot(int below) {
    return kHighestHarmonic + below;
}

// The quantities with a spectrum: U12, U23, U31, then I1 and I3 of every circuit.
inline int spectrumQuantities(int circuits) {
    return kLineVoltages + 2 * circuits;
}
std::string spectrumQuantityName(int quantity);  // "U12", ..., "I1_1", "I3_1", "I1_2", ...

inline constexpr float kNoValue = NAN;  // written as an empty field

struct PqCircuitValues {
    std::array<float, 3> amps{kNoValue, kNoValue, kNoValue};  // I1, I2, I3
    float kW = kNoValue, kvar = kNoValue;                     // of the fundamental
    float powerFactor = kNoValue;                             // P / sqrt(P^2 + Q^2) of the fundamental
    std::array<float, 2> thdPercent{kNoValue, kNoValue};      // I1, I3
};

struct PqRow {
    double startSeconds = 0, endSeconds = 0;
    bool flagged = false;  // holds part of a dip, swell or interruption, or the recording covers only part
    float frequencyHz = kNoValue;
    std::array<float, kLineVoltages> lineVolts{kNoValue, kNoValue, kNoValue};
    float unbalancePercent = kNoValue;
    std::array<float, kLineVoltages> thdPercent{kNoValue, kNoValue, kNoValue};
    std::vector<PqCircuitValues> circuits;
    // spectra[q * kSpectrumValues + slot], in V or A; kNoValue above the highest order.
    std::vector<float> spectra;
};

struct TenSecondFrequency {
    double startSeconds = 0, endSeconds = 0;  // the clock interval
    double hz = NAN;                          // none without a measured cycle in it
    bool flagged = false;
};

struct PqResult {
    double declaredVolts = 0;  // Udin
    bool declaredAutomatically = false;
    double firstTenSecondsVolts = 0;  // the mean line voltage of the first 10 s
    double samplingHz = 0;
    double nominalHz = 50;
    double durationSeconds = 0;
    int circuits = 0;
    int highestOrder = 0;  // the highest harmonic order below half the sampling frequency
    std::vector<PqRow> rows;
    std::vector<TenSecondFrequency> frequencies;
    std::vector<PqEvent> events;  // in time order
};

}  // namespace pqwave
