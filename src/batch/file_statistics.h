// The statistics the all-files run keeps of one converted file, folded value by value while
// the file is analysed: for every quantity its sum, maximum and minimum (slots 0, 1, 2). The
// first value sets all three; afterwards the maximum is replaced unless it already holds at
// least the value, and the minimum when it is greater than the value.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace pqwave {

inline constexpr int kSummaryCircuits = 7;

using StatisticSlots = std::array<float, 3>;

inline void foldStatistic(StatisticSlots& stat, float value, bool first) {
    if (first) {
        stat = {value, value, value};
        return;
    }
    stat[0] += value;
    if (!(stat[1] >= value)) stat[1] = value;
    if (stat[2] > value) stat[2] = value;
}

// One output row's values as the summary reads them.
struct SummaryValues {
    float v = 0;
    std::array<float, kSummaryCircuits> i{}, p{}, q{};
    std::array<float, 3> phaseV{};
    std::array<std::array<float, 3>, kSummaryCircuits> phaseI{}, phaseP{}, phaseQ{};  // [circuit][phase]
};

// VStat, IStat, PStat, QStat and their per-phase kin, of the RMS and power analyses.
struct PowerFileStatistics {
    StatisticSlots VStat{};
    std::array<StatisticSlots, kSummaryCircuits> IStat{}, PStat{}, QStat{};
    std::array<StatisticSlots, 3> VPhaseStat{};
    std::array<std::array<StatisticSlots, kSummaryCircuits>, 3> IPhaseStat{}, PPhaseStat{}, QPhaseStat{};

    // `first` restarts the statistics: the file's first output row.
    void fold(const SummaryValues& row, int circuits, bool perPhase, bool first);
};

}  // namespace pqwave
