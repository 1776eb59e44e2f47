// The report's sections of pictures and tables: trends, harmonics and events.
#include <algorithm>
#include <cmath>

#include "report/chart_ticks.h"
#include "report/event_classes.h"
#include "report/html_parts.h"
#include "report/report_charts.h"
#include "report/survey_statistics.h"
#include "report/trend_charts.h"

namespace pqwave::html {
namespace {

const char* const kLineNames[] = {"U12", "U23", "U31"};

std::string trendCaption(const Context& c, TrendQuantity q) {
    switch (q) {
        case TrendQuantity::Voltage:
            return c.t("Line voltages: 10-min values, the band of the 3-s extremes, Udin and its limits");
        case TrendQuantity::Frequency:
            return c.t("Frequency: 10-min means and the band of the 10-s values");
        case TrendQuantity::Unbalance:
            return c.t("Voltage unbalance u2, 10-min values");
        case TrendQuantity::Thd:
            return c.t("THD of the line voltages, 10-min values");
        case TrendQuantity::Flicker:
            return c.t("Flicker: Pst of each 10 minutes, Plt of each 2 hours");
        default:
            return c.t("Power of each circuit, 10-min means");
    }
}

std::string durationRangeText(const Context& c, const std::vector<double>& bounds, int column) {
    auto seconds = [](double s) { return s < 1 ? shortNumberText(s * 1000) + " ms" : shortNumberText(s) + " s"; };
    if (column == 0) return "10 ms ≤ t ≤ " + seconds(bounds[0]);
    if (column < static_cast<int>(bounds.size()))
        return seconds(bounds[column - 1]) + " < t ≤ " + seconds(bounds[column]);
    return "t > " + seconds(bounds.back()) + " " + c.t("(beyond the table)");
}

std::string classTable(const Context& c, const EventClassTable& t, bool dips, const char* id) {
    std::string out = "<table class=\"compact\" id=\"" + std::string(id) + "\">\n<thead><tr>" +
                      headCell(dips ? c.t("Residual voltage u (% of Udin)") : c.t("Maximum voltage u (% of Udin)"));
    for (int k = 0; k < t.columns(); ++k) out += headCell(durationRangeText(c, t.columnBounds, k));
    out += "</tr></thead>\n<tbody>\n";
    for (int r = 0; r < t.rows(); ++r) {
        std::string label;
        if (dips)
            label = r + 1 < static_cast<int>(t.rowBounds.size()) - 1
                        ? shortNumberText(t.rowBounds[r]) + " > u ≥ " + shortNumberText(t.rowBounds[r + 1])
                        : shortNumberText(t.rowBounds[r]) + " > u";
        else
            label = r == 0 ? "u ≥ " + shortNumberText(t.rowBounds[0])
                           : shortNumberText(t.rowBounds[0]) + " > u > " + shortNumberText(t.rowBounds[1]);
        out += "<tr>" + headCell(label);
        for (int k = 0; k < t.columns(); ++k)
            out += "<td class=\"number\" id=\"" + std::string(id) + "-" + std::to_string(r) + "-" + std::to_string(k) +
                   "\">" + std::to_string(t.counts[r][k]) + "</td>";
        out += "</tr>\n";
    }
    return out + "</tbody>\n</table>\n";
}

std::string eventTypeText(const Context& c, PqEventType type) {
    switch (type) {
        case PqEventType::Dip:
            return c.t("dip");
        case PqEventType::Swell:
            return c.t("swell");
        case PqEventType::Interruption:
            return c.t("interruption");
        default:
            return c.t("rapid voltage change");
    }
}

std::string eventList(const Context& c) {
    std::string out = "<table class=\"compact\" id=\"event-list\">\n<thead><tr>" + headCell(c.t("Type")) +
                      headCell(c.t("Start")) + headCell(c.t("Duration (ms)")) +
                      headCell(c.t("Residual / maximum / delta Umax (V)")) + headCell(c.t("(% of Udin)")) +
                      headCell(c.t("Voltages")) + "</tr></thead>\n<tbody>\n";
    for (const TimedEvent& e : c.series.events) {
        const PqEvent& ev = *e.event;
        static const char* const kinds[] = {"dip", "swell", "interruption", "rvc"};
        out += std::string("<tr class=\"event\" data-type=\"") + kinds[static_cast<int>(ev.type)] + "\">" +
               cell(eventTypeText(c, ev.type)) + cell(clockText(e.start, true)) +
               numberCell(ev.durationSeconds * 1000, 0) + numberCell(ev.extremeVolts, 1) +
               numberCell(ev.extremePercent, 2) + cell(ev.phases) + "</tr>\n";
    }
    if (c.series.events.empty())
        out += "<tr><td colspan=\"6\">" + xmlEscaped(c.t("No event was found.")) + "</td></tr>\n";
    return out + "</tbody>\n</table>\n";
}

}  // namespace

std::string trendsSection(const Context& c) {
    std::string out = "<section id=\"trends\">\n<h2>" + xmlEscaped(c.t("3. Trends")) + "</h2>\n";
    TrendOptions options;
    options.language = c.options.language;
    options.limits = &c.options.limits;
    for (TrendQuantity q : kTrendQuantities) {
        const bool power =
            q == TrendQuantity::ActivePower || q == TrendQuantity::ReactivePower || q == TrendQuantity::PowerFactor;
        if (power && c.series.circuits == 0) continue;
        options.id = "trend-" + std::string(trendQuantityName(q));
        out += figureBlock(trendFigure(c.series, q, options), trendCaption(c, q));
    }
    return out + "</section>\n";
}

std::string harmonicsSection(const Context& c) {
    const LimitSet& limits = c.options.limits;
    const double share = limits.harmonics ? limits.harmonics->sharePercent : 95;
    const HarmonicPercentiles percentiles = harmonicPercentiles(c.series, share);
    std::string out = "<section id=\"harmonics\">\n<h2>" + xmlEscaped(c.t("4. Harmonics")) + "</h2>\n";
    out += figureBlock(
        harmonicFigure(percentiles, share, limits, c.options.language),
        c.t("The {0} % value of the 10-min values of each order beside its limit", {shortNumberText(share)}));
    // Orders above half the sampling frequency that the set gives no limit either say nothing.
    int lastOrder = 2;
    for (int order = 2; order <= kReportHighestOrder; ++order) {
        const bool limited = limits.harmonics && std::isfinite(limits.harmonics->percent[order]);
        bool measured = false;
        for (int u = 0; u < kLineVoltages; ++u) measured = measured || std::isfinite(percentiles[u][order]);
        if (limited || measured) lastOrder = order;
    }
    const int rows = (lastOrder - 2) / 2 + 1;  // two orders side by side per row
    out += "<table class=\"compact\" id=\"harmonic-table\">\n<thead><tr>";
    for (int half = 0; half < 2; ++half) {
        out += headCell(c.t("Order"));
        for (const char* name : kLineNames) out += headCell(name + std::string(" (%)"));
        out += headCell(c.t("Limit (%)"));
    }
    out += "</tr></thead>\n<tbody>\n";
    for (int row = 0; row < rows; ++row) {
        out += "<tr>";
        for (int half = 0; half < 2; ++half) {
            const int order = 2 + row + half * rows;
            if (order > lastOrder) {
                out += "<td colspan=\"5\"></td>";
                continue;
            }
            const double limit = limits.harmonics ? limits.harmonics->percent[order] : NAN;
            out += cell(std::to_string(order), " class=\"number\"");
            for (int u = 0; u < kLineVoltages; ++u) {
                const double p = percentiles[u][order];
                const bool over = std::isfinite(limit) && p > limit;
                out += numberCell(p, 3,
                                  " id=\"h-" + std::string(kLineNames[u]) + "-" + std::to_string(order) + "\"" +
                                      (over ? " style=\"font-weight:bold;text-decoration:underline\"" : ""));
            }
            out += numberCell(limit, 1);
        }
        out += "</tr>\n";
    }
    out += "</tbody>\n</table>\n<p class=\"note\">" +
           xmlEscaped(c.t("Harmonic subgroups in % of the fundamental; an empty cell lies above half the sampling "
                          "frequency. The limit set gives no value where its cell is empty.")) +
           "</p>\n";
    return out + "</section>\n";
}

std::string eventsSection(const Context& c) {
    const EventClasses classes = classifyEvents(c.series.events);
    std::string out = "<section id=\"events\">\n<h2>" + xmlEscaped(c.t("5. Events")) + "</h2>\n";
    out += "<h3>" + xmlEscaped(c.t("Dips by residual voltage and duration")) + "</h3>\n";
    out += classTable(c, classes.dips, true, "dip-classes");
    out += "<h3>" + xmlEscaped(c.t("Swells by maximum voltage and duration")) + "</h3>\n";
    out += classTable(c, classes.swells, false, "swell-classes");
    out += "<p id=\"interruptions\" data-short=\"" + std::to_string(classes.shortInterruptions) + "\" data-long=\"" +
           std::to_string(classes.longInterruptions) + "\">" +
           xmlEscaped(c.t("Interruptions: {0} short (up to 3 min), {1} long.",
                          {std::to_string(classes.shortInterruptions), std::to_string(classes.longInterruptions)})) +
           "</p>\n";
    out += figureBlock(magnitudeDurationFigure(c.series, c.options.language),
                       c.t("Each dip, swell and interruption by its residual or maximum voltage and duration"));
    out += "<h3>" + xmlEscaped(c.t("All events")) + "</h3>\n" + eventList(c);
    return out + "</section>\n";
}

}  // namespace pqwave::html
