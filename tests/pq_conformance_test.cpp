// The power-quality measurement against the test signals' own definition, at the accuracies
// the class A methods are held to: recordings written by the generator in the layouts the
// instruments use, loaded by the program's loader, measured by the engine.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "common/progress.h"
#include "quality/power_quality.h"
#include "support/pq_recording.h"

namespace pqwave {
namespace {

using gen::Phasor;
using gen::PqSupply;
using testing::PqRecording;
using testing::PqRecordingSpec;

PqResult measure(const PqRecording& r, PqAggregation aggregation, double udin) {
    PqSettings s = r.settings;
    s.aggregation = aggregation;
    s.declaredVolts = udin;
    Progress progress;
    return runPowerQuality(s, *r.signals, progress);
}

struct Steady {
    int layout;
    double nominalHz, frequency;
    const char* name;
};

class SteadySupply : public ::testing::TestWithParam<Steady> {};

TEST_P(SteadySupply, MeasuresWhatTheSignalHolds) {
    const Steady p = GetParam();
    PqSupply supply;
    supply.lineVolts = 200;
    supply.frequency = p.frequency;
    supply.unbalancePercent = 2;
    supply.tones = {{5, 10, 20, -1}, {7, 5, -40, 1}, {11, 3, 60, -1}, {13, 1, 0, 1}, {7.5, 0.5, 10, 1}};
    supply.circuits = {{80, 30, 200, {{5, 20, 0, -1}}}};
    PqRecordingSpec spec;
    spec.layout = p.layout;
    spec.nominalHz = p.nominalHz;
    spec.seconds = 1.5;
    spec.ptRatio = 2;  // within the 886x words at its default calibration (0.01 V a count)
    PqRecording r(supply, spec);
    const double udin = 200;
    PqResult result = measure(r, PqAggregation::BasicInterval, udin);
    ASSERT_GE(result.rows.size(), 5u);

    const auto lines = gen::steadyLinePhasors(supply);
    double worstV = 0, worstH = 0, worstIh = 0, worstU2 = 0, worstF = 0;
    for (const PqRow& row : result.rows) {
        for (int k = 0; k < 3; ++k) {
            double squares = std::norm(lines[k]);
            for (const auto& t : supply.tones) squares += std::pow(t.percent / 100 * supply.lineVolts, 2);
            worstV = std::max(worstV, std::abs(row.lineVolts[k] - std::sqrt(squares)) / udin);
            const float* spectrum = &row.spectra[k * kSpectrumValues];
            for (const auto& t : supply.tones) {
                const double volts = t.percent / 100 * supply.lineVolts;
                const int order = static_cast<int>(t.order);
                const bool harmonic = order == t.order;
                const float measured = spectrum[harmonic ? harmonicSlot(order) : interharmonicSlot(order)];
                const double error = std::abs(measured - volts);
                if (harmonic)
                    worstH = std::max(worstH, error / volts);
                else
                    worstIh = std::max(worstIh, error / udin);
            }
        }
        worstU2 = std::max(worstU2, std::abs(row.unbalancePercent - supply.unbalancePercent));
        worstF = std::max(worstF, std::abs(row.frequencyHz - p.frequency));
    }
    std::printf("%s: V %.5f%% Udin, H %.4f%% of reading, IH %.5f%% Udin, u2 %.5f, f %.6f Hz\n", p.name, worstV * 100,
                worstH * 100, worstIh * 100, worstU2, worstF);
    EXPECT_LT(worstV, 0.001);
    EXPECT_LT(worstH, 0.05);
    EXPECT_LT(worstIh, 0.0005);
    EXPECT_LT(worstU2, 0.15);
    EXPECT_LT(worstF, 0.01);
}

INSTANTIATE_TEST_SUITE_P(PowerQuality, SteadySupply,
                         ::testing::Values(Steady{41, 50, 50, "50Hz"}, Steady{41, 50, 42.5, "42_5Hz"},
                                           Steady{86, 50, 57.5, "57_5Hz"}, Steady{47, 60, 60, "60Hz"},
                                           Steady{41, 60, 51, "51Hz"}, Steady{80, 60, 69, "69Hz"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pqwave
