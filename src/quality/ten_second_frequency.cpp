#include "quality/ten_second_frequency.h"

#include <cmath>

namespace pqwave {
namespace {

constexpr double kIntervalSeconds = 10;

}  // namespace

void TenSecondFrequencyMeter::advance(const CycleClock& cycles) {
    for (; nextMark_ < cycles.markCount(); ++nextMark_) take(cycles.mark(nextMark_));
}

void TenSecondFrequencyMeter::take(const CycleMark& mark) {
    const std::int64_t interval = clock_.intervalIndex(mark.seconds, kIntervalSeconds);
    if (!havePrevious_) {
        interval_ = interval;
    } else {
        const bool inside = clock_.intervalIndex(previous_.seconds, kIntervalSeconds) == interval;
        while (interval_ < interval) closeInterval();
        if (inside && previous_.measured && mark.measured) {
            ++cycles_;
            cycleSeconds_ += mark.seconds - previous_.seconds;
        }
    }
    previous_ = mark;
    havePrevious_ = true;
}

void TenSecondFrequencyMeter::closeInterval() {
    TenSecondFrequency f;
    f.startSeconds = clock_.intervalStart(interval_, kIntervalSeconds);
    f.endSeconds = clock_.intervalStart(interval_ + 1, kIntervalSeconds);
    if (cycles_ > 0) f.hz = static_cast<double>(cycles_) / cycleSeconds_;
    f.flagged = f.startSeconds < 0 || f.endSeconds > durationSeconds_;
    values_.push_back(f);
    ++interval_;
    cycles_ = 0;
    cycleSeconds_ = 0;
}

void TenSecondFrequencyMeter::finish() {
    if (havePrevious_) closeInterval();
}

}  // namespace pqwave
