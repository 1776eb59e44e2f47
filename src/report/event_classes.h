// Dips and swells counted by residual (or maximum) voltage and duration in the rows and columns
// of the EN 50160 / IEC 61000-2-8 classification, one count per polyphase event, and the
// interruptions split into short (up to 3 minutes) and long. Voltages in % of Udin.
//   dips:   90 > u >= 80, 80 > u >= 70, 70 > u >= 40, 40 > u >= 5, 5 > u
//           x  10 ms <= t <= 200 ms, 200 ms < t <= 500 ms, 500 ms < t <= 1 s, 1 s < t <= 5 s,
//              5 s < t <= 1 min
//   swells: u >= 120, 120 > u > 110  x  10 ms <= t <= 500 ms, 500 ms < t <= 5 s, 5 s < t <= 1 min
// An event beyond a minute (longer than the table's events are defined) is counted in a last
// column of its own; one shorter than 10 ms (no Urms(1/2) event is) would go in the first.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "report/survey_series.h"

namespace pqwave {

struct EventClassTable {
    std::vector<double> rowBounds;     // % of Udin, from the top row's upper bound down
    std::vector<double> columnBounds;  // seconds: the upper bound of each column but the last
    std::vector<std::vector<int>> counts;
    int rows() const { return static_cast<int>(counts.size()); }
    int columns() const { return counts.empty() ? 0 : static_cast<int>(counts.front().size()); }
};

struct EventClasses {
    EventClassTable dips, swells;
    int shortInterruptions = 0, longInterruptions = 0;
};

EventClasses classifyEvents(std::span<const TimedEvent> events);

// The row and column of one dip or swell.
std::array<int, 2> dipCell(double residualPercent, double seconds);
std::array<int, 2> swellCell(double maximumPercent, double seconds);

}  // namespace pqwave
