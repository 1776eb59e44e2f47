// The phase check on supplies built here from their definition: ch1 = u-v and ch2 = w-v, which
// with the forward rotation leads ch1 by 60 degrees and with the reverse one lags it by 60; and
// the cycle length of the time axis, worked out by hand.
#include "power/phase_sequence.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace pqwave {
namespace {

constexpr int kCycle = 10;  // samples per cycle of the tables below

// Two line voltages of 1000 codes peak, ch2 turned by `ch2LeadDegrees` from ch1, with one more
// row after the samples, as the loader keeps it.
RawSampleTable supply(double ch2LeadDegrees, int samples = 100) {
    RawSampleTable table(static_cast<std::size_t>(samples) + 1, 2);
    for (int k = 0; k < samples; ++k) {
        const double angle = 2 * std::numbers::pi * k / kCycle;
        table(k, 0) = static_cast<std::int16_t>(std::lround(1000 * std::cos(angle)));
        table(k, 1) =
            static_cast<std::int16_t>(std::lround(1000 * std::cos(angle + ch2LeadDegrees * std::numbers::pi / 180)));
    }
    return table;
}

const std::array<float, 16> kScale = [] {
    std::array<float, 16> scale{};
    scale.fill(0.01f);
    return scale;
}();

std::optional<Rotation> rotationOf(const RawSampleTable& table, std::size_t rows, float cycleSamples = kCycle) {
    return phaseSequence(CycleSource{table, kScale, rows, 2}, cycleSamples);
}

TEST(PhaseSequence, TheCycleLengthFollowsTheTimeAxisToAThousandthOfASample) {
    // 100 samples a division of 200 ms: Int(100 x (1000 / 50 / 200) x 1000 + 0.5) / 1000.
    EXPECT_EQ(cycleSamplesOf(100, 50, 200, 1000), 10.0f);
    EXPECT_EQ(cycleSamplesOf(100, 60, 200, 1000), 8.333f);  // 8333.33 + 0.5, cut to whole thousandths
    EXPECT_EQ(cycleSamplesOf(100, 50, 5, 1000), 400.0f);
    EXPECT_EQ(cycleSamplesOf(100, 50, 0, 1000), 0.0f);  // no time axis, no cycle
    EXPECT_EQ(cycleSamplesOf(100, 50, -200, 1000), 0.0f);
    EXPECT_EQ(cycleSamplesOf(100, 50, std::numeric_limits<double>::quiet_NaN(), 1000), 0.0f);
}

TEST(PhaseSequence, ALeadingCh2IsTheForwardRotationAndALaggingOneTheReverse) {
    const RawSampleTable forward = supply(60), reverse = supply(-60);
    EXPECT_EQ(rotationOf(forward, 100), Rotation::Forward);
    EXPECT_EQ(rotationOf(reverse, 100), Rotation::Reverse);
    // A cycle that is not whole in samples still tells the rotation.
    EXPECT_EQ(rotationOf(reverse, 100, 10.4f), Rotation::Reverse);

    const CycleReference reference = cycleReference(kCycle, forward.rows());
    ASSERT_EQ(reference.sine.size(), 11u);  // positions 0..10
    const LineVoltageCycle cycle =
        lineVoltageCycle(CycleSource{forward, kScale, 100, 2}, kCycle, reference.sine, reference.cosine, 3);
    ASSERT_TRUE(cycle.measured);
    // 10 V peak on both, and on their difference, as they are 60 degrees apart: 50 V^2 each.
    EXPECT_NEAR(cycle.meanSquares[0], 50, 0.1);
    EXPECT_NEAR(cycle.meanSquares[1], 50, 0.1);
    EXPECT_NEAR(cycle.meanSquares[2], 50, 0.1);
    EXPECT_NEAR(cycle.phasors[0].length(), 10 / (0.01 + 0.01), 0.5);  // the peak over the two ranges
}

TEST(PhaseSequence, NothingInMemoryTellsNoRotation) {
    const RawSampleTable forward = supply(60);
    EXPECT_EQ(rotationOf(forward, 0), std::nullopt);  // only the spare row
    EXPECT_EQ(rotationOf(forward, 100, 0), std::nullopt);
    EXPECT_EQ(phaseSequence(CycleSource{forward, kScale, 100, 0}, kCycle), std::nullopt);
}

}  // namespace
}  // namespace pqwave
