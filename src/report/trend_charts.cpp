#include "report/trend_charts.h"

#include <algorithm>
#include <cmath>

#include "report/chart_ticks.h"
#include "report/report_texts.h"

namespace pqwave {
namespace {

constexpr Stroke kStrokes[] = {Stroke::Solid, Stroke::Dash, Stroke::Dot, Stroke::DashDot};
const char* const kLineNames[] = {"U12", "U23", "U31"};

Stroke strokeOf(int k) {
    return kStrokes[static_cast<std::size_t>(k) % std::size(kStrokes)];
}

// Values of consecutive intervals joined; a gap between recordings breaks the line.
class Trace {
public:
    void add(double start, double end, double value) {
        if (!x_.empty() && start > lastEnd_ + 1) {
            x_.push_back(NAN);
            y_.push_back(NAN);
        }
        x_.push_back((start + end) / 2);
        y_.push_back(value);
        lastEnd_ = end;
    }
    // A value that holds over its interval, drawn as a step.
    void addStep(double start, double end, double value) {
        x_.insert(x_.end(), {start, end, NAN});
        y_.insert(y_.end(), {value, value, NAN});
    }
    LineSeries line(std::string name, Stroke stroke) && {
        return {std::move(name), std::move(x_), std::move(y_), stroke};
    }

private:
    std::vector<double> x_, y_;
    double lastEnd_ = 0;
};

// Extremes hold over their whole interval: a band of steps, broken where an interval is missing.
void addStep(BandSeries& band, double start, double end, double low, double high) {
    if (!band.x.empty() && start > band.x.back() + 1) {
        band.x.push_back(NAN), band.low.push_back(NAN), band.high.push_back(NAN);
    }
    band.x.insert(band.x.end(), {start, end});
    band.low.insert(band.low.end(), {low, low});
    band.high.insert(band.high.end(), {high, high});
}

class TrendBuilder {
public:
    TrendBuilder(const SurveySeries& s, const TrendOptions& o) : s_(s), o_(o) {
        from_ = o.clock ? o.clock->first : s.start;
        to_ = o.clock ? o.clock->second : s.end;
        if (!(to_ > from_)) to_ = from_ + 600;
    }

    std::string t(const char* english) const { return reportText(o_.language, english); }

    Figure figure(TrendQuantity q) {
        Figure f;
        f.id = o_.id;
        f.width = o_.width;
        f.x.title = t("Time");
        f.x.scale = AxisScale::Clock;
        f.x.min = from_;
        f.x.max = to_;
        f.shaded.name = t("flagged interval");
        for (const TimedRow& r : s_.rows)
            if (r.row->flagged) {
                if (!f.shaded.ranges.empty() && f.shaded.ranges.back().second >= r.start)
                    f.shaded.ranges.back().second = r.end;
                else
                    f.shaded.ranges.emplace_back(r.start, r.end);
            }
        switch (q) {
            case TrendQuantity::Voltage:
                for (int u = 0; u < kLineVoltages; ++u) f.panels.push_back(voltagePanel(u));
                break;
            case TrendQuantity::Frequency:
                f.panels.push_back(frequencyPanel());
                break;
            case TrendQuantity::Unbalance:
                f.panels.push_back(unbalancePanel());
                break;
            case TrendQuantity::Thd:
                f.panels.push_back(thdPanel());
                break;
            case TrendQuantity::Flicker:
                f.panels.push_back(pstPanel());
                f.panels.push_back(pltPanel());
                break;
            case TrendQuantity::ActivePower:
            case TrendQuantity::ReactivePower:
            case TrendQuantity::PowerFactor:
                f.panels.push_back(powerPanel(q));
                break;
        }
        return f;
    }

private:
    bool shown(double start, double end) const { return end >= from_ && start <= to_; }

