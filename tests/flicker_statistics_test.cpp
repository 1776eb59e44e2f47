// The statistics of Pinst and what is made of the periods afterwards, on hand-worked values.
#include "quality/flicker_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "quality/flicker_periods.h"

namespace pqwave {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(PinstClassifier, ReadsTheLevelExceededForAShareOfTime) {
    // 1, 2, ..., 1000 once each: the level exceeded p % of the time is 1000 (1 - p / 100).
    PinstClassifier classifier;
    for (int i = 1; i <= 1000; ++i) classifier.add(i);
    for (double percent : {1.0, 10.0, 50.0, 80.0}) {
        const double expected = 1000 * (1 - percent / 100);
        EXPECT_NEAR(classifier.exceededFor(percent), expected, 0.01 * expected) << percent << " %";
    }
}

TEST(PinstClassifier, SteadyPinstGivesPstOfTheWeightsSum) {
    // Every percentile 1: Pst = sqrt(0.0314 + 0.0525 + 0.0657 + 0.28 + 0.08) = 0.71386.
    PinstClassifier classifier;
    for (int i = 0; i < 60000; ++i) classifier.add(1.0);
    EXPECT_NEAR(shortTermSeverity(smoothedPercentiles(classifier)), 0.71386, 0.005);
    EXPECT_TRUE(std::isnan(PinstClassifier().exceededFor(50)));
}

ShortTermFlicker tenMinutes(double startSeconds, double pst) {
    ShortTermFlicker s;
    s.startSeconds = startSeconds;
    s.endSeconds = startSeconds + 600;
    s.complete = true;
    s.pst = {pst, pst, kNaN};
    return s;
}

TEST(LongTermFlicker, TwelveEqualPstGiveThatPstAndThePeriodFollowsTheClock) {
    // The recording starts at 11:55: its first 10 minutes at 12:00 (300 s) open a 2-hour period.
    const double clockAtStart = 11 * 3600 + 55 * 60;
    std::vector<ShortTermFlicker> shortTerm;
    for (int i = 0; i < 13; ++i) shortTerm.push_back(tenMinutes(300 + 600.0 * i, 0.83));
    shortTerm.back().pst = {1, 2, kNaN};
    const std::vector<LongTermFlicker> longTerm = longTermFlicker(shortTerm, clockAtStart);
    ASSERT_EQ(longTerm.size(), 2u);
    EXPECT_DOUBLE_EQ(longTerm[0].startSeconds, 300);
    EXPECT_EQ(longTerm[0].shortTermCount, 12);
    EXPECT_TRUE(longTerm[0].complete);
    EXPECT_FALSE(longTerm[0].flagged);
    EXPECT_NEAR(longTerm[0].plt[0], 0.83, 1e-12);
    EXPECT_TRUE(std::isnan(longTerm[0].plt[2]));
    EXPECT_TRUE(longTerm[1].flagged);
    EXPECT_NEAR(longTerm[1].plt[1], 2, 1e-12);
    const double pst[] = {1, 2};
    EXPECT_NEAR(longTermSeverity(pst), std::cbrt(4.5), 1e-12);
}

TEST(FlickerPeriods, DipsFlagTheirPeriodsAndRapidVoltageChangesDoNot) {
    std::vector<FlickerMinute> minutes(3);
    for (int i = 0; i < 3; ++i) {
        minutes[i].startSeconds = 60.0 * i;
        minutes[i].endSeconds = 60.0 * (i + 1);
        minutes[i].complete = true;
    }
    PqEvent rvc;
    rvc.type = PqEventType::Rvc;
    rvc.startSeconds = 10;
    rvc.durationSeconds = 1;
    PqEvent dip;
    dip.startSeconds = 119.9;  // into the third minute
    dip.durationSeconds = 0.2;
    const PqEvent events[] = {rvc, dip};
    flagVoltageEvents(minutes, events);
    EXPECT_FALSE(minutes[0].flagged);
    EXPECT_TRUE(minutes[1].flagged);
    EXPECT_TRUE(minutes[2].flagged);

    minutes[1].deltaV10 = {0.25, kNaN, 1};
    minutes[1].pinstMax = {0.5, kNaN, 12.5};
    EXPECT_EQ(flickerMinuteRow("S", "E", minutes[1]), "S,E,1,0.25,,1,0.5,,12.5");
}

TEST(DeltaV10Summary, GivesTheLargestTheFourthLargestAndTheMeanOfTheMinutes) {
    const double values[] = {0.1, 0.5, 0.3, 0.4, 0.2, kNaN};
    const DeltaV10Summary s = summariseDeltaV10(values);
    EXPECT_EQ(s.minutes, 5);
    EXPECT_DOUBLE_EQ(s.maximum, 0.5);
    EXPECT_DOUBLE_EQ(s.fourthLargest, 0.2);
    EXPECT_NEAR(s.mean, 0.3, 1e-12);
    EXPECT_TRUE(std::isnan(summariseDeltaV10(std::span<const double>(values, 3)).fourthLargest));

    // From 12:59 on: the first minute closes its hour, the next 60 fill 13:00 to 14:00.
    std::vector<FlickerMinute> minutes(61);
    for (int i = 0; i < 61; ++i) {
        minutes[i].startSeconds = 60.0 * i;
        minutes[i].endSeconds = 60.0 * (i + 1);
        minutes[i].complete = true;
        minutes[i].deltaV10 = {0.01 * i, kNaN, kNaN};
    }
    const std::vector<DeltaV10Hour> hours = deltaV10Hours(minutes, 12 * 3600 + 59 * 60);
    ASSERT_EQ(hours.size(), 2u);
    EXPECT_TRUE(hours[0].flagged);
    EXPECT_TRUE(hours[1].complete);
    EXPECT_FALSE(hours[1].flagged);
    EXPECT_DOUBLE_EQ(hours[1].startSeconds, 60);
    EXPECT_DOUBLE_EQ(hours[1].voltages[0].maximum, 0.60);
    EXPECT_DOUBLE_EQ(hours[1].voltages[0].fourthLargest, 0.57);
    EXPECT_NEAR(hours[1].voltages[0].mean, 0.305, 1e-12);
    EXPECT_EQ(hours[1].voltages[1].minutes, 0);
}

}  // namespace
}  // namespace pqwave
