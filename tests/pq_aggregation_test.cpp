// Aggregation of basic intervals: the class A synchronisation at the 10-minute tick, the 3-s,
// 10-min and 2-h values as root mean squares of the basic values, and the flags of intervals
// the recording covers only in part. The recording starts two seconds before a 10-minute tick.
#include <gtest/gtest.h>

#include <cmath>

#include "common/progress.h"
#include "quality/power_quality.h"
#include "quality/pq_measurement.h"
#include "quality/recording_clock.h"
#include "support/pq_recording.h"

namespace pqwave {
namespace {

using testing::PqRecording;
using testing::PqRecordingSpec;

constexpr double kTick = 2;  // 13:50:00, in seconds from the first sample
constexpr double kStep = 1;  // the voltages step from 200 V to 190 V
constexpr double kSeconds = 4.2;

class Aggregation : public ::testing::Test {
protected:
    Aggregation() {
        gen::PqSupply supply;
        supply.lineVolts = 200;
        supply.changes.push_back({kStep, 100, {0.95, 0.95, 0.95}});
        PqRecordingSpec spec;
        spec.samplingHz = 5000;
        spec.seconds = kSeconds;
        spec.ptRatio = 2;
        spec.startTime = "13:49:58";
        recording_ = std::make_unique<PqRecording>(supply, spec);
    }

    PqResult measure(PqAggregation aggregation) const {
        PqSettings s = recording_->settings;
        s.aggregation = aggregation;
        s.declaredVolts = 200;
        Progress progress;
        return runPowerQuality(s, *recording_->signals, progress);
    }

    // The mean square of the line voltage over [from, to), from the signal's definition.
    static double meanSquare(double from, double to) {
        const double before = std::clamp(kStep - from, 0.0, to - from);
        return (before * 200 * 200 + (to - from - before) * 190 * 190) / (to - from);
    }