    // The y range of what is shown, at least `minimumSpan` wide around its middle.
    void fitY(Panel& p, double minimumSpan, std::initializer_list<double> include = {}) const {
        double low = INFINITY, high = -INFINITY;
        auto take = [&](double v) {
            if (std::isfinite(v)) low = std::min(low, v), high = std::max(high, v);
        };
        auto inView = [&](double x) { return std::isfinite(x) && x >= from_ - 600 && x <= to_ + 600; };
        for (const LineSeries& l : p.lines)
            for (std::size_t i = 0; i < l.x.size(); ++i)
                if (inView(l.x[i])) take(l.y[i]);
        for (const BandSeries& b : p.bands)
            for (std::size_t i = 0; i < b.x.size(); ++i)
                if (inView(b.x[i])) take(b.low[i]), take(b.high[i]);
        for (double v : include) take(v);
        if (!std::isfinite(low)) low = 0, high = 1;
        if (high - low < minimumSpan) {
            const double middle = (low + high) / 2;
            low = middle - minimumSpan / 2;
            high = middle + minimumSpan / 2;
        }
        p.y.min = low;
        p.y.max = high;
        roundOutward(p.y);
    }

    double udin() const { return s_.rows.empty() ? 0 : s_.rows.front().udin; }

    Panel voltagePanel(int u) const {
        Panel p;
        p.title = reportText(o_.language, "Line voltage {0}", {kLineNames[u]});
        p.y.title = std::string(kLineNames[u]) + " (V)";
        BandSeries band{t("3-s extremes"), {}, {}, {}, Fill::Light};
        for (const TimedExtremes& e : s_.extremes) addStep(band, e.start, e.end, e.lowest[u], e.highest[u]);
        Trace values;
        for (const TimedRow& r : s_.rows) values.add(r.start, r.end, r.row->lineVolts[u]);
        p.bands.push_back(std::move(band));
        p.lines.push_back(std::move(values).line(t("10-min value"), Stroke::Solid));
        const double un = udin();
        if (o_.limits && o_.limits->voltage && un > 0) {
            const double band = o_.limits->voltage->bandPercent;
            p.guides.push_back({false, un * (1 + band / 100), "+" + shortNumberText(band) + " %", Stroke::Dash});
            p.guides.push_back({false, un * (1 - band / 100), "-" + shortNumberText(band) + " %", Stroke::Dash});
        }
        if (un > 0) p.guides.push_back({false, un, "Udin", Stroke::Dot});
        fitY(p, un * 0.04);
        return p;
    }

    Panel frequencyPanel() const {
        Panel p;
        p.title = t("Frequency");
        p.y.title = "f (Hz)";
        // The 10-s values of each 10 minutes as a band, so a week stays a readable picture.
        BandSeries band{t("10-s extremes"), {}, {}, {}, Fill::Light};
        std::size_t k = 0;
        for (const TimedRow& r : s_.rows) {
            double low = INFINITY, high = -INFINITY;
            while (k < s_.frequencies.size() && s_.frequencies[k].start < r.start) ++k;
            for (std::size_t j = k; j < s_.frequencies.size() && s_.frequencies[j].start < r.end; ++j)
                if (std::isfinite(s_.frequencies[j].hz))
                    low = std::min(low, s_.frequencies[j].hz), high = std::max(high, s_.frequencies[j].hz);
            addStep(band, r.start, r.end, std::isfinite(low) ? low : NAN, std::isfinite(high) ? high : NAN);
        }
        Trace mean;
        for (const TimedRow& r : s_.rows) mean.add(r.start, r.end, r.row->frequencyHz);
        p.bands.push_back(std::move(band));
        p.lines.push_back(std::move(mean).line(t("10-min mean"), Stroke::Solid));
        const double fn = s_.frequencies.empty() ? 50 : s_.frequencies.front().nominalHz;
        if (o_.limits && o_.limits->frequency) {
            const double b = o_.limits->frequency->bandPercent;
            p.guides.push_back({false, fn * (1 + b / 100), "+" + shortNumberText(b) + " %", Stroke::Dash});
            p.guides.push_back({false, fn * (1 - b / 100), "-" + shortNumberText(b) + " %", Stroke::Dash});
        }
        fitY(p, fn * 0.004);
        return p;
    }

    // A ceiling stays in sight, clear of the frame, so the margin to it can be read.
    static double ceilingOf(const std::optional<CeilingLimit>& limit) { return limit ? limit->maximum * 1.1 : NAN; }

    void ceilingGuide(Panel& p, const std::optional<CeilingLimit>& limit, const std::string& unit) const {
        if (limit)
            p.guides.push_back({false, limit->maximum, t("limit") + " " + shortNumberText(limit->maximum) + unit});
    }

