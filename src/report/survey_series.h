// A survey's values laid on one clock: every recording's 10-minute rows, 10-s frequencies,
// Pst, Plt, 3-s voltage extremes and events, timed in clock seconds (from 1899-12-30) so that
// the recordings of a folder follow one another on the trends and count together in the
// verdicts. Each value keeps its recording's Udin. Pointers refer into the survey, which must
// outlive the series.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "control/pq_survey.h"

namespace pqwave {

struct TimedRow {
    double start = 0, end = 0;  // clock seconds
    const PqRow* row = nullptr;
    double udin = 0;
    int recording = 0;
};

struct TimedFrequency {
    double start = 0, end = 0;
    double hz = 0, nominalHz = 50;
    bool flagged = false;
};

struct TimedFlicker {  // Pst of 10 minutes or Plt of 2 hours
    double start = 0, end = 0;
    std::array<double, kLineVoltages> values{};
    bool flagged = false;
    bool complete = false;
};

struct TimedExtremes {
    double start = 0, end = 0;
    std::array<double, kLineVoltages> lowest{}, highest{};
};

struct TimedEvent {
    double start = 0;  // clock seconds
    const PqEvent* event = nullptr;
    double udin = 0;
    int recording = 0;
};

struct SurveySeries {
    double start = 0, end = 0;   // the first sample and the last of the survey
    double measuredSeconds = 0;  // the recordings' durations added
    int circuits = 0;            // the most any recording has
    std::vector<TimedRow> rows;  // 10-minute rows in time order
    std::vector<TimedFrequency> frequencies;
    std::vector<TimedFlicker> shortTerm, longTerm;
    std::vector<TimedExtremes> extremes;
    std::vector<TimedEvent> events;
};

SurveySeries seriesOf(const PqSurvey& survey);

// "2024/05/06 13:45:30" of clock seconds; with milliseconds "2024/05/06 13:45:30.250".
std::string clockText(double clockSeconds, bool milliseconds = false);

}  // namespace pqwave
