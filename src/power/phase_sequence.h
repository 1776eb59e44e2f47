// The phase rotation of a three-phase recording from one supply cycle: the fundamental phasors
// of the line voltages ch1 (u-v) and ch2 (w-v). With the forward rotation ch2 leads ch1 by 60
// degrees, so the sign of their cross product tells the rotation. The phase check before an
// analysis ("自動位相確認") takes the first cycle; the vector window measures the cycle it shows
// with the same functions, so the two always agree.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "common/numbers.h"
#include "input/recording.h"
#include "input/sample_table.h"
#include "power/wiring.h"

namespace pqwave {

// A fundamental component: e along the reference sine, c along the reference cosine.
struct Phasor {
    double e = 0, c = 0;
    double angle() const { return std::atan(c / (e + 1E-20)) + (e < 0 ? 3.1416 : 0); }  // radians
    double length() const { return std::sqrt(e * e + c * c); }
};

// Samples in one cycle of a supply of `supplyHz` on a time axis of `samplesPerDivision` samples
// per division of `timePerDivision` in the axis' unit (`timeUnitFactor` of them a second),
// rounded to 1/1000 of a sample; 0 when the axis gives no cycle.
float cycleSamplesOf(double samplesPerDivision, double supplyHz, double timePerDivision, double timeUnitFactor);

// One cycle of reference sine and cosine by position i: sin and cos of i x 6.28318 / cycleSamples
// for i up to round(cycleSamples - 1). The tables hold positions 0..round(cycleSamples), but no
// more than one past the rows of the table, whatever the time axis says.
struct CycleReference {
    std::vector<double> sine, cosine;
};
CycleReference cycleReference(float cycleSamples, std::size_t tableRows);

// The samples a cycle is read from: the table may keep a spare row after the recording's samples
// and logic columns after its analog ones, and a cycle reads neither.
struct CycleSource {
    const RawSampleTable& table;
    const std::array<float, 16>& channelScale;
    std::size_t rows = 0;     // samples recorded
    std::size_t columns = 0;  // analog columns
};

// Calls visit(k, row) for every position k of cycle `cycle` (positions from cycle x cycleSamples
// on, as many as the reference has) whose sample is in the recording.
template <typename Visit>
void forEachCycleSample(const CycleSource& source, float cycleSamples, std::size_t positions, std::int64_t cycle,
                        Visit visit) {
    const double cs = cycleSamples;
    const double lastPosition = cs > 0 ? roundHalfEven(cs - 1) : -1;
    for (int k = 0; k <= lastPosition && k < static_cast<int>(positions); ++k) {
        const double row = roundHalfEven(static_cast<double>(cycle) * cs + k);
        if (!(row >= 0) || row >= static_cast<double>(source.rows) || source.columns == 0) continue;
        visit(k, source.table.row(static_cast<std::size_t>(row)));
    }
}

// The line voltages over one cycle, in scaled codes (the PT ratio and the counts per division
// not applied).
struct LineVoltageCycle {
    bool measured = false;                // some sample of the cycle is in the recording
    std::array<double, 3> meanSquares{};  // ch1, ch2, ch1 - ch2
    std::array<Phasor, 2> phasors{};      // ch1, ch2, over the mean range of the two columns
    float sequence = 0;                   // the cross product: below 0 for the reverse rotation

    // The rotation, or none when no sample of the cycle is in the recording.
    std::optional<Rotation> rotation() const;
};
LineVoltageCycle lineVoltageCycle(const CycleSource& source, float cycleSamples, std::span<const double> sine,
                                  std::span<const double> cosine, std::int64_t cycle);

// The phase check: the rotation of the recording's first cycle, or none when nothing of it is
// in memory.
std::optional<Rotation> phaseSequence(const CycleSource& source, float cycleSamples);

// The samples of a loaded recording a cycle reads: its recorded rows and analog columns.
CycleSource cycleSourceOf(const Recording& recording);
// One cycle of a supply of `supplyHz` on the recording's time axis.
float cycleSamplesOf(const RecordingFacts& facts, double supplyHz);
// The phase check on a loaded recording, as "自動位相確認" runs it before a conversion.
std::optional<Rotation> phaseSequenceOf(const Recording& recording, double supplyHz);

}  // namespace pqwave
