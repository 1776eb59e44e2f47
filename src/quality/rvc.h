// Rapid voltage changes from the Urms(1/2) series of the line voltages. A voltage is steady
// while its last 100 (50 Hz) or 120 (60 Hz) values all lie within the RVC threshold of their
// mean. A change starts with the first value that leaves the mean of the steady second before
// it by more than the threshold, on any voltage; it ends when every voltage is steady again
// on values from its first on, within the threshold less the hysteresis. It is an RVC
// when no value crossed the dip or swell threshold meanwhile (then it is that event) and the
// two steady states differ by at least the threshold. A change still open at the end of the
// series is not reported.
//
// Each RVC as a PqEvent: start (the first value out), duration (to the first value of the new
// steady second), extremeVolts = delta Umax (largest distance of a value in the change from
// the steady mean before it, at least delta Uss), steadyDeltaVolts = delta Uss (between the
// means of the two steady seconds), both the largest over the voltages, extremePercent =
// delta Umax in % of Udin, and the voltages that left the band.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

#include "quality/pq_types.h"

namespace pqwave {

struct RvcSettings {
    double nominalHz = 50;
    double udinVolts = 0;  // the declared voltage; thresholds are percentages of it
    double thresholdPercent = 3;
    double hysteresisPercent = 0;
    double dipPercent = 90;
    double swellPercent = 110;
};

class RvcDetector {
public:
    // Refuses a declared voltage that is not positive.
    explicit RvcDetector(const RvcSettings& settings);
    void add(const HalfCycleRms& value);
    const std::vector<PqEvent>& events() const { return events_; }

private:
    enum class State { Unsettled, Steady, Changing };
    using Values = std::array<double, kLineVoltages>;

    void push(const HalfCycleRms& value);
    Values windowMean() const;
    bool windowSteady(double bandVolts) const;
    void startChange(const HalfCycleRms& value, const Values& mean);
    void noteInChange(const Values& volts);
    void endChange();

    RvcSettings settings_;
    std::size_t window_;
    double thresholdVolts_, settleBandVolts_, dipVolts_, swellVolts_;
    std::deque<HalfCycleRms> values_;
    Values sums_{};
    State state_ = State::Unsettled;

    double changeStart_ = 0;
    Values before_{};      // the steady mean before the change
    Values largestGap_{};  // delta Umax so far, per voltage
    std::array<bool, kLineVoltages> left_{};
    bool crossedDipOrSwell_ = false;
    std::vector<PqEvent> events_;
};

std::vector<PqEvent> detectRapidVoltageChanges(std::span<const HalfCycleRms> values, const RvcSettings& settings);

}  // namespace pqwave
