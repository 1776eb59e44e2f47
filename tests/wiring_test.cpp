// The wiring arithmetic on numbers worked out by hand: the star-delta transform in each of its
// forms, the reactive scale and its sign, and the two-wattmeter and per-phase products of a
// balanced three-phase instant, whose totals the physics fixes.
#include "power/wiring.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace pqwave {
namespace {

const double kSqrt3 = std::sqrt(3.0);

struct Currents {
    double a, b, t;
};

Currents turnedInDouble(StarDelta kind, Currents i) {
    transformStarDelta(kind, i.a, i.b, i.t);
    return i;
}

Currents turnedInSingle(StarDelta kind, Currents i) {
    float a = static_cast<float>(i.a), b = static_cast<float>(i.b), t = static_cast<float>(i.t);
    transformStarDelta(kind, a, b, t);
    return {a, b, t};
}

Currents turnedByTerms(StarDelta kind, Currents i) {
    float a = static_cast<float>(i.a), b = static_cast<float>(i.b), t = static_cast<float>(i.t);
    applyStarDeltaTerms(starDeltaTerms(kind), a, b, t);
    return {a, b, t};
}

TEST(Wiring, StarDeltaTurnsHandWorkedCurrentsAlikeInEveryForm) {
    // a = 2, b = 1, t = 3. -30: a = (2 - 1) / sqrt 3, b = (1 + 3) / sqrt 3; +30: b = (1 - 2) / sqrt 3,
    // a = (2 + 3) / sqrt 3; then t = a + b.
    const Currents i{2, 1, 3};
    const Currents minus30{1 / kSqrt3, 4 / kSqrt3, 5 / kSqrt3}, plus30{5 / kSqrt3, -1 / kSqrt3, 4 / kSqrt3};
    for (auto turn : {turnedInDouble, turnedInSingle, turnedByTerms}) {
        for (auto [kind, expected] : {std::pair{StarDelta::Minus30, minus30}, std::pair{StarDelta::Plus30, plus30},
                                      std::pair{StarDelta::None, i}}) {
            const Currents got = turn(kind, i);
            EXPECT_NEAR(got.a, expected.a, 1e-6) << static_cast<int>(kind);
            EXPECT_NEAR(got.b, expected.b, 1e-6) << static_cast<int>(kind);
            EXPECT_NEAR(got.t, expected.t, 1e-6) << static_cast<int>(kind);
        }
    }
    EXPECT_EQ(starDeltaOf(true, true), StarDelta::Minus30);
    EXPECT_EQ(starDeltaOf(false, true), StarDelta::Plus30);
    EXPECT_EQ(starDeltaOf(false, false), StarDelta::None);
}

TEST(Wiring, QtsIsTheKvarScaleOfTheClampsSignedByTheRotation) {
    Wiring wiring;
    EXPECT_FLOAT_EQ(wiring.qts(), static_cast<float>(1 / (0.2 * kSqrt3 * 1000)));
    EXPECT_EQ(wiring.rotationSign(), 1);
    wiring.rotation = Rotation::Reverse;
    EXPECT_FLOAT_EQ(wiring.qts(), -static_cast<float>(1 / (0.2 * kSqrt3 * 1000)));
    EXPECT_EQ(wiring.rotationSign(), -1);
    // The analyses' results to the last bit rest on the constant being the rounded root.
    EXPECT_EQ(std::numbers::sqrt3, std::sqrt(3.0));
    wiring.circuits[3].polarityInverted = true;
    EXPECT_EQ(wiring.circuits[3].polaritySign(), -1.0f);
    EXPECT_EQ(wiring.circuits[2].polaritySign(), 1.0f);
}

TEST(Wiring, ABalancedInstantGivesThreeTimesThePhasePowersFromEitherProducts) {
    // Phase voltages of 100 V and currents of 10 A lagging by 25 degrees, at an arbitrary instant
    // of the forward rotation (v lags u by 120 degrees): p = 3 V I cos(lag), q = 3 V I sin(lag).
    const double peakV = 100 * std::sqrt(2.0), peakI = 10 * std::sqrt(2.0), lag = 25 * std::numbers::pi / 180;
    const double at = 0.7, third = 2 * std::numbers::pi / 3;
    const double vu = peakV * std::cos(at), vv = peakV * std::cos(at - third), vw = peakV * std::cos(at + third);
    const double iu = peakI * std::cos(at - lag), iw = peakI * std::cos(at + third - lag);
    const double v1 = vu - vv, v2 = vw - vv, v12 = v1 - v2;  // ch1 = u-v, ch2 = w-v
    const double a = iu, b = iw, t = a + b;

    const PhaseVoltages<double> phase = starPointVoltages<double>(v1, v2);
    EXPECT_NEAR(phase.u, vu, 1e-9);
    EXPECT_NEAR(phase.v, vv, 1e-9);
    EXPECT_NEAR(phase.w, vw, 1e-9);

    const double p = 3 * 100 * 10 * std::cos(lag), q = 3 * 100 * 10 * std::sin(lag);
    EXPECT_NEAR(twoWattmeterP(v1, v2, a, b), p, 1e-9);
    EXPECT_NEAR(twoWattmeterQ3(v1, v2, v12, a, b, t) / kSqrt3, q, 1e-9);
    const PhasePowers<double> powers = phasePowers(phase, v1, v2, v12, a, b, t);
    EXPECT_NEAR(powers.p[0] + powers.p[1] + powers.p[2], p, 1e-9);
    EXPECT_NEAR((powers.q3[0] + powers.q3[1] + powers.q3[2]) / kSqrt3, q, 1e-9);
    EXPECT_NEAR(powers.p[0], vu * iu, 1e-9);  // phase u alone: its own voltage and current
}

}  // namespace
}  // namespace pqwave