    std::unique_ptr<PqRecording> recording_;
};

TEST_F(Aggregation, BasicIntervalsRestartAtTheTenMinuteTick) {
    const PqResult r = measure(PqAggregation::BasicInterval);
    int startingAtTick = 0, straddling = 0;
    for (const PqRow& row : r.rows) {
        EXPECT_NEAR((row.endSeconds - row.startSeconds) * 50, 10, 1e-3);
        startingAtTick += std::abs(row.startSeconds - kTick) < 1e-9;
        straddling += row.startSeconds < kTick && row.endSeconds > kTick;
        EXPECT_NEAR(row.lineVolts[1], std::sqrt(meanSquare(row.startSeconds, row.endSeconds)), 0.2);
        EXPECT_FALSE(row.flagged);
    }
    EXPECT_EQ(startingAtTick, 1);
    EXPECT_EQ(straddling, 1);
    EXPECT_EQ(RecordingClock(recording_->settings.startDateTime).text(kTick), "2024/05/06 13:50:00.000");
}

TEST_F(Aggregation, ThreeSecondValuesCompleteAcrossTheTickAndFlagTheUnfinishedOne) {
    const PqResult r = measure(PqAggregation::ThreeSeconds);
    ASSERT_EQ(r.rows.size(), 2u);
    const PqRow& first = r.rows[0];
    const PqRow& second = r.rows[1];
    EXPECT_NEAR((first.endSeconds - first.startSeconds) * 50, 150, 1e-2);  // 15 basic intervals
    EXPECT_GT(first.endSeconds, kTick);                                    // beyond the tick...
    EXPECT_NEAR(second.startSeconds, kTick, 1e-9);                         // ...where the next begins
    EXPECT_FALSE(first.flagged);
    EXPECT_TRUE(second.flagged);  // the recording ends before its 15th basic interval
    for (const PqRow* row : {&first, &second})
        for (float v : row->lineVolts) EXPECT_NEAR(v, std::sqrt(meanSquare(row->startSeconds, row->endSeconds)), 0.2);
}

TEST_F(Aggregation, ClockIntervalsHoldTheirBasicValuesAndAreFlaggedWhenPartlyRecorded) {
    const PqResult basic = measure(PqAggregation::BasicInterval);
    const PqResult tenMinutes = measure(PqAggregation::TenMinutes);
    const PqResult twoHours = measure(PqAggregation::TwoHours);
    // The root mean square of the basic values of U12 in a clock interval.
    auto rootMeanSquare = [&](double from, double to) {
        double squares = 0;
        int n = 0;
        for (const PqRow& row : basic.rows)
            if (row.startSeconds >= from && row.startSeconds < to) squares += row.lineVolts[0] * row.lineVolts[0], ++n;
        return std::sqrt(squares / n);
    };
    ASSERT_EQ(tenMinutes.rows.size(), 2u);
    EXPECT_NEAR(tenMinutes.rows[0].startSeconds, kTick - 600, 1e-9);
    EXPECT_NEAR(tenMinutes.rows[0].endSeconds, kTick, 1e-9);
    EXPECT_NEAR(tenMinutes.rows[1].endSeconds, kTick + 600, 1e-9);
    EXPECT_NEAR(tenMinutes.rows[0].lineVolts[0], rootMeanSquare(-1, kTick), 1e-3);
    EXPECT_NEAR(tenMinutes.rows[1].lineVolts[0], rootMeanSquare(kTick, kSeconds), 1e-3);
    ASSERT_EQ(tenMinutes.frequencies.size(), 2u);  // 13:49:50-13:50:00 and 13:50:00-13:50:10
    for (int k = 0; k < 2; ++k) {
        EXPECT_TRUE(tenMinutes.rows[k].flagged);
        EXPECT_NEAR(tenMinutes.rows[k].frequencyHz, tenMinutes.frequencies[k].hz, 1e-4);
        EXPECT_NEAR(tenMinutes.frequencies[k].hz, 50, 0.01);
    }
    ASSERT_EQ(twoHours.rows.size(), 1u);
    EXPECT_NEAR(twoHours.rows[0].startSeconds, kTick - 6600, 1e-9);  // 12:00:00
    EXPECT_NEAR(twoHours.rows[0].lineVolts[0], rootMeanSquare(-1, kSeconds), 1e-3);
    EXPECT_TRUE(twoHours.rows[0].flagged);
}

// The 3-s values a report draws its band from come out of a 10-minute run as well: 15 basic
// intervals from the tick at 2 s, so [2, 5) and [5, 8) of a recording whose voltages step from
// 200 V to 190 V at 6 s; the first chain, cut short at the tick, tells none.
TEST(ThreeSecondExtremes, ComeFromTheTenMinuteRunAndFollowTheSignal) {
    gen::PqSupply supply;
    supply.lineVolts = 200;
    supply.changes.push_back({6, 100, {0.95, 0.95, 0.95}});
    PqRecordingSpec spec;
    spec.samplingHz = 5000;
    spec.seconds = 10;
    spec.ptRatio = 2;
    spec.startTime = "13:49:58";
    const PqRecording recording(supply, spec);
    PqSettings s = recording.settings;
    s.declaredVolts = 200;
    Progress progress;
    const PqMeasurement m = measurePowerQuality(s, *recording.signals, progress, {false});
    ASSERT_EQ(m.threeSecondExtremes.size(), 1u);  // all in the ten minutes of 13:50
    const VoltageExtremes& e = m.threeSecondExtremes.front();
    EXPECT_EQ(e.values, 2);
    EXPECT_DOUBLE_EQ(e.startSeconds, 2);
    const double stepped = std::sqrt((1 * 200.0 * 200 + 2 * 190.0 * 190) / 3);
    for (int v = 0; v < 3; ++v) {
        EXPECT_NEAR(e.highest[v], 200, 0.2);
        EXPECT_NEAR(e.lowest[v], stepped, 0.2);
    }
}

}  // namespace
}  // namespace pqwave
