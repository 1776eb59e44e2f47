// The generator's power-quality test supplies: the waveforms follow the phasors the tests take
// their truth from, a change keeps the three line voltages a closed triangle, and pqwave-gen's
// options write the same recording as the supply they describe.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>

#include "support/test_folder.h"
#include "tools/generator_cli.h"
#include "tools/pq_signals.h"

namespace pqwave {
namespace {

using gen::Phasor;

double valueOf(Phasor p, double hertz, double t) {
    return std::sqrt(2.0) * std::real(p * std::polar(1.0, 2 * std::numbers::pi * hertz * t));
}

TEST(PqTestSignals, FollowTheirPhasorsAndKeepTheTriangleClosed) {
    gen::PqSupply supply;
    supply.lineVolts = 200;
    supply.frequency = 51.3;
    supply.unbalancePercent = 4;
    supply.unbalanceDegrees = 30;
    supply.tones = {{5, 10, 45, -1}};
    supply.changes = {{0.1, 0.05, {0.5, 1, 0.9}}};
    const auto steady = gen::steadyLinePhasors(supply);
    const auto changed = gen::changedLinePhasors(supply, {0.5, 1, 0.9});
    const gen::LineVoltageSet u = gen::lineVoltagesOf(supply);
    for (double t : {0.0123, 0.0877, 0.1234}) {
        const auto& fundamental = t >= 0.1 ? changed : steady;
        const double factor = t >= 0.1 ? 0.5 : 1;
        const Phasor fifth = std::polar(20.0, 45 * std::numbers::pi / 180);
        EXPECT_NEAR(u.u12(t), valueOf(fundamental[0], 51.3, t) + factor * valueOf(fifth, 5 * 51.3, t), 1e-9);
        EXPECT_NEAR(u.u12(t) + u.u23(t) + u.u31(t), 0, 1e-9);
    }
    // The negative sequence is 4 % of the positive; the change keeps U12's angle.
    const std::complex<double> a = std::polar(1.0, 2 * std::numbers::pi / 3);
    EXPECT_NEAR(
        std::abs((steady[0] + a * a * steady[1] + a * steady[2]) / (steady[0] + a * steady[1] + a * a * steady[2])),
        0.04, 1e-12);
    const std::array<double, 3> factors = {0.5, 1, 0.9};
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(std::abs(changed[k]), std::abs(steady[k]) * factors[k], 1e-9);
    EXPECT_NEAR(std::arg(changed[0]), std::arg(steady[0]), 1e-12);
    EXPECT_THROW(gen::changedLinePhasors(supply, {0.1, 1, 0.2}), std::invalid_argument);
}

TEST(PqTestSignals, PqwaveGenWritesTheSupplyItsOptionsDescribe) {
    testing::TestFolder folder;
    std::ostringstream out, err;
    const std::string file = folder.file("PQ.MEM").string();
    ASSERT_EQ(
        gen::runGenerator({"--pq-supply", "6600",       "--pt",           "60",   "--frequency",    "60",
                           "--pq-tone",   "7.5:0.5:10", "--pq-unbalance", "2",    "--pq-change",    "0.2:0.1:0.5:1:1",
                           "--circuit",   "100:30:200", "--samples",      "5000", "--time-per-div", "10ms",
                           "-o",          file},
                          out, err),
        0)
        << err.str();
    gen::PqSupply supply;
    supply.lineVolts = 6600;
    supply.frequency = 60;
    supply.tones = {{7.5, 0.5, 10}};
    supply.unbalancePercent = 2;
    supply.changes = {{0.2, 0.1, {0.5, 1, 1}}};
    supply.circuits = {{100, 30, 200, {}}};
    gen::RecordingSpec spec;
    spec.timePerDivision = "10ms";
    spec.sampleCount = 5000;
    spec.channels = gen::pqChannels(supply, {60, "100V", "50mV"});
    EXPECT_EQ(folder.readBytes("PQ.MEM"), gen::generateRecording(spec).bytes);
}

}  // namespace
}  // namespace pqwave
