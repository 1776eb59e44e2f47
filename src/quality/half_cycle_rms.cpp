#include "quality/half_cycle_rms.h"

#include <cmath>

namespace pqwave {

void HalfCycleRmsMeter::advance(const CycleClock& clock, const SampleBuffer& buffer,
                                const std::function<void(const HalfCycleRms&)>& sink) {
    if (clock.empty()) return;
    if (!started_) {
        nextHalf_ = 2 * clock.firstHeld();
        started_ = true;
    }
    while (static_cast<double>(nextHalf_ + 1) / 2 <= clock.lastPhase()) {
        const double start = clock.timeAt(static_cast<double>(nextHalf_) / 2);
        const double end = clock.timeAt(static_cast<double>(nextHalf_ + 1) / 2);
        if (!buffer.atRecordingEnd() && std::ceil(end * samplingHz_) + 2 > static_cast<double>(buffer.end())) return;
        std::array<double, kLineVoltages> squares{};
        for (int v = 0; v < kLineVoltages; ++v)
            squares[v] = squareIntegral(buffer, v, start * samplingHz_, end * samplingHz_);
        if (havePrevious_) {
            HalfCycleRms value;
            value.startSeconds = previousStart_;
            const double samples = (end - previousStart_) * samplingHz_;
            for (int v = 0; v < kLineVoltages; ++v)
                value.volts[v] = std::sqrt((previousSquares_[v] + squares[v]) / samples);
            sink(value);
        }
        havePrevious_ = true;
        previousStart_ = start;
        previousSquares_ = squares;
        ++nextHalf_;
    }
}

}  // namespace pqwave
