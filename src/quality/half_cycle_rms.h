// Urms(1/2) of the three line voltages: the RMS over one cycle of the fundamental, starting at
// a zero crossing of U12 and refreshed every half cycle, as dips, swells and interruptions (and
// rapid voltage changes) are judged from. Each half cycle's integral of the squares is computed
// once and serves the two values whose cycles hold it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "quality/cycle_clock.h"
#include "quality/pq_types.h"
#include "quality/sample_buffer.h"

namespace pqwave {

class HalfCycleRmsMeter {
public:
    explicit HalfCycleRmsMeter(double samplingHz) : samplingHz_(samplingHz) {}

    // Computes every value whose cycle the clock's marks and the buffer's samples cover, and
    // hands each to `sink` in time order.
    void advance(const CycleClock& clock, const SampleBuffer& buffer,
                 const std::function<void(const HalfCycleRms&)>& sink);

    // The earliest phase of the clock still needed.
    double neededPhase() const { return static_cast<double>(nextHalf_) / 2; }

private:
    double samplingHz_;
    bool started_ = false;
    std::int64_t nextHalf_ = 0;  // half cycle k spans phases k/2 .. (k+1)/2
    bool havePrevious_ = false;
    double previousStart_ = 0;
    std::array<double, kLineVoltages> previousSquares_{};
};

}  // namespace pqwave
