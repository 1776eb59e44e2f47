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
    double nominalHz, frequency, unbalancePercent;
    const char* name;
    const char* voltageRange = "100V";
    const char* currentRange = "500mV";
};

class SteadySupply : public ::testing::TestWithParam<Steady> {};

TEST_P(SteadySupply, MeasuresWhatTheSignalHolds) {
    const Steady p = GetParam();
    PqSupply supply;
    supply.lineVolts = 200;
    supply.frequency = p.frequency;
    supply.unbalancePercent = p.unbalancePercent;
    supply.tones = {{5, 10, 20, -1}, {7, 5, -40, 1}, {11, 3, 60, -1}, {13, 1, 0, 1}, {7.5, 0.5, 10, 1}};
    supply.circuits = {{80, 30, 200, {{5, 20, 0, -1}}}};
    PqRecordingSpec spec;
    spec.layout = p.layout;
    spec.nominalHz = p.nominalHz;
    spec.seconds = 1.5;
    spec.ptRatio = 2;  // within the 886x words at its default calibration (0.01 V a count)
    spec.voltageRange = p.voltageRange;
    spec.currentRange = p.currentRange;
    PqRecording r(supply, spec);
    const double udin = 200;
    PqResult result = measure(r, PqAggregation::BasicInterval, udin);
    ASSERT_GE(result.rows.size(), 5u);

    const auto lines = gen::steadyLinePhasors(supply);
    const auto currents = gen::circuitPhasors(supply, 0);
    const std::complex<double> power = lines[0] * std::conj(currents[0]) - lines[1] * std::conj(currents[2]);
    double harmonicSquares = 0;
    for (const auto& t : supply.tones)
        if (t.order == std::floor(t.order)) harmonicSquares += t.percent * t.percent;
    double worstV = 0, worstH = 0, worstIh = 0, worstU2 = 0, worstF = 0, worstThd = 0, worstI = 0, worstS = 0;
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
        for (int k = 0; k < 3; ++k) {
            const double thd = std::sqrt(harmonicSquares) * supply.lineVolts / std::abs(lines[k]);
            worstThd = std::max(worstThd, std::abs(row.thdPercent[k] - thd) / thd);
        }
        const PqCircuitValues& c = row.circuits.at(0);
        const double amps = 80 * std::sqrt(1 + 0.2 * 0.2);
        for (float a : c.amps) worstI = std::max(worstI, std::abs(a - amps) / amps);
        for (float t : c.thdPercent) worstThd = std::max(worstThd, std::abs(t - 20.0) / 20);
        worstS = std::max({worstS, std::abs(c.kW * 1000 - power.real()) / std::abs(power),
                           std::abs(c.kvar * 1000 - power.imag()) / std::abs(power),
                           static_cast<double>(std::abs(c.powerFactor - power.real() / std::abs(power)))});
        worstU2 = std::max(worstU2, std::abs(row.unbalancePercent - supply.unbalancePercent));
        worstF = std::max(worstF, std::abs(row.frequencyHz - p.frequency));
    }
    std::printf(
        "%s: V %.5f%% Udin, H %.4f%% of reading, IH %.5f%% Udin, u2 %.5f, f %.6f Hz, THD %.4f%%, I %.4f%%, PQ %.4f%%\n",
        p.name, worstV * 100, worstH * 100, worstIh * 100, worstU2, worstF, worstThd * 100, worstI * 100, worstS * 100);
    EXPECT_LT(worstV, 0.001);
    EXPECT_LT(worstH, 0.05);
    EXPECT_LT(worstIh, 0.0005);
    EXPECT_LT(worstU2, 0.15);
    EXPECT_LT(worstF, 0.01);
    ASSERT_FALSE(result.frequencies.empty());
    for (const TenSecondFrequency& f : result.frequencies) EXPECT_NEAR(f.hz, p.frequency, 0.01);
    EXPECT_LT(worstThd, 0.05);
    EXPECT_LT(worstI, 0.002);
    EXPECT_LT(worstS, 0.002);
}