    Panel unbalancePanel() const {
        Panel p;
        p.title = t("Voltage unbalance u2");
        p.y.title = "u2 (%)";
        Trace values;
        for (const TimedRow& r : s_.rows) values.add(r.start, r.end, r.row->unbalancePercent);
        p.lines.push_back(std::move(values).line(t("10-min value"), Stroke::Solid));
        if (o_.limits) ceilingGuide(p, o_.limits->unbalance, " %");
        fitY(p, 0.5, {0.0, ceilingOf(o_.limits ? o_.limits->unbalance : std::nullopt)});
        return p;
    }

    Panel thdPanel() const {
        Panel p;
        p.title = t("Total harmonic distortion of the line voltages");
        p.y.title = "THD (%)";
        for (int u = 0; u < kLineVoltages; ++u) {
            Trace values;
            for (const TimedRow& r : s_.rows) values.add(r.start, r.end, r.row->thdPercent[u]);
            p.lines.push_back(std::move(values).line(kLineNames[u], strokeOf(u)));
        }
        if (o_.limits) ceilingGuide(p, o_.limits->thd, " %");
        fitY(p, 1, {0.0, ceilingOf(o_.limits ? o_.limits->thd : std::nullopt)});
        return p;
    }

    Panel pstPanel() const {
        Panel p;
        p.title = t("Short-term flicker severity Pst (10 min)");
        p.y.title = "Pst";
        for (int u = 0; u < kLineVoltages; ++u) {
            Trace values;
            for (const TimedFlicker& f : s_.shortTerm) values.add(f.start, f.end, f.values[u]);
            p.lines.push_back(std::move(values).line(kLineNames[u], strokeOf(u)));
        }
        fitY(p, 0.5, {0.0});
        return p;
    }

    Panel pltPanel() const {
        Panel p;
        p.title = t("Long-term flicker severity Plt (2 h)");
        p.y.title = "Plt";
        for (int u = 0; u < kLineVoltages; ++u) {
            Trace values;
            for (const TimedFlicker& f : s_.longTerm) values.addStep(f.start, f.end, f.values[u]);
            p.lines.push_back(std::move(values).line(kLineNames[u], strokeOf(u)));
        }
        if (o_.limits) ceilingGuide(p, o_.limits->plt, "");
        fitY(p, 0.5, {0.0, ceilingOf(o_.limits ? o_.limits->plt : std::nullopt)});
        return p;
    }

    Panel powerPanel(TrendQuantity q) const {
        Panel p;
        const bool active = q == TrendQuantity::ActivePower, reactive = q == TrendQuantity::ReactivePower;
        p.title = active     ? t("Active power P of each circuit")
                  : reactive ? t("Reactive power Q of each circuit")
                             : t("Power factor of each circuit");
        p.y.title = active ? "P (kW)" : reactive ? "Q (kvar)" : "PF";
        for (int c = 0; c < s_.circuits; ++c) {
            Trace values;
            for (const TimedRow& r : s_.rows) {
                const bool has = c < static_cast<int>(r.row->circuits.size());
                const PqCircuitValues* v = has ? &r.row->circuits[c] : nullptr;
                values.add(r.start, r.end, !v ? NAN : active ? v->kW : reactive ? v->kvar : v->powerFactor);
            }
            p.lines.push_back(
                std::move(values).line(reportText(o_.language, "Circuit {0}", {std::to_string(c + 1)}), strokeOf(c)));
        }
        if (q == TrendQuantity::PowerFactor)
            fitY(p, 0.1);
        else
            fitY(p, 1, {0.0});
        return p;
    }

    const SurveySeries& s_;
    const TrendOptions& o_;
    double from_ = 0, to_ = 0;
};

}  // namespace

std::string_view trendQuantityName(TrendQuantity quantity) {
    static const char* const names[] = {"U", "f", "u2", "THD", "Pst", "P", "Q", "PF"};
    return names[static_cast<int>(quantity)];
}

std::optional<TrendQuantity> trendQuantityFromName(std::string_view name) {
    for (TrendQuantity q : kTrendQuantities)
        if (trendQuantityName(q) == name) return q;
    return std::nullopt;
}

Figure trendFigure(const SurveySeries& series, TrendQuantity quantity, const TrendOptions& options) {
    return TrendBuilder(series, options).figure(quantity);
}

}  // namespace pqwave
