#include "report/trend_view.h"

#include <algorithm>
#include <cmath>

#include "report/chart_ticks.h"
#include "report/report_texts.h"

namespace pqwave {
namespace {

constexpr double kNarrowestSeconds = 600;
const char* const kLineNames[] = {"U12", "U23", "U31"};

template <typename T>
const T* holding(const std::vector<T>& values, double t) {
    const auto it = std::upper_bound(values.begin(), values.end(), t, [](double x, const T& v) { return x < v.start; });
    if (it == values.begin()) return nullptr;
    const T& v = *std::prev(it);
    return t < v.end ? &v : nullptr;
}

std::string span(double start, double end) {
    const std::string to = clockText(end);
    return clockText(start) + " - " + to.substr(to.find(' ') + 1);
}

std::string valueText(double v, int decimals, const std::string& unit) {
    return std::isfinite(v) ? fixedText(v, decimals) + unit : "-";
}

}  // namespace

ClockRange zoomedRange(const ClockRange& shown, const ClockRange& whole, double anchor, double steps) {
    const double wholeSpan = std::max(whole.second - whole.first, 1.0);
    double span = (shown.second - shown.first) * std::pow(0.75, steps);
    span = std::clamp(span, std::min(kNarrowestSeconds, wholeSpan), wholeSpan);
    anchor = std::clamp(anchor, shown.first, shown.second);
    const double fraction = shown.second > shown.first ? (anchor - shown.first) / (shown.second - shown.first) : 0.5;
    double from = anchor - fraction * span;
    from = std::clamp(from, whole.first, whole.second - span);
    return {from, from + span};
}

std::string trendReadout(const SurveySeries& s, TrendQuantity q, double t, Language language) {
    std::string out;
    switch (q) {
        case TrendQuantity::Flicker: {
            const TimedFlicker* pst = holding(s.shortTerm, t);
            const TimedFlicker* plt = holding(s.longTerm, t);
            if (!pst && !plt) return {};
            if (pst) {
                out = span(pst->start, pst->end);
                for (int u = 0; u < kLineVoltages; ++u)
                    out += std::string("  Pst ") + kLineNames[u] + " " + valueText(pst->values[u], 2, "");
            }
            if (plt)
                for (int u = 0; u < kLineVoltages; ++u)
                    out += std::string("  Plt ") + kLineNames[u] + " " + valueText(plt->values[u], 2, "");
            return out;
        }
        default:
            break;
    }
    const TimedRow* r = holding(s.rows, t);
    if (!r) return {};
    const PqRow& row = *r->row;
    out = span(r->start, r->end);
    if (row.flagged) out += " (" + reportText(language, "flagged interval") + ")";
    switch (q) {
        case TrendQuantity::Voltage:
            for (int u = 0; u < kLineVoltages; ++u)
                out += std::string("  ") + kLineNames[u] + " " + valueText(row.lineVolts[u], 1, " V");
            if (const TimedExtremes* e = holding(s.extremes, t))
                out += "  3 s: " + valueText(*std::min_element(e->lowest.begin(), e->lowest.end()), 1, " V") + " - " +
                       valueText(*std::max_element(e->highest.begin(), e->highest.end()), 1, " V");
            break;
        case TrendQuantity::Frequency:
            out += "  f " + valueText(row.frequencyHz, 3, " Hz");
            break;
        case TrendQuantity::Unbalance:
            out += "  u2 " + valueText(row.unbalancePercent, 2, " %");
            break;
        case TrendQuantity::Thd:
            for (int u = 0; u < kLineVoltages; ++u)
                out += std::string("  THD ") + kLineNames[u] + " " + valueText(row.thdPercent[u], 2, " %");
            break;
        default:
            for (std::size_t c = 0; c < row.circuits.size(); ++c) {
                const PqCircuitValues& v = row.circuits[c];
                const std::string n = std::to_string(c + 1);
                if (q == TrendQuantity::ActivePower) out += "  P" + n + " " + valueText(v.kW, 1, " kW");
                if (q == TrendQuantity::ReactivePower) out += "  Q" + n + " " + valueText(v.kvar, 1, " kvar");
                if (q == TrendQuantity::PowerFactor) out += "  PF" + n + " " + valueText(v.powerFactor, 3, "");
            }
    }
    return out;
}

}  // namespace pqwave
