// The lowest and highest 3-s value of each line voltage in every clock-aligned 10 minutes: the
// band a trend draws around the 10-minute values, so that a swing the 10-minute mean smooths
// away still shows. Fed by the engine's 3-s observer in the same pass as its rows.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "quality/pq_types.h"
#include "quality/recording_clock.h"

namespace pqwave {

struct VoltageExtremes {
    double startSeconds = 0, endSeconds = 0;  // the clock 10 minutes, from the first sample
    std::array<double, kLineVoltages> lowest{}, highest{};
    int values = 0;  // 3-s values seen in it
};

class ThreeSecondExtremes {
public:
    // `startDateTime`: the recording's first sample (common/datetime.h).
    explicit ThreeSecondExtremes(double startDateTime) : clock_(startDateTime) {}

    // A 3-s value belongs to the 10 minutes its start lies in.
    void add(double startSeconds, const std::array<double, kLineVoltages>& volts);
    // In time order.
    std::vector<VoltageExtremes> take();

private:
    RecordingClock clock_;
    std::map<std::int64_t, VoltageExtremes> intervals_;
};

}  // namespace pqwave
