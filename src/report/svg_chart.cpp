#include "report/svg_chart.h"

#include <algorithm>
#include <cmath>

#include "report/chart_ticks.h"
#include "report/xml_text.h"

namespace pqwave {
namespace {

constexpr double kLeft = 66, kRight = 62;  // the right margin holds the guides' labels
constexpr double kTitle = 18, kLegendRow = 15, kTickLabels = 16, kAxisTitle = 16, kGap = 10;
constexpr double kFont = 11, kSmallFont = 10;

// A rough width of a text at `size`: CJK characters a full em, others about half.
double textWidth(const std::string& text, double size) {
    double em = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80)
            em += 0.56;
        else if (c >= 0xE0)
            em += 1.0;
        else if (c >= 0xC0)
            em += 0.6;
    }
    return em * size;
}

struct LegendEntry {
    enum Kind { Line, Band, Bar, Level, Mark, Shade } kind;
    std::string name;
    Stroke stroke = Stroke::Solid;
    Fill fill = Fill::Black;
    Marker marker = Marker::Circle;
    bool filled = true;
};

std::vector<LegendEntry> legendOf(const Panel& p, const Spans& shaded) {
    std::vector<LegendEntry> entries;
    for (const auto& s : p.lines)
        if (!s.name.empty()) entries.push_back({LegendEntry::Line, s.name, s.stroke});
    for (const auto& s : p.bands)
        if (!s.name.empty()) entries.push_back({LegendEntry::Band, s.name, Stroke::Solid, s.fill});
    for (const auto& s : p.bars)
        if (!s.name.empty()) entries.push_back({LegendEntry::Bar, s.name, Stroke::Solid, s.fill});
    for (const auto& s : p.levels)
        if (!s.name.empty()) entries.push_back({LegendEntry::Level, s.name});
    for (const auto& s : p.markers)
        if (!s.name.empty())
            entries.push_back({LegendEntry::Mark, s.name, Stroke::Solid, Fill::Black, s.marker, s.filled});
    if (!shaded.name.empty() && !shaded.ranges.empty()) entries.push_back({LegendEntry::Shade, shaded.name});
    return entries;
}

double entryWidth(const LegendEntry& e) {
    return 26 + textWidth(e.name, kSmallFont) + 14;
}

int legendRows(const Panel& p, const Spans& shaded, double width) {
    const std::vector<LegendEntry> entries = legendOf(p, shaded);
    if (entries.empty()) return 0;
    int rows = 1;
    double x = 0;
    for (const LegendEntry& e : entries) {
        if (x > 0 && x + entryWidth(e) > width) {
            ++rows;
            x = 0;
        }
        x += entryWidth(e);
    }
    return rows;
}

const char* dashOf(Stroke s) {
    switch (s) {
        case Stroke::Dash:
            return "6 3";
        case Stroke::Dot:
            return "1.5 2.5";
        case Stroke::DashDot:
            return "7 3 1.5 3";
        default:
            return nullptr;
    }
}

const char* fillColour(Fill f) {
    switch (f) {
        case Fill::Black:
            return "#000000";
        case Fill::Grey:
            return "#8c8c8c";
        case Fill::White:
            return "#ffffff";
        default:
            return "#cfcfcf";
    }
}

class SvgWriter {
public:
    explicit SvgWriter(const Figure& f) : f_(f), layout_(layoutOf(f)) {}

    std::string write() {
        out_ += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" class=\"chart\" id=\"" + xmlEscaped(f_.id) +
                "\" width=\"" + svgNumber(layout_.width) + "\" height=\"" + svgNumber(layout_.height) +
                "\" viewBox=\"0 0 " + svgNumber(layout_.width) + " " + svgNumber(layout_.height) + "\" font-family=\"" +
                xmlEscaped(f_.fontFamily) + "\" font-size=\"" + svgNumber(kFont) + "\">\n";
        out_ += "<rect x=\"0\" y=\"0\" width=\"" + svgNumber(layout_.width) + "\" height=\"" +
                svgNumber(layout_.height) + "\" fill=\"#ffffff\"/>\n";
        for (std::size_t k = 0; k < f_.panels.size(); ++k)
            panel(f_.panels[k], layout_.plots[k], k + 1 == f_.panels.size());
        out_ += "</svg>\n";
        return std::move(out_);
    }

private:
    double px(double v) const { return area_.left + axisFraction(f_.x, v) * area_.width; }
    double py(double v) const { return area_.top + (1 - axisFraction(*y_, v)) * area_.height; }

