#include "quality/cycle_clock.h"

#include <algorithm>
#include <cmath>

namespace pqwave {
namespace {

constexpr double kArmingFraction = 0.05;  // of the declared voltage's peak
constexpr double kGapPeriods = 1.5;       // no crossing for this long: a gap
constexpr double kTooSoonPeriods = 0.5;   // a crossing this soon after a mark is not a new cycle
constexpr double kShortestPeriods = 0.5;  // measured periods are kept within these bounds
constexpr double kLongestPeriods = 2;     // of the nominal period
constexpr double kPeriodSmoothing = 0.125;

}  // namespace

CycleClock::CycleClock(double samplingHz, double nominalHz, double declaredVolts)
    : samplingHz_(samplingHz),
      nominalHz_(nominalHz),
      armingLevel_(kArmingFraction * declaredVolts * std::sqrt(2.0)),
      periodSeconds_(1 / nominalHz) {}

void CycleClock::feed(const float* u12, std::int64_t first, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k) {
        const double x = u12[k];
        if (armed_ && previous_ < 0 && x >= 0) {
            const double position =
                static_cast<double>(first + static_cast<std::int64_t>(k)) - 1 + previous_ / (previous_ - x);
            armed_ = false;
            addCrossing(position / samplingHz_);
        }
        if (x < -armingLevel_) armed_ = true;
        previous_ = x;
    }
    fillGapUpTo(static_cast<double>(first + static_cast<std::int64_t>(count) - 1) / samplingHz_);
}

void CycleClock::addCrossing(double seconds) {
    fillGapUpTo(seconds);
    if (!marks_.empty()) {
        const CycleMark& last = marks_.back();
        const double period = seconds - last.seconds;
        if (period < kTooSoonPeriods * periodSeconds_) return;
        // A gap is filled at the mean of the last few periods: the one into an interruption ends
        // on a crossing into silence, which is found late.
        if (last.measured)
            periodSeconds_ +=
                (std::clamp(period, kShortestPeriods / nominalHz_, kLongestPeriods / nominalHz_) - periodSeconds_) *
                kPeriodSmoothing;
    }
    marks_.push_back({seconds, true});
}

void CycleClock::fillGapUpTo(double seconds) {
    if (marks_.empty()) return;
    while (seconds - marks_.back().seconds > kGapPeriods * periodSeconds_)
        marks_.push_back({marks_.back().seconds + periodSeconds_, false});
}

double CycleClock::timeAt(double phase) const {
    const double offset = std::max(phase - static_cast<double>(base_), 0.0);
    const auto i = static_cast<std::size_t>(std::floor(offset));
    if (i + 1 >= marks_.size()) return marks_.back().seconds;
    const double fraction = offset - static_cast<double>(i);
    return marks_[i].seconds + fraction * (marks_[i + 1].seconds - marks_[i].seconds);
}

double CycleClock::phaseAt(double seconds) const {
    auto after = std::upper_bound(marks_.begin(), marks_.end(), seconds,
                                  [](double t, const CycleMark& m) { return t < m.seconds; });
    if (after == marks_.begin()) return static_cast<double>(base_);
    if (after == marks_.end()) return lastPhase();
    const auto i = static_cast<std::size_t>(after - marks_.begin()) - 1;
    const double fraction = (seconds - marks_[i].seconds) / (marks_[i + 1].seconds - marks_[i].seconds);
    return static_cast<double>(base_) + static_cast<double>(i) + fraction;
}

void CycleClock::dropBefore(double phase) {
    const auto keepFrom = static_cast<std::int64_t>(std::floor(phase));
    while (base_ < keepFrom && marks_.size() > 1) {
        marks_.pop_front();
        ++base_;
    }
}

}  // namespace pqwave
