// The per-sample sums of the interval analysis over one output interval: squares of the
// line and phase voltages, the three phase currents of every circuit, their active and
// reactive products, and the harmonic correlations. Circuits are held in eight lanes so
// the work of one sample is a few vector operations.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "input/recording_view.h"
#include "power/power_settings.h"

namespace pqwave {

inline constexpr int kCircuitLanes = 8;
using Lanes = std::array<float, kCircuitLanes>;

struct IntervalSums {
    std::array<float, 3> lineSq{}, phaseSq{};
    std::array<Lanes, 3> curSq{};   // [phase u, v, w][circuit]
    std::array<Lanes, 3> phaseP{};  // [phase u, v, w][circuit]
    std::array<Lanes, 3> phaseQ{};
    // Correlations with the reference tables: voltages [V1, V2, V1-V2], currents [a, b, t].
    std::array<float, 3> fundVS{}, fundVC{}, fifthVS{}, fifthVC{};
    std::array<Lanes, 3> fundIS{}, fundIC{}, fifthIS{}, fifthIC{};
    float vbSq = 0;     // squared voltage before compensation of the target circuit
    float theoSum = 0;  // instantaneous theoretical compensation value of the target circuit
};

// What the sums need to know of the recording and the settings.
struct SampleInput {
    const std::int16_t* table = nullptr;
    std::size_t columns = 0;
    float scaleV1 = 0, scaleV2 = 0;
    bool hasSecondVoltage = true;
    int circuits = 0;
    Lanes scaleA{}, scaleB{};   // the range of each circuit's phase u and phase w column
    Lanes polarity{};           // -1 where the circuit's polarity is inverted
    bool anyTransform = false;  // a star-delta transform is set for some circuit
    std::array<StarDeltaTerms, kCircuitLanes> starDelta{};
    bool fundamental = false, fifth = false;
    const double* fundSine = nullptr;  // reference tables by position in the interval
    const double* fundCosine = nullptr;
    const double* fifthSine = nullptr;
    const double* fifthCosine = nullptr;
};

// The phase u and phase w currents of one circuit at one sample, and t = a + b, after
// polarity and star-delta transform: the same arithmetic as the lanes of the interval sums.
struct Current {
    float a = 0, b = 0, t = 0;
};
Current circuitCurrent(const SampleInput& in, const std::int16_t* row, int circuit);

// The recording and the settings as the sums read them; the harmonic tables are left unset.
SampleInput sampleInputFor(const PowerSettings& settings, const RecordingView& recording, bool hasSecondVoltage);

// Adds samples rows[0..count-1] at positions 0..count-1 of the interval to the sums, or with
// `sign` -1 takes them out again, each contribution rounded alike.
void accumulateSamples(const SampleInput& in, const std::int64_t* rows, int count, IntervalSums& sums, double sign = 1);

// One sample's contribution to the squares and products of the sums (not the harmonic
// correlations), formed once: the sliding analysis adds it when the sample enters its window and
// takes the same numbers out when it leaves.
struct SampleContribution {
    bool secondVoltage = true;  // without ch2 only the first square counts
    std::array<double, 3> lineSq{}, phaseSq{};
    std::array<std::array<double, kCircuitLanes>, 3> curSq{}, phaseP{}, phaseQ{};
};
void sampleContribution(const SampleInput& in, std::int64_t row, SampleContribution& contribution);
void applyContribution(IntervalSums& sums, const SampleContribution& contribution, double sign);

}  // namespace pqwave
