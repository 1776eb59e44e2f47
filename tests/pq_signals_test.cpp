// What the power-quality run reads: the line voltages and phase currents of a loaded table with
// the wiring options, the declared voltage chosen from the first 10 s, and the recordings and
// settings it refuses, each named in the message.
#include <gtest/gtest.h>

#include <cmath>

#include "common/error.h"
#include "common/progress.h"
#include "power/interval_sums.h"
#include "quality/power_quality.h"
#include "quality/recording_signals.h"
#include "support/pq_recording.h"

namespace pqwave {
namespace {

using testing::PqRecording;
using testing::PqRecordingSpec;

std::vector<std::vector<float>> readAll(const PqSignalSource& source) {
    std::vector<std::vector<float>> signals(source.signals(), std::vector<float>(source.sampleCount()));
    std::vector<float*> out;
    for (auto& s : signals) out.push_back(s.data());
    source.read(0, static_cast<std::size_t>(source.sampleCount()), out);
    return signals;
}

TEST(RecordingSignals, AreTheLineVoltagesAndPhaseCurrentsOfTheVConnection) {
    RawSampleTable table(3, 8);  // two samples and the loader's spare row
    const std::int16_t codes[2][8] = {{100, -40, 30, 50, 30, 50, 30, 50}, {-7, 9, -20, 11, -20, 11, -20, 11}};
    for (int j = 0; j < 2; ++j)
        for (int c = 0; c < 8; ++c) table(j, c) = codes[j][c];
    std::array<float, 16> scale{};
    scale.fill(0.5f);
    scale[1] = 2;
    const RecordingView view{table, scale, 8, 0};
    RecordingScaling s{"T.MEM", 2, 1000, 20, 60, {100, 200, 300}, {}};
    s.wiring.circuits[0].polarityInverted = true;
    s.wiring.circuits[1].starDelta = StarDelta::Minus30;
    s.wiring.circuits[2].starDelta = StarDelta::Plus30;
    RecordingSignals signals(view, s);
    ASSERT_EQ(signals.signals(), 12);
    const auto x = readAll(signals);

    for (int j = 0; j < 2; ++j) {
        const double v1 = codes[j][0] * 0.5 / 20 * 60, v2 = codes[j][1] * 2.0 / 20 * 60;
        EXPECT_NEAR(x[0][j], v1, 1e-4);       // U12 = ch1
        EXPECT_NEAR(x[1][j], -v2, 1e-4);      // U23 = -ch2
        EXPECT_NEAR(x[2][j], v2 - v1, 1e-4);  // U31 = ch2 - ch1
        const double r3 = std::sqrt(3.0);
        for (int c = 0; c < 3; ++c) {
            const double amps = (c + 1) * 100 / 0.2 * 0.5 / 20;
            double a = codes[j][2 * c + 2] * amps, b = codes[j][2 * c + 3] * amps;
            if (c == 0) a = -a, b = -b;                                              // polarity inverted
            if (c == 1) std::tie(a, b) = std::pair((a - b) / r3, (a + 2 * b) / r3);  // -30 degrees
            if (c == 2) std::tie(a, b) = std::pair((2 * a + b) / r3, (b - a) / r3);  // +30 degrees
            EXPECT_NEAR(x[3 + 3 * c][j], a, 1e-3) << c;
            EXPECT_NEAR(x[4 + 3 * c][j], -(a + b), 1e-3) << c;
            EXPECT_NEAR(x[5 + 3 * c][j], b, 1e-3) << c;

            // The interval analysis turns the same codes into the same currents (before its
            // final scaling by the clamp ratio and the counts per division).
            PowerSettings power;
            power.circuits = 3;
            power.wiring = s.wiring;
            const Current i = circuitCurrent(sampleInputFor(power, view, true), table.row(j), c);
            const double ratio = (c + 1) * 100 / 0.2 / 20;
            EXPECT_NEAR(x[3 + 3 * c][j], i.a * ratio, 1e-3);
            EXPECT_NEAR(x[5 + 3 * c][j], i.b * ratio, 1e-3);
        }
    }
}

TEST(RecordingSignals, RefuseWhatTheyCannotRead) {
    RawSampleTable table(11, 4);
    std::array<float, 16> scale{};
    scale.fill(1);
    auto make = [&](int channels, RecordingScaling s) {
        RecordingSignals signals(RecordingView{table, scale, channels, 0}, std::move(s));
    };
    auto expectRefusal = [&](int channels, RecordingScaling s, const char* words) {
        try {
            make(channels, std::move(s));
            ADD_FAILURE() << "accepted: " << words;
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find("R.MEM: "), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
        }
    };
    const RecordingScaling fine{"R.MEM", 10, 1000, 20, 1, {200}, {}};
    EXPECT_NO_THROW(make(4, fine));
    expectRefusal(1, fine, "two line voltages");
    RecordingScaling s = fine;
    s.clampAmps.push_back(200);
    expectRefusal(4, s, "2 current circuits need 6 channels");
    s = fine;
    s.ptRatio = 0;
    expectRefusal(4, s, "PT ratio is 0");
    s = fine;
    s.sampleCount = 12;
    expectRefusal(4, s, "not the 12 samples");
}

PqResult measure(const PqRecording& r, const PqSettings& s) {
    Progress progress;
    return runPowerQuality(s, *r.signals, progress);
}

TEST(PowerQualityRun, NamesTheStandardVoltageNearestTheFirstTenSecondsAsUdin) {
    gen::PqSupply supply;
    supply.lineVolts = 6500;
    PqRecordingSpec spec;
    spec.ptRatio = 60;
    spec.seconds = 0.5;
    PqRecording r(supply, spec);
    const PqResult result = measure(r, r.settings);
    EXPECT_TRUE(result.declaredAutomatically);
    EXPECT_EQ(result.declaredVolts, 6600);
    EXPECT_NEAR(result.firstTenSecondsVolts, 6500, 6.6);
}

TEST(PowerQualityRun, TellsEveryUrmsHalfCycleAndStopsWhenCancelled) {
    gen::PqSupply supply;
    supply.lineVolts = 100;
    PqRecordingSpec spec;
    spec.samplingHz = 5000;
    spec.seconds = 1;
    PqRecording r(supply, spec);
    int values = 0;
    double last = -1;
    PqObservers observers;
    observers.halfCycle = [&](const HalfCycleRms& v) {
        ++values;
        EXPECT_GT(v.startSeconds, last);
        last = v.startSeconds;
        for (double volts : v.volts) EXPECT_NEAR(volts, 100, 0.1);
    };
    Progress progress;
    runPowerQuality(r.settings, *r.signals, progress, observers);
    EXPECT_NEAR(values, 2 * 49, 2);  // two a cycle, from the first zero crossing to the last whole cycle
    EXPECT_FALSE(progress.running());

    progress.requestCancel();
    EXPECT_THROW(runPowerQuality(r.settings, *r.signals, progress), Cancelled);
    EXPECT_FALSE(progress.running());
}

TEST(PowerQualityRun, RefusesWhatItCannotMeasure) {
    auto expectRefusal = [](const PqRecording& r, const PqSettings& s, const char* words) {
        try {
            measure(r, s);
            ADD_FAILURE() << "measured: " << words;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(r.settings.fileName + ": ", 0), 0u) << e.what();
            EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
        }
    };
    gen::PqSupply supply;
    supply.lineVolts = 100;
    PqRecordingSpec spec;
    spec.seconds = 0.2;
    PqRecording shortOne(supply, spec);
    expectRefusal(shortOne, shortOne.settings, "too short for one basic interval of 10 cycles");

    spec.seconds = 1;
    spec.samplingHz = 400;
    PqRecording slow(supply, spec);
    expectRefusal(slow, slow.settings, "too slowly for the 5th harmonic");

    spec.samplingHz = 5000;
    PqRecording fine(supply, spec);
    PqSettings s = fine.settings;
    s.nominalHz = 55;
    expectRefusal(fine, s, "55 Hz");
    s = fine.settings;
    s.thresholds.dip.percent = 5;
    expectRefusal(fine, s, "event thresholds");
    s = fine.settings;
    s.declaredVolts = -1;
    expectRefusal(fine, s, "declared voltage is -1");

    supply.lineVolts = 0;
    PqRecording silent(supply, spec);
    expectRefusal(silent, silent.settings, "too little to choose the declared voltage");
    s = silent.settings;
    s.declaredVolts = 100;
    expectRefusal(silent, s, "no zero crossings");
}

}  // namespace
}  // namespace pqwave