    void panel(const Panel& p, const PlotArea& a, bool last) {
        area_ = a;
        y_ = &p.y;
        out_ += "<g class=\"panel\">\n";
        spans(f_.shaded);
        grid(p);
        for (const BandSeries& s : p.bands) band(s);
        for (const BarSeries& s : p.bars) bars(s);
        for (const LineSeries& s : p.lines) line(s.x, s.y, s.stroke, s.width, "#000000");
        for (const LevelMarks& s : p.levels) levels(s);
        for (const MarkerSeries& s : p.markers) markers(s);
        for (const Guide& g : p.guides) guide(g);
        frame();
        texts(p, last);
        legend(p);
        out_ += "</g>\n";
    }

    void spans(const Spans& s) {
        std::string rects;
        for (const auto& [from, to] : s.ranges) {
            const double x0 = std::clamp(px(from), area_.left, area_.left + area_.width);
            const double x1 = std::clamp(px(to), area_.left, area_.left + area_.width);
            if (!(x1 > x0)) continue;
            rects += "<rect x=\"" + svgNumber(x0) + "\" y=\"" + svgNumber(area_.top) + "\" width=\"" +
                     svgNumber(std::max(x1 - x0, 0.6)) + "\" height=\"" + svgNumber(area_.height) + "\"/>";
        }
        if (!rects.empty()) out_ += "<g class=\"shaded\" fill=\"#f0f0f0\">" + rects + "</g>\n";
    }

    void grid(const Panel& p) {
        std::string path;
        for (const Tick& t : ticksOf(f_.x)) {
            const double x = px(t.value);
            path += "M" + svgNumber(x) + " " + svgNumber(area_.top) + "V" + svgNumber(area_.top + area_.height);
        }
        for (const Tick& t : ticksOf(p.y)) {
            const double y = py(t.value);
            path += "M" + svgNumber(area_.left) + " " + svgNumber(y) + "H" + svgNumber(area_.left + area_.width);
        }
        if (!path.empty()) out_ += "<path d=\"" + path + "\" stroke=\"#c8c8c8\" stroke-width=\"0.6\" fill=\"none\"/>\n";
    }

    void frame() {
        out_ += "<rect x=\"" + svgNumber(area_.left) + "\" y=\"" + svgNumber(area_.top) + "\" width=\"" +
                svgNumber(area_.width) + "\" height=\"" + svgNumber(area_.height) +
                "\" fill=\"none\" stroke=\"#000000\" stroke-width=\"0.8\"/>\n";
    }

    double clampY(double y) const { return std::clamp(y, area_.top, area_.top + area_.height); }

