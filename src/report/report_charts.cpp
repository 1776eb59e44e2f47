#include "report/report_charts.h"

#include <algorithm>
#include <cmath>

#include "report/chart_ticks.h"
#include "report/report_texts.h"

namespace pqwave {

Figure harmonicFigure(const HarmonicPercentiles& percentiles, double sharePercent, const LimitSet& limits,
                      Language language) {
    Figure f;
    f.id = "harmonics";
    f.plotHeight = 190;
    f.x.title = reportText(language, "Harmonic order");
    f.x.min = 1.5;
    f.x.max = kReportHighestOrder + 0.5;
    f.x.ticks.push_back({2, "2"});
    for (int order = 5; order <= kReportHighestOrder; order += 5)
        f.x.ticks.push_back({double(order), std::to_string(order)});
    Panel p;
    p.title = reportText(language, "{0} % value of the 10-min harmonic voltages", {shortNumberText(sharePercent)});
    p.y.title = reportText(language, "% of the fundamental");
    const Fill fills[] = {Fill::Black, Fill::Grey, Fill::White};
    const char* const names[] = {"U12", "U23", "U31"};
    double highest = 0;
    for (int u = 0; u < kLineVoltages; ++u) {
        BarSeries bars{names[u], {}, {}, fills[u], u, kLineVoltages};
        for (int order = 2; order <= kReportHighestOrder; ++order) {
            bars.x.push_back(order);
            bars.y.push_back(percentiles[u][order]);
            if (std::isfinite(percentiles[u][order])) highest = std::max(highest, percentiles[u][order]);
        }
        p.bars.push_back(std::move(bars));
    }
    if (limits.harmonics) {
        LevelMarks marks{reportText(language, "limit"), {}, {}};
        for (int order = 2; order <= kReportHighestOrder; ++order)
            if (std::isfinite(limits.harmonics->percent[order])) {
                marks.x.push_back(order);
                marks.y.push_back(limits.harmonics->percent[order]);
                highest = std::max(highest, limits.harmonics->percent[order]);
            }
        p.levels.push_back(std::move(marks));
    }
    p.y.min = 0;
    p.y.max = std::max(highest * 1.05, 0.5);
    roundOutward(p.y);
    f.panels.push_back(std::move(p));
    return f;
}

Figure magnitudeDurationFigure(const SurveySeries& series, Language language) {
    Figure f;
    f.id = "magnitude-duration";
    f.plotHeight = 230;
    f.x.title = reportText(language, "Duration (s)");
    f.x.scale = AxisScale::Log;
    f.x.min = 0.01;
    double longest = 60, highest = 130;
    for (const TimedEvent& e : series.events) {
        if (e.event->type == PqEventType::Rvc) continue;
        longest = std::max(longest, e.event->durationSeconds);
        if (e.event->type == PqEventType::Swell) highest = std::max(highest, e.event->extremePercent + 10);
    }
    f.x.max = std::pow(10, std::ceil(std::log10(longest * 1.2)));
    Panel p;
    p.title = reportText(language, "Dips, swells and interruptions by magnitude and duration");
    p.y.title = reportText(language, "Voltage (% of Udin)");
    p.y.min = 0;
    p.y.max = highest;
    roundOutward(p.y);
    MarkerSeries dips{reportText(language, "dip"), {}, {}, Marker::Circle, true, "dip"};
    MarkerSeries swells{reportText(language, "swell"), {}, {}, Marker::Triangle, false, "swell"};
    MarkerSeries interruptions{reportText(language, "interruption"), {}, {}, Marker::Square, true, "interruption"};
    for (const TimedEvent& e : series.events) {
        MarkerSeries* into = e.event->type == PqEventType::Dip            ? &dips
                             : e.event->type == PqEventType::Swell        ? &swells
                             : e.event->type == PqEventType::Interruption ? &interruptions
                                                                          : nullptr;
        if (!into) continue;
        into->x.push_back(std::max(e.event->durationSeconds, f.x.min));
        into->y.push_back(e.event->extremePercent);
    }
    // The classification's bounds, so each point's cell can be read off.
    for (double seconds : {0.2, 0.5, 1.0, 5.0, 60.0}) p.guides.push_back({true, seconds, "", Stroke::Dot});
    for (double percent : {90.0, 80.0, 70.0, 40.0, 5.0, 110.0, 120.0})
        p.guides.push_back({false, percent, shortNumberText(percent) + " %", Stroke::Dot});
    p.markers = {std::move(dips), std::move(swells), std::move(interruptions)};
    f.panels.push_back(std::move(p));
    return f;
}

}  // namespace pqwave
