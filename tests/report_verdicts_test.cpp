// The verdict on values built by hand: shares per observation week with the worst week shown,
// flagged values left out and counted, the nearest-rank percentile, and a survey shorter than
// a week judged on what it holds.
#include <gtest/gtest.h>

#include "report/verdicts.h"

namespace pqwave {
namespace {

constexpr double kDay = 86400;

struct HandMadeSurvey {
    std::vector<PqRow> rows;
    SurveySeries series;

    // `days` of 10-min rows at `volts` from clock second 0; every tenth row in the second
    // week at `highVolts`; every `flagEvery`-th row flagged (none for 0).
    HandMadeSurvey(double days, double highVolts, int flagEvery) {
        const int count = static_cast<int>(days * 144);
        rows.resize(static_cast<std::size_t>(count));
        for (int k = 0; k < count; ++k) {
            PqRow& r = rows[k];
            r.startSeconds = k * 600.0;
            r.endSeconds = r.startSeconds + 600;
            const bool secondWeek = r.startSeconds >= 7 * kDay;
            const float volts = secondWeek && k % 10 == 0 ? static_cast<float>(highVolts) : 6600.0f;
            r.lineVolts = {volts, 6600, 6600};
            r.flagged = flagEvery > 0 && k % flagEvery == flagEvery - 1;
        }
        series.start = 0;
        series.end = count * 600.0;
        for (const PqRow& r : rows) series.rows.push_back({r.startSeconds, r.endSeconds, &r, 6600, 0});
    }
};

LimitSet voltageOnly() {
    LimitSet set;
    set.name = "U";
    set.voltage = BandLimit{10, 95};
    return set;
}

TEST(Verdicts, AWeekWithTooManyValuesOutsideFailsAndIsShown) {
    const HandMadeSurvey survey(14, 7300, 0);  // 7300 V is 10.6 % above Udin
    const SurveyVerdicts verdicts = judgeSurvey(survey.series, voltageOnly());
    ASSERT_EQ(verdicts.rows.size(), 3u);
    const Verdict& u12 = verdicts.rows[0];
    EXPECT_FALSE(verdicts.shorterThanPeriod);
    EXPECT_EQ(u12.periods, 2);
    EXPECT_EQ(u12.outcome, Outcome::Fail);
    EXPECT_DOUBLE_EQ(u12.worstPeriodStart, 7 * kDay);
    EXPECT_NEAR(u12.share, 100.0 * 907 / 1008, 1e-9);  // 1008 values, 101 of them outside
    // Rank ceil(0.95 x 1008) = 958 of the sorted deviations lies among the 101 high ones.
    EXPECT_NEAR(u12.percentile, 700.0 / 66, 1e-4);
    EXPECT_NEAR(u12.highest, 7300, 1e-3);
    EXPECT_EQ(verdicts.rows[1].outcome, Outcome::Pass);  // U23 kept its 6600 V
}

TEST(Verdicts, LeaveFlaggedValuesOutAndJudgeAShortSurveyOnWhatItHolds) {
    const HandMadeSurvey survey(1, 7300, 4);
    const SurveyVerdicts verdicts = judgeSurvey(survey.series, voltageOnly());
    EXPECT_TRUE(verdicts.shorterThanPeriod);
    const Verdict& u12 = verdicts.rows[0];
    EXPECT_EQ(u12.used + u12.leftOut, 144);
    EXPECT_EQ(u12.leftOut, 36);
    EXPECT_EQ(u12.outcome, Outcome::Pass);
    EXPECT_EQ(u12.percentile, 0);
    const HandMadeSurvey allFlagged(1, 7300, 1);
    EXPECT_EQ(judgeSurvey(allFlagged.series, voltageOnly()).rows[0].outcome, Outcome::NotJudged);
}

}  // namespace
}  // namespace pqwave