    // Liang-Barsky: the part of a segment inside the plot, if any.
    bool clip(double& x0, double& y0, double& x1, double& y1) const {
        double t0 = 0, t1 = 1;
        const double dx = x1 - x0, dy = y1 - y0;
        const double p[] = {-dx, dx, -dy, dy};
        const double q[] = {x0 - area_.left, area_.left + area_.width - x0, y0 - area_.top,
                            area_.top + area_.height - y0};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0) {
                if (q[i] < 0) return false;
                continue;
            }
            const double r = q[i] / p[i];
            if (p[i] < 0)
                t0 = std::max(t0, r);
            else
                t1 = std::min(t1, r);
            if (t0 > t1) return false;
        }
        x1 = x0 + t1 * dx, y1 = y0 + t1 * dy;
        x0 = x0 + t0 * dx, y0 = y0 + t0 * dy;
        return true;
    }

    void line(const std::vector<double>& xs, const std::vector<double>& ys, Stroke stroke, double width,
              const char* colour) {
        std::string path;
        bool joined = false, penSet = false;  // a previous point to join; where the pen stopped
        double lastX = 0, lastY = 0, penX = 0, penY = 0;
        const std::size_t n = std::min(xs.size(), ys.size());
        auto finite = [&](std::size_t i) { return i < n && std::isfinite(xs[i]) && std::isfinite(ys[i]); };
        for (std::size_t i = 0; i < n; ++i) {
            if (!finite(i)) {
                joined = false;
                continue;
            }
            const double x = px(xs[i]), y = py(ys[i]);
            if (joined) {
                double x0 = lastX, y0 = lastY, x1 = x, y1 = y;
                if (clip(x0, y0, x1, y1)) {
                    if (!penSet || std::abs(penX - x0) > 0.01 || std::abs(penY - y0) > 0.01)
                        path += "M" + svgNumber(x0) + " " + svgNumber(y0);
                    path += "L" + svgNumber(x1) + " " + svgNumber(y1);
                    penX = x1, penY = y1, penSet = true;
                }
            } else if (!finite(i + 1) && x >= area_.left && x <= area_.left + area_.width && y >= area_.top &&
                       y <= area_.top + area_.height) {
                path += "M" + svgNumber(x - 0.8) + " " + svgNumber(y) + "h1.6";  // a lone value still shows
            }
            lastX = x, lastY = y, joined = true;
        }
        if (path.empty()) return;
        out_ += "<path d=\"" + path + "\" fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"" + svgNumber(width) +
                "\" stroke-linejoin=\"round\"";
        if (const char* dash = dashOf(stroke)) out_ += std::string(" stroke-dasharray=\"") + dash + "\"";
        out_ += "/>\n";
    }

    void band(const BandSeries& s) {
        // One polygon per run of finite values: along the highs, back along the lows.
        const std::size_t n = std::min({s.x.size(), s.low.size(), s.high.size()});
        std::size_t i = 0;
        std::string path;
        while (i < n) {
            while (i < n && !(std::isfinite(s.x[i]) && std::isfinite(s.low[i]) && std::isfinite(s.high[i]))) ++i;
            std::size_t end = i;
            while (end < n && std::isfinite(s.x[end]) && std::isfinite(s.low[end]) && std::isfinite(s.high[end])) ++end;
            if (end > i) {
                for (std::size_t k = i; k < end; ++k)
                    path += (k == i ? "M" : "L") +
                            svgNumber(std::clamp(px(s.x[k]), area_.left, area_.left + area_.width)) + " " +
                            svgNumber(clampY(py(s.high[k])));
                for (std::size_t k = end; k-- > i;)
                    path += "L" + svgNumber(std::clamp(px(s.x[k]), area_.left, area_.left + area_.width)) + " " +
                            svgNumber(clampY(py(s.low[k])));
                path += "Z";
            }
            i = end;
        }
        if (!path.empty())
            out_ += "<path d=\"" + path + "\" fill=\"" + fillColour(s.fill) +
                    "\" stroke=\"#7a7a7a\" stroke-width=\"0.4\"/>\n";
    }

    void bars(const BarSeries& s) {
        const double unit = area_.width * (axisFraction(f_.x, 1) - axisFraction(f_.x, 0));
        const double groupWidth = unit * 0.8, barWidth = groupWidth / std::max(s.groupSize, 1);
        const double base = clampY(py(std::max(y_->min, 0.0)));
        std::string rects;
        for (std::size_t i = 0; i < std::min(s.x.size(), s.y.size()); ++i) {
            if (!std::isfinite(s.y[i]) || !std::isfinite(s.x[i])) continue;
            const double left = px(s.x[i]) - groupWidth / 2 + s.slot * barWidth;
            if (left < area_.left - 0.01 || left + barWidth > area_.left + area_.width + 0.01) continue;
            const double top = clampY(py(s.y[i]));
            rects += "<rect x=\"" + svgNumber(left) + "\" y=\"" + svgNumber(std::min(top, base)) + "\" width=\"" +
                     svgNumber(barWidth) + "\" height=\"" + svgNumber(std::abs(base - top)) + "\"/>";
        }
        if (!rects.empty())
            out_ += std::string("<g fill=\"") + fillColour(s.fill) + "\" stroke=\"#000000\" stroke-width=\"0.5\">" +
                    rects + "</g>\n";
    }

    void levels(const LevelMarks& s) {
        std::string path;
        for (std::size_t i = 0; i < std::min(s.x.size(), s.y.size()); ++i) {
            if (!std::isfinite(s.y[i])) continue;
            double x0 = px(s.x[i] - s.halfWidth), x1 = px(s.x[i] + s.halfWidth), y0 = py(s.y[i]), y1 = y0;
            if (clip(x0, y0, x1, y1)) path += "M" + svgNumber(x0) + " " + svgNumber(y0) + "H" + svgNumber(x1);
        }
        if (!path.empty()) out_ += "<path d=\"" + path + "\" fill=\"none\" stroke=\"#000000\" stroke-width=\"2.4\"/>\n";
    }

    static std::string markerPath(Marker m, double x, double y, double r) {
        switch (m) {
            case Marker::Square:
                return "M" + svgNumber(x - r) + " " + svgNumber(y - r) + "h" + svgNumber(2 * r) + "v" +
                       svgNumber(2 * r) + "h" + svgNumber(-2 * r) + "Z";
            case Marker::Triangle:
                return "M" + svgNumber(x) + " " + svgNumber(y - r * 1.2) + "L" + svgNumber(x + r * 1.1) + " " +
                       svgNumber(y + r * 0.8) + "H" + svgNumber(x - r * 1.1) + "Z";
            case Marker::Diamond:
                return "M" + svgNumber(x) + " " + svgNumber(y - r * 1.3) + "L" + svgNumber(x + r) + " " + svgNumber(y) +
                       "L" + svgNumber(x) + " " + svgNumber(y + r * 1.3) + "L" + svgNumber(x - r) + " " + svgNumber(y) +
                       "Z";
            default:  // a circle of four arcs
                return "M" + svgNumber(x - r) + " " + svgNumber(y) + "a" + svgNumber(r) + " " + svgNumber(r) +
                       " 0 1 0 " + svgNumber(2 * r) + " 0a" + svgNumber(r) + " " + svgNumber(r) + " 0 1 0 " +
                       svgNumber(-2 * r) + " 0Z";
        }
    }

    void markers(const MarkerSeries& s) {
        out_ += "<g";
        if (!s.cssClass.empty()) out_ += " class=\"" + xmlEscaped(s.cssClass) + "\"";
        out_ +=
            std::string(" fill=\"") + (s.filled ? "#000000" : "#ffffff") + "\" stroke=\"#000000\" stroke-width=\"1\">";
        for (std::size_t i = 0; i < std::min(s.x.size(), s.y.size()); ++i) {
            const double x = px(s.x[i]), y = py(s.y[i]);
            if (!std::isfinite(x) || !std::isfinite(y)) continue;
            if (x < area_.left - 0.5 || x > area_.left + area_.width + 0.5) continue;
            out_ += "<path d=\"" + markerPath(s.marker, x, clampY(y), 3.2) + "\"/>";
        }
        out_ += "</g>\n";
    }

    void guide(const Guide& g) {
        double x0, y0, x1, y1;
        if (g.vertical) {
            x0 = x1 = px(g.value);
            y0 = area_.top, y1 = area_.top + area_.height;
        } else {
            y0 = y1 = py(g.value);
            x0 = area_.left, x1 = area_.left + area_.width;
        }
        if (!std::isfinite(x0) || !std::isfinite(y0) || !clip(x0, y0, x1, y1)) return;
        out_ += "<path d=\"M" + svgNumber(x0) + " " + svgNumber(y0) + "L" + svgNumber(x1) + " " + svgNumber(y1) +
                "\" fill=\"none\" stroke=\"#000000\" stroke-width=\"1\"";
        if (const char* dash = dashOf(g.stroke)) out_ += std::string(" stroke-dasharray=\"") + dash + "\"";
        out_ += "/>\n";
        if (g.label.empty()) return;
        // Beside the plot, where no line runs under it.
        if (g.vertical)
            out_ += text(x0, area_.top - 3, g.label, "middle", kSmallFont);
        else
            out_ += text(area_.left + area_.width + 4, y0 + 3.5, g.label, "start", kSmallFont);
    }

    static std::string text(double x, double y, const std::string& s, const char* anchor, double size) {
        return "<text x=\"" + svgNumber(x) + "\" y=\"" + svgNumber(y) + "\" text-anchor=\"" + anchor +
               "\" font-size=\"" + svgNumber(size) + "\">" + xmlEscaped(s) + "</text>\n";
    }

    void texts(const Panel& p, bool last) {
        const double bottom = area_.top + area_.height;
        std::string ticks;
        for (const Tick& t : ticksOf(f_.x)) {
            const double x = px(t.value);
            ticks += "M" + svgNumber(x) + " " + svgNumber(bottom) + "v4";
            out_ += text(x, bottom + 14, t.label, "middle", kSmallFont);
        }
        for (const Tick& t : ticksOf(p.y)) {
            const double y = py(t.value);
            ticks += "M" + svgNumber(area_.left) + " " + svgNumber(y) + "h-4";
            out_ += text(area_.left - 6, y + 3.5, t.label, "end", kSmallFont);
        }
        out_ += "<path d=\"" + ticks + "\" stroke=\"#000000\" stroke-width=\"0.8\" fill=\"none\"/>\n";
        const double midY = area_.top + area_.height / 2;
        out_ += "<text x=\"14\" y=\"" + svgNumber(midY) + "\" text-anchor=\"middle\" transform=\"rotate(-90 14 " +
                svgNumber(midY) + ")\">" + xmlEscaped(p.y.title) + "</text>\n";
        const double titleY = area_.top - kLegendRow * legendRows(p, f_.shaded, area_.width) - 6;
        out_ += "<text x=\"" + svgNumber(area_.left) + "\" y=\"" + svgNumber(titleY) + "\" font-weight=\"bold\">" +
                xmlEscaped(p.title) + "</text>\n";
        if (last && !f_.x.title.empty())
            out_ += text(area_.left + area_.width / 2, bottom + kTickLabels + 13, f_.x.title, "middle", kFont);
    }

    void legend(const Panel& p) {
        const std::vector<LegendEntry> entries = legendOf(p, f_.shaded);
        const int rows = legendRows(p, f_.shaded, area_.width);
        double x = area_.left, y = area_.top - kLegendRow * rows + 10;
        for (const LegendEntry& e : entries) {
            if (x > area_.left && x + entryWidth(e) - area_.left > area_.width) {
                x = area_.left;
                y += kLegendRow;
            }
            const double cy = y - 3.5;
            switch (e.kind) {
                case LegendEntry::Line: {
                    out_ += "<path d=\"M" + svgNumber(x) + " " + svgNumber(cy) +
                            "h22\" stroke=\"#000000\" stroke-width=\"1.4\"";
                    if (const char* dash = dashOf(e.stroke)) out_ += std::string(" stroke-dasharray=\"") + dash + "\"";
                    out_ += "/>";
                    break;
                }
                case LegendEntry::Band:
                case LegendEntry::Bar:
                    out_ += "<rect x=\"" + svgNumber(x + 3) + "\" y=\"" + svgNumber(cy - 4.5) +
                            "\" width=\"16\" height=\"9\" fill=\"" + fillColour(e.fill) +
                            "\" stroke=\"#000000\" stroke-width=\"0.5\"/>";
                    break;
                case LegendEntry::Shade:
                    out_ += "<rect x=\"" + svgNumber(x + 3) + "\" y=\"" + svgNumber(cy - 4.5) +
                            "\" width=\"16\" height=\"9\" fill=\"#f0f0f0\" stroke=\"#9a9a9a\" stroke-width=\"0.5\"/>";
                    break;
                case LegendEntry::Level:
                    out_ += "<path d=\"M" + svgNumber(x + 2) + " " + svgNumber(cy) +
                            "h18\" stroke=\"#000000\" stroke-width=\"2.4\"/>";
                    break;
                case LegendEntry::Mark:
                    out_ += std::string("<path fill=\"") + (e.filled ? "#000000" : "#ffffff") +
                            "\" stroke=\"#000000\" d=\"" + markerPath(e.marker, x + 11, cy, 3.2) + "\"/>";
                    break;
            }
            out_ += text(x + 26, y, e.name, "start", kSmallFont);
            x += entryWidth(e);
        }
    }

    const Figure& f_;
    FigureLayout layout_;
    PlotArea area_;
    const Axis* y_ = nullptr;
    std::string out_;
};

}  // namespace

