// Rapid voltage changes found in Urms(1/2) series built here from their definition: each value
// is the RMS of the cycle that starts at it, so the cycle across a step holds half of each level.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "quality/rvc.h"

namespace pqwave {
namespace {

constexpr double kUdin = 6600;

struct Step {
    double atSeconds;
    std::array<double, kLineVoltages> toPercent;  // the new level of each voltage, % of Udin
};

// Urms(1/2) of voltages that start at Udin and move to each step's levels at its time.
std::vector<HalfCycleRms> halfCycleSeries(double supplyHz, double seconds, const std::vector<Step>& steps) {
    const double half = 0.5 / supplyHz;
    auto levelAt = [&](double t, int c) {
        double percent = 100;
        for (const Step& s : steps)
            if (t >= s.atSeconds - 1e-9) percent = s.toPercent[c];
        return percent / 100 * kUdin;
    };
    std::vector<HalfCycleRms> series;
    for (int k = 0; k * half < seconds; ++k) {
        HalfCycleRms v;
        v.startSeconds = k * half;
        for (int c = 0; c < kLineVoltages; ++c) {
            const double first = levelAt(v.startSeconds, c), second = levelAt(v.startSeconds + half, c);
            v.volts[c] = std::sqrt((first * first + second * second) / 2);
        }
        series.push_back(v);
    }
    return series;
}

TEST(RapidVoltageChange, FindsAFivePercentChangeButNotAOnePercentOne) {
    for (double supplyHz : {50.0, 60.0}) {
        // U12 and U31 drop by 5 % at 3 s, then rise by 1 % at 6 s; U23 stays.
        const auto series = halfCycleSeries(supplyHz, 9, {{3, {95, 100, 95}}, {6, {96, 100, 96}}});
        RvcSettings settings;
        settings.nominalHz = supplyHz;
        settings.udinVolts = kUdin;
        const std::vector<PqEvent> events = detectRapidVoltageChanges(series, settings);
        ASSERT_EQ(events.size(), 1u) << supplyHz << " Hz";
        const PqEvent& e = events.front();
        EXPECT_EQ(e.type, PqEventType::Rvc);
        // The cycle across the step is 2.5 % down, within the threshold: the first value out
        // is the first cycle wholly after it.
        EXPECT_NEAR(e.startSeconds, 3, 1e-9);
        // The steady second before it ends with that cycle across the step.
        const double window = 2 * supplyHz, across = std::sqrt((1 + 0.95 * 0.95) / 2);
        const double deltaPercent = ((window - 1 + across) / window - 0.95) * 100;
        EXPECT_NEAR(e.steadyDeltaVolts, deltaPercent / 100 * kUdin, 1e-6);
        EXPECT_NEAR(e.extremeVolts, deltaPercent / 100 * kUdin, 1e-6);
        EXPECT_NEAR(e.extremePercent, deltaPercent, 1e-6);
        EXPECT_LT(e.durationSeconds, 1 / supplyHz);
        EXPECT_EQ(e.phases, "U12 U31");
    }
}

TEST(RapidVoltageChange, ADipIsNoRapidVoltageChange) {
    for (double supplyHz : {50.0, 60.0}) {
        // Down to 85 % for half a second: past the 90 % dip threshold.
        const auto series = halfCycleSeries(supplyHz, 6, {{2, {85, 85, 85}}, {2.5, {100, 100, 100}}});
        RvcSettings settings;
        settings.nominalHz = supplyHz;
        settings.udinVolts = kUdin;
        EXPECT_TRUE(detectRapidVoltageChanges(series, settings).empty()) << supplyHz << " Hz";
    }
}

}  // namespace
}  // namespace pqwave
