// The supply frequency of each clock-aligned 10-s interval: the measured cycles of U12 that lie
// wholly in the interval, counted and divided by their total duration. Cycles across an
// interval's edge, and cycles put into a gap where U12 had no crossings, do not count.
#pragma once

#include <cstdint>
#include <vector>

#include "quality/cycle_clock.h"
#include "quality/pq_result.h"
#include "quality/recording_clock.h"

namespace pqwave {

class TenSecondFrequencyMeter {
public:
    TenSecondFrequencyMeter(const RecordingClock& clock, double durationSeconds)
        : clock_(clock), durationSeconds_(durationSeconds) {}

    // Takes the marks the clock found since the last call.
    void advance(const CycleClock& cycles);
    void finish();

    // The earliest mark still needed.
    double neededPhase() const { return static_cast<double>(nextMark_ > 0 ? nextMark_ - 1 : 0); }
    const std::vector<TenSecondFrequency>& values() const { return values_; }

private:
    void take(const CycleMark& mark);
    void closeInterval();

    const RecordingClock& clock_;
    double durationSeconds_;
    std::int64_t nextMark_ = 0;
    bool havePrevious_ = false;
    CycleMark previous_;
    std::int64_t interval_ = 0;
    std::int64_t cycles_ = 0;
    double cycleSeconds_ = 0;
    std::vector<TenSecondFrequency> values_;
};

}  // namespace pqwave
