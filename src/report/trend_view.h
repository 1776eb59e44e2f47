// What the trend window does with the pointer, as plain values: the part of the clock a wheel
// turn zooms to (around the time under the pointer, never beyond the survey) and the read-out
// of the values at the time under the pointer.
#pragma once

#include <string>
#include <utility>

#include "common/messages.h"
#include "report/survey_series.h"
#include "report/trend_charts.h"

namespace pqwave {

using ClockRange = std::pair<double, double>;  // clock seconds

// `steps` wheel steps in (positive) or out around `anchor`; each step narrows the range by a
// quarter. At least ten minutes stay shown, and never more than `whole`.
ClockRange zoomedRange(const ClockRange& shown, const ClockRange& whole, double anchor, double steps);

// "2024/05/06 14:05:00-14:10:00  U12 6601.9 V  U23 ..." of the interval holding `clockSeconds`;
// empty where the survey holds none.
std::string trendReadout(const SurveySeries& series, TrendQuantity quantity, double clockSeconds, Language language);

}  // namespace pqwave
