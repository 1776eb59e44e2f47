// The verdict of a survey against a limit set: per limit (and per line voltage where the limit
// holds for each), the measured statistic, pass or fail, and how many flagged values were left
// out. The shares hold for each observation period (a week for EN 50160) counted from the
// survey's first sample; a survey with several periods fails a limit when any period does, and
// shows its worst period. A survey shorter than one period is judged on what it holds.
#pragma once

#include <vector>

#include "report/limit_set.h"
#include "report/survey_series.h"

namespace pqwave {

enum class Check { Voltage, Frequency, Unbalance, Thd, Plt, Harmonics };
enum class Outcome { Pass, Fail, NotJudged };

struct Verdict {
    Check check = Check::Voltage;
    int voltage = -1;  // U12, U23, U31 for the checks of each line voltage
    double limit = 0;  // the band in % or the maximum
    double requiredShare = 0;
    Outcome outcome = Outcome::NotJudged;
    // In the worst period: the share of the values used that keep the limit, and the value the
    // required share keeps (for bands the deviation in % of the reference).
    double share = 0;
    double percentile = 0;
    double lowest = 0, highest = 0;  // the values used, in V or Hz (bands only)
    int worstOrder = 0;              // harmonics: the order nearest its limit
    int used = 0, leftOut = 0;       // over every period
    int periods = 0;                 // periods holding values
    double worstPeriodStart = 0;     // clock seconds
};

struct SurveyVerdicts {
    std::vector<Verdict> rows;
    double periodDays = 7;
    double surveySeconds = 0;  // from the first sample to the last
    bool shorterThanPeriod = false;
};

SurveyVerdicts judgeSurvey(const SurveySeries& series, const LimitSet& limits);

}  // namespace pqwave
