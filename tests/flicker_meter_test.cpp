// The flickermeter against its test signals, fed straight from the signal's definition:
// Pinst max of the sinusoidal reference, Pst of every rectangular table point on both lamps
// and both supply frequencies, and delta V10 of a 10 Hz fluctuation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include "common/error.h"
#include "quality/flicker_analysis.h"
#include "tools/flicker_signals.h"

namespace pqwave {
namespace {

constexpr double kSampleHz = 2000;
constexpr double kLeadInSeconds = 10;
constexpr double kTickClockSeconds = 13 * 3600 + 50 * 60;

// Ten minutes from a clock tick, with the lead-in a flickermeter needs to settle before it.
FlickerSeries measure(const gen::FlickerModulation& modulation, double supplyHz, FlickerSettings settings) {
    settings.nominalHz = supplyHz;
    settings.clockSecondsAtStart = kTickClockSeconds - kLeadInSeconds;
    const auto volts = gen::modulatedVoltage(modulation, 230 * std::sqrt(2.0), supplyHz, 30, kLeadInSeconds);
    FlickerAnalysis analysis(kSampleHz, 1, settings);
    const auto total = static_cast<std::int64_t>((kLeadInSeconds + 600 + 1) * kSampleHz);
    std::vector<float> block(8192);
    for (std::int64_t first = 0; first < total; first += static_cast<std::int64_t>(block.size())) {
        const auto count = static_cast<std::size_t>(std::min<std::int64_t>(block.size(), total - first));
        for (std::size_t k = 0; k < count; ++k)
            block[k] = static_cast<float>(volts(static_cast<double>(first + static_cast<std::int64_t>(k)) / kSampleHz));
        const float* channels[] = {block.data()};
        analysis.process(channels, count);
    }
    return analysis.finish();
}

const ShortTermFlicker& theTenMinutes(const FlickerSeries& series) {
    auto it = std::find_if(series.shortTerm.begin(), series.shortTerm.end(),
                           [](const ShortTermFlicker& s) { return s.complete; });
    if (it == series.shortTerm.end()) throw std::runtime_error("no complete 10 minutes");
    return *it;
}

TEST(FlickerMeter, SinusoidalReferenceReachesPinstOfOne) {
    const FlickerSeries series = measure(gen::pinstUnityModulation(), 50, {});
    double largest = 0;
    int complete = 0;
    for (const FlickerMinute& m : series.minutes) {
        if (!m.complete) continue;
        ++complete;
        largest = std::max(largest, m.pinstMax[0]);
    }
    EXPECT_EQ(complete, 10);
    EXPECT_NEAR(largest, 1.00, 0.08);
    // The ten minutes start on the tick, after the lead-in.
    EXPECT_DOUBLE_EQ(theTenMinutes(series).startSeconds, kLeadInSeconds);
}

struct TablePoint {
    gen::FlickerSystem system;
    gen::PstUnityPoint point;
};

std::ostream& operator<<(std::ostream& out, const TablePoint& p) {
    const char* names[] = {"230V50Hz", "230V60Hz", "120V50Hz", "120V60Hz"};
    return out << names[static_cast<int>(p.system)] << "_" << p.point.changesPerMinute << "cpm";
}

class PstTablePoint : public ::testing::TestWithParam<TablePoint> {};

TEST_P(PstTablePoint, GivesPstOfOne) {
    const TablePoint& p = GetParam();
    FlickerSettings settings;
    // The lamp follows the supply frequency unless it is set: the other two columns set it.
    if (p.system == gen::FlickerSystem::Lamp230V60Hz) settings.lamp = FlickerLamp::Lamp230V;
    if (p.system == gen::FlickerSystem::Lamp120V50Hz) settings.lamp = FlickerLamp::Lamp120V;
    const FlickerSeries series = measure(gen::pstUnityModulation(p.point), gen::supplyHzOf(p.system), settings);
    EXPECT_NEAR(theTenMinutes(series).pst[0], 1.00, 0.05);
}

std::vector<TablePoint> allTablePoints() {
    std::vector<TablePoint> points;
    for (auto system : {gen::FlickerSystem::Lamp230V50Hz, gen::FlickerSystem::Lamp230V60Hz,
                        gen::FlickerSystem::Lamp120V50Hz, gen::FlickerSystem::Lamp120V60Hz})
        for (const gen::PstUnityPoint& point : gen::pstUnityPoints(system)) points.push_back({system, point});
    return points;
}

INSTANTIATE_TEST_SUITE_P(RectangularChanges, PstTablePoint, ::testing::ValuesIn(allTablePoints()),
                         [](const auto& info) {
                             std::ostringstream name;
                             name << info.param;
                             return name.str();
                         });

TEST(FlickerMeter, DeltaV10OfTenHertzFluctuationIsItsRmsOnTheHundredVoltBase) {
    // dV/V = 1 % peak to peak: the RMS value swings by 0.5 % of itself, 0.354 % RMS, which on
    // a 100 V base is 0.354 V.
    const gen::FlickerModulation modulation{gen::FlickerShape::Sinusoidal, 10, 1.0, 0};
    const double expected = 100 * 0.005 / std::sqrt(2.0);
    for (double supplyHz : {50.0, 60.0}) {
        const FlickerSeries series = measure(modulation, supplyHz, {});
        int complete = 0;
        for (const FlickerMinute& m : series.minutes) {
            if (!m.complete) continue;
            ++complete;
            EXPECT_NEAR(m.deltaV10[0], expected, 0.02 * expected) << supplyHz << " Hz";
        }
        EXPECT_EQ(complete, 10);
    }
}

TEST(FlickerMeter, RefusesASamplingTooSlowForTheSupply) {
    FlickerSettings sixty;
    sixty.nominalHz = 60;
    try {
        FlickerAnalysis(900, 1, sixty);
        FAIL() << "no refusal";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::NotAvailable);
        EXPECT_NE(std::string(e.what()).find("960"), std::string::npos) << e.what();
    }
    EXPECT_NO_THROW(FlickerAnalysis(960, 3, sixty));
}

}  // namespace
}  // namespace pqwave
