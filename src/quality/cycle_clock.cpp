#include "quality/cycle_clock.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace pqwave {
namespace {

constexpr double kArmingFraction = 0.05;  // of the declared voltage's peak
constexpr double kSettleCycles = 3;       // the filter's start has died away by then
constexpr double kGapPeriods = 1.5;       // no crossing for this long: a gap
constexpr double kTooSoonPeriods = 0.5;   // a crossing this soon after a mark is not a new cycle
constexpr double kShortestPeriods = 0.5;  // measured periods are kept within these bounds
constexpr double kLongestPeriods = 2;     // of the nominal period

}  // namespace

CycleClock::CycleClock(double samplingHz, double nominalHz, double declaredVolts)
    : samplingHz_(samplingHz), nominalHz_(nominalHz) {
    const double pi = std::numbers::pi;
    const double k = std::tan(pi * nominalHz / samplingHz);
    const double norm = 1 / (1 + std::sqrt(2.0) * k + k * k);
    b0_ = k * k * norm;
    b1_ = 2 * b0_;
    b2_ = b0_;
    a1_ = 2 * (k * k - 1) * norm;
    a2_ = (1 - std::sqrt(2.0) * k + k * k) * norm;
    const double w = 2 * pi * nominalHz / samplingHz;
    const std::complex<double> z1 = std::polar(1.0, -w), z2 = std::polar(1.0, -2 * w);
    const std::complex<double> response = (b0_ + b1_ * z1 + b2_ * z2) / (1.0 + a1_ * z1 + a2_ * z2);
    delaySeconds_ = -std::arg(response) / (2 * pi * nominalHz);
    armingLevel_ = kArmingFraction * declaredVolts * std::sqrt(2.0) * std::abs(response);
    settleSeconds_ = kSettleCycles / nominalHz;
    periodSeconds_ = 1 / nominalHz;
}

void CycleClock::feed(const float* u12, std::int64_t first, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k) {
        const double x = u12[k];
        const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        if (started_ && armed_ && y1_ < 0 && y >= 0) {
            const double position = static_cast<double>(first + static_cast<std::int64_t>(k)) - 1 + y1_ / (y1_ - y);
            armed_ = false;
            addCrossing(position / samplingHz_ - delaySeconds_);
        }
        if (y < -armingLevel_) armed_ = true;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        started_ = true;
    }
    fillGapUpTo(static_cast<double>(first + static_cast<std::int64_t>(count) - 1) / samplingHz_);
}

void CycleClock::addCrossing(double seconds) {
    if (seconds < settleSeconds_) return;
    fillGapUpTo(seconds);
    if (!marks_.empty()) {
        const CycleMark& last = marks_.back();
        const double period = seconds - last.seconds;
        if (period < kTooSoonPeriods * periodSeconds_) return;
        if (last.measured)
            periodSeconds_ = std::clamp(period, kShortestPeriods / nominalHz_, kLongestPeriods / nominalHz_);
    }
    marks_.push_back({seconds, true});
}

void CycleClock::fillGapUpTo(double seconds) {
    if (marks_.empty()) return;
    while (seconds - marks_.back().seconds > kGapPeriods * periodSeconds_)
        marks_.push_back({marks_.back().seconds + periodSeconds_, false});
}

double CycleClock::timeAt(double phase) const {
    const double offset = phase - static_cast<double>(base_);
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