INSTANTIATE_TEST_SUITE_P(PowerQuality, SteadySupply,
                         ::testing::Values(Steady{41, 50, 50, 0, "50Hz"}, Steady{41, 50, 42.5, 2, "42_5Hz"},
                                           Steady{86, 50, 57.5, 5, "57_5Hz"}, Steady{47, 60, 60, 1, "60Hz"},
                                           Steady{41, 60, 51, 5, "51Hz"}, Steady{80, 60, 69, 3, "69Hz"},
                                           Steady{40, 50, 49.5, 2, "8840_49_5Hz", "20V", "100mV"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Dips, a swell and an interruption, each a known change of the line voltages' magnitudes.
// Most begin on a rising zero crossing of U12 and last whole half cycles, where Urms(1/2)'s
// cycles meet them in step; one begins a third of a cycle later.
struct ExpectedEvent {
    PqEventType type;
    double startCycles, lengthCycles;
    std::array<double, 3> factors;
    const char* phases;
};

class VoltageEvents : public ::testing::TestWithParam<double> {};

TEST_P(VoltageEvents, AreFoundWithTheirStartDurationAndExtreme) {
    const double nominal = GetParam(), period = 1 / nominal;
    const std::vector<ExpectedEvent> expected = {
        {PqEventType::Dip, 10, 5, {0.5, 1, 1}, "U12"},
        {PqEventType::Dip, 25, 5.5, {0.577, 0.577, 1}, "U12 U23"},
        {PqEventType::Dip, 40.33, 3, {0.7, 0.7, 0.7}, "U12 U23 U31"},
        {PqEventType::Swell, 55, 4, {1.2, 1.2, 1.2}, "U12 U23 U31"},
        {PqEventType::Dip, 70, 6, {0, 0, 0}, "U12 U23 U31"},
        {PqEventType::Interruption, 70, 6, {0, 0, 0}, "U12 U23 U31"},
    };
    PqSupply supply;
    supply.lineVolts = 200;
    supply.frequency = nominal;
    for (const ExpectedEvent& e : expected)  // U12 = sqrt 2 x 200 cos(wt) rises through 0 at 3/4 cycle
        if (e.type != PqEventType::Interruption)
            supply.changes.push_back({(e.startCycles + 0.75) * period, e.lengthCycles * period, e.factors});
    PqRecordingSpec spec;
    spec.nominalHz = nominal;
    spec.samplingHz = 5000;
    spec.seconds = 90 * period;
    spec.ptRatio = 2;
    PqRecording r(supply, spec);
    const double udin = 200;
    PqResult result = measure(r, PqAggregation::BasicInterval, udin);

    ASSERT_EQ(result.events.size(), expected.size());
    double worstStart = 0, worstLength = 0, worstExtreme = 0;
    for (std::size_t k = 0; k < expected.size(); ++k) {
        const ExpectedEvent& e = expected[k];
        const PqEvent& found = result.events[k];
        EXPECT_EQ(found.type, e.type) << k;
        EXPECT_EQ(found.phases, e.phases) << k;
        worstStart = std::max(worstStart, std::abs(found.startSeconds - (e.startCycles + 0.75) * period) / period);
        worstLength = std::max(worstLength, std::abs(found.durationSeconds - e.lengthCycles * period) / period);
        const auto lines = gen::changedLinePhasors(supply, e.factors);
        double extreme = e.type == PqEventType::Swell ? 0 : 1e9;
        for (const Phasor& u : lines)
            extreme = e.type == PqEventType::Swell ? std::max(extreme, std::abs(u)) : std::min(extreme, std::abs(u));
        worstExtreme = std::max(worstExtreme, std::abs(found.extremeVolts - extreme) / udin);
        EXPECT_NEAR(found.extremePercent, 100 * found.extremeVolts / udin, 1e-9);
    }
    std::printf("%g Hz: start %.3f cycles, duration %.3f cycles, extreme %.4f%% Udin\n", nominal, worstStart,
                worstLength, worstExtreme * 100);
    EXPECT_LT(worstStart, 1);
    EXPECT_LT(worstLength, 1);
    EXPECT_LT(worstExtreme, 0.002);

    // A basic interval is flagged exactly when an event lies in it.
    for (const PqRow& row : result.rows) {
        bool inEvent = false;
        for (const PqEvent& e : result.events)
            inEvent =
                inEvent || (e.startSeconds < row.endSeconds && e.startSeconds + e.durationSeconds > row.startSeconds);
        EXPECT_EQ(row.flagged, inEvent) << row.startSeconds;
    }
}

INSTANTIATE_TEST_SUITE_P(PowerQuality, VoltageEvents, ::testing::Values(50.0, 60.0),
                         [](const auto& info) { return std::to_string(static_cast<int>(info.param)) + "Hz"; });

}  // namespace
}  // namespace pqwave
