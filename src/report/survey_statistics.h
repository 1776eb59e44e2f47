// The statistics a supply is judged by, from the survey's values: the share of values within a
// limit and the value that a given share stays at or below (the nearest-rank percentile: of N
// sorted values the one at rank ceil(p N / 100)). Flagged values (an interval holding part of a
// dip, swell or interruption, or only partly recorded) are left out and counted, as the
// power-quality methods require.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "quality/pq_types.h"
#include "report/limit_set.h"
#include "report/survey_series.h"

namespace pqwave {

// NaN without values. Sorts `values`.
double nearestRankPercentile(std::vector<double>& values, double percent);

// Per line voltage and order (2..50), the percentile `percent` of the 10-min harmonic
// subgroups in % of the fundamental, over the rows that are not flagged; NaN where none.
using HarmonicPercentiles = std::array<std::array<double, kReportHighestOrder + 1>, kLineVoltages>;
HarmonicPercentiles harmonicPercentiles(const SurveySeries& series, double percent);

// The harmonic of a row in % of its fundamental; NaN when either is missing.
double harmonicPercent(const PqRow& row, int voltage, int order);

}  // namespace pqwave
