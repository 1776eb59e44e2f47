// The trends of a survey as figures (chart.h): the line voltages' 10-min values with the band
// of their 3-s extremes, the frequency's 10-min means with the band of its 10-s values, u2,
// THD, Pst and Plt, and each circuit's P, Q and power factor, over the survey's clock. The
// report, pqwave-cli plot trend and the trend window draw the same figures; a window shows a
// part of the clock by giving the range.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/messages.h"
#include "report/chart.h"
#include "report/limit_set.h"
#include "report/survey_series.h"
#include "report/trend_quantity.h"

namespace pqwave {

struct TrendOptions {
    Language language = Language::Japanese;
    const LimitSet* limits = nullptr;                // its bands and ceilings as guide lines
    std::optional<std::pair<double, double>> clock;  // the part shown, clock seconds
    std::string id = "trend";
    double width = 720;
};

Figure trendFigure(const SurveySeries& series, TrendQuantity quantity, const TrendOptions& options);

}  // namespace pqwave
