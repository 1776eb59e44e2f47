#include "quality/rvc.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace pqwave {
namespace {

const char* const kVoltageNames[kLineVoltages] = {"U12", "U23", "U31"};

}  // namespace

RvcDetector::RvcDetector(const RvcSettings& settings)
    : settings_(settings),
      window_(settings.nominalHz > 55 ? 120 : 100),
      thresholdVolts_(settings.thresholdPercent / 100 * settings.udinVolts),
      settleBandVolts_((settings.thresholdPercent - settings.hysteresisPercent) / 100 * settings.udinVolts),
      dipVolts_(settings.dipPercent / 100 * settings.udinVolts),
      swellVolts_(settings.swellPercent / 100 * settings.udinVolts) {
    if (!(settings.udinVolts > 0)) throw std::invalid_argument("the declared voltage must be positive for RVC");
    if (!(settings.thresholdPercent > 0) || !(settings.hysteresisPercent >= 0) ||
        !(settings.hysteresisPercent < settings.thresholdPercent))
        throw std::invalid_argument("the RVC threshold must be positive and above its hysteresis");
}

void RvcDetector::add(const HalfCycleRms& value) {
    switch (state_) {
        case State::Unsettled:
            push(value);
            if (windowSteady(thresholdVolts_)) state_ = State::Steady;
            return;
        case State::Steady: {
            const Values mean = windowMean();
            bool leaves = false;
            for (int c = 0; c < kLineVoltages; ++c)
                leaves = leaves || std::abs(value.volts[c] - mean[c]) > thresholdVolts_;
            if (leaves) startChange(value, mean);
            push(value);
            if (leaves) noteInChange(value.volts);
            return;
        }
        case State::Changing:
            push(value);
            noteInChange(value.volts);
            // The new steady second must not reach back before the change's first value.
            if (values_.front().startSeconds >= changeStart_ && windowSteady(settleBandVolts_)) endChange();
            return;
    }
}

void RvcDetector::push(const HalfCycleRms& value) {
    values_.push_back(value);
    for (int c = 0; c < kLineVoltages; ++c) sums_[c] += value.volts[c];
    if (values_.size() <= window_) return;
    const HalfCycleRms dropped = values_.front();
    values_.pop_front();
    for (int c = 0; c < kLineVoltages; ++c) sums_[c] -= dropped.volts[c];
    // A value leaving the window during a change belongs to the change, not to the new
    // steady second, so it counts for delta Umax.
    if (state_ == State::Changing && dropped.startSeconds >= changeStart_)
        for (int c = 0; c < kLineVoltages; ++c)
            largestGap_[c] = std::max(largestGap_[c], std::abs(dropped.volts[c] - before_[c]));
}

RvcDetector::Values RvcDetector::windowMean() const {
    Values mean{};
    for (int c = 0; c < kLineVoltages; ++c) mean[c] = sums_[c] / static_cast<double>(values_.size());
    return mean;
}

bool RvcDetector::windowSteady(double bandVolts) const {
    if (values_.size() < window_) return false;
    const Values mean = windowMean();
    for (const HalfCycleRms& v : values_)
        for (int c = 0; c < kLineVoltages; ++c)
            if (std::abs(v.volts[c] - mean[c]) > bandVolts) return false;
    return true;
}

void RvcDetector::startChange(const HalfCycleRms& value, const Values& mean) {
    state_ = State::Changing;
    changeStart_ = value.startSeconds;
    before_ = mean;
    largestGap_ = {};
    left_ = {};
    crossedDipOrSwell_ = false;
}

void RvcDetector::noteInChange(const Values& volts) {
    for (int c = 0; c < kLineVoltages; ++c) {
        left_[c] = left_[c] || std::abs(volts[c] - before_[c]) > thresholdVolts_;
        crossedDipOrSwell_ = crossedDipOrSwell_ || volts[c] < dipVolts_ || volts[c] > swellVolts_;
    }
}

void RvcDetector::endChange() {
    state_ = State::Steady;
    const Values after = windowMean();
    double steadyDelta = 0, largest = 0;
    std::string phases;
    for (int c = 0; c < kLineVoltages; ++c) {
        // A clean step leaves no value of its own outside the new steady second: then the
        // largest change is the step itself.
        const double steadyGap = std::abs(after[c] - before_[c]);
        steadyDelta = std::max(steadyDelta, steadyGap);
        largest = std::max({largest, largestGap_[c], steadyGap});
        if (left_[c]) phases += phases.empty() ? kVoltageNames[c] : std::string(" ") + kVoltageNames[c];
    }
    if (crossedDipOrSwell_ || steadyDelta < thresholdVolts_) return;
    PqEvent event;
    event.type = PqEventType::Rvc;
    event.startSeconds = changeStart_;
    event.durationSeconds = values_.front().startSeconds - changeStart_;
    event.extremeVolts = largest;
    event.extremePercent = largest / settings_.udinVolts * 100;
    event.steadyDeltaVolts = steadyDelta;
    event.phases = phases;
    events_.push_back(event);
}

std::vector<PqEvent> detectRapidVoltageChanges(std::span<const HalfCycleRms> values, const RvcSettings& settings) {
    RvcDetector detector(settings);
    for (const HalfCycleRms& value : values) detector.add(value);
    return detector.events();
}

}  // namespace pqwave
