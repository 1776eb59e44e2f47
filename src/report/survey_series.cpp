#include "report/survey_series.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/datetime.h"

namespace pqwave {

SurveySeries seriesOf(const PqSurvey& survey) {
    SurveySeries s;
    bool first = true;
    for (std::size_t k = 0; k < survey.recordings.size(); ++k) {
        const SurveyRecording& r = survey.recordings[k];
        const double t0 = r.clockSecondsAtStart;
        const PqResult& result = r.measurement.result;
        const double udin = result.declaredVolts;
        const int recording = static_cast<int>(k);
        s.start = first ? t0 : std::min(s.start, t0);
        s.end = first ? t0 + r.durationSeconds : std::max(s.end, t0 + r.durationSeconds);
        first = false;
        s.measuredSeconds += r.durationSeconds;
        s.circuits = std::max(s.circuits, result.circuits);
        for (const PqRow& row : result.rows)
            s.rows.push_back({t0 + row.startSeconds, t0 + row.endSeconds, &row, udin, recording});
        for (const TenSecondFrequency& f : result.frequencies)
            s.frequencies.push_back({t0 + f.startSeconds, t0 + f.endSeconds, f.hz, result.nominalHz, f.flagged});
        for (const ShortTermFlicker& p : r.measurement.flicker.shortTerm)
            s.shortTerm.push_back({t0 + p.startSeconds, t0 + p.endSeconds, p.pst, p.flagged, p.complete});
        for (const LongTermFlicker& p : r.measurement.longTerm)
            s.longTerm.push_back({t0 + p.startSeconds, t0 + p.endSeconds, p.plt, p.flagged, p.complete});
        for (const VoltageExtremes& e : r.measurement.threeSecondExtremes)
            s.extremes.push_back({t0 + e.startSeconds, t0 + e.endSeconds, e.lowest, e.highest});
        for (const PqEvent& e : result.events) s.events.push_back({t0 + e.startSeconds, &e, udin, recording});
    }
    auto byStart = [](const auto& a, const auto& b) { return a.start < b.start; };
    std::stable_sort(s.rows.begin(), s.rows.end(), byStart);
    std::stable_sort(s.frequencies.begin(), s.frequencies.end(), byStart);
    std::stable_sort(s.shortTerm.begin(), s.shortTerm.end(), byStart);
    std::stable_sort(s.longTerm.begin(), s.longTerm.end(), byStart);
    std::stable_sort(s.extremes.begin(), s.extremes.end(), byStart);
    std::stable_sort(s.events.begin(), s.events.end(), byStart);
    return s;
}

std::string clockText(double clockSeconds, bool milliseconds) {
    const double totalMs = std::round(clockSeconds * 1000);
    const double wholeSeconds = std::floor(totalMs / 1000);
    const int ms = static_cast<int>(totalMs - wholeSeconds * 1000);
    const CivilDateTime t = toCivil(secondsToDays(wholeSeconds));
    std::string text = formatDate(t) + " " + formatTime(t);
    if (milliseconds) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, ".%03d", ms);
        text += buffer;
    }
    return text;
}

}  // namespace pqwave