FigureLayout layoutOf(const Figure& figure) {
    FigureLayout layout;
    layout.width = figure.width;
    const double plotWidth = figure.width - kLeft - kRight;
    double y = 0;
    for (const Panel& p : figure.panels) {
        y += kTitle + kLegendRow * legendRows(p, figure.shaded, plotWidth);
        layout.plots.push_back({kLeft, y, plotWidth, figure.plotHeight});
        y += figure.plotHeight + kTickLabels + kGap;
    }
    layout.height = y + (figure.x.title.empty() ? 0 : kAxisTitle);
    return layout;
}

double axisFraction(const Axis& axis, double value) {
    if (axis.scale == AxisScale::Log) {
        if (!(value > 0) || !(axis.min > 0)) return NAN;
        return (std::log10(value) - std::log10(axis.min)) / (std::log10(axis.max) - std::log10(axis.min));
    }
    return (value - axis.min) / (axis.max - axis.min);
}

double axisValueAt(const Axis& axis, double fraction) {
    if (axis.scale == AxisScale::Log)
        return std::pow(10, std::log10(axis.min) + fraction * (std::log10(axis.max) - std::log10(axis.min)));
    return axis.min + fraction * (axis.max - axis.min);
}

std::string svgOf(const Figure& figure) {
    return SvgWriter(figure).write();
}

}  // namespace pqwave
