// The report's two pictures beside the trends: the 95th percentiles of the harmonic orders
// 2-50 of each line voltage as bars beside each order's limit, and every dip, swell and
// interruption on a magnitude-duration chart with the classification's bounds drawn in.
#pragma once

#include "common/messages.h"
#include "report/chart.h"
#include "report/limit_set.h"
#include "report/survey_series.h"
#include "report/survey_statistics.h"

namespace pqwave {

Figure harmonicFigure(const HarmonicPercentiles& percentiles, double sharePercent, const LimitSet& limits,
                      Language language);

Figure magnitudeDurationFigure(const SurveySeries& series, Language language);

}  // namespace pqwave
