// A chart as plain values: one or more panels over a shared x axis, each with its y axis and
// series (lines, bands, bars, markers, level marks, guide lines). The SVG writer (svg_chart.h)
// draws it for the report, the PNG files and the trend window alike, so a picture is described
// once. Styles are chosen to be told apart in greyscale print: dash patterns, fills and marker
// shapes, never colour alone. NaN in a series breaks a line.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace pqwave {

enum class AxisScale { Linear, Log, Clock };  // Clock: seconds from 1899-12-30, as date and time

struct Tick {
    double value = 0;
    std::string label;
};

struct Axis {
    std::string title;  // with its unit: "U12 (V)"
    double min = 0, max = 1;
    AxisScale scale = AxisScale::Linear;
    std::vector<Tick> ticks;  // empty: chosen from the range
};

enum class Stroke { Solid, Dash, Dot, DashDot };
enum class Fill { Black, Grey, White, Hatch, Light };
enum class Marker { Circle, Square, Triangle, Diamond };

struct LineSeries {
    std::string name;
    std::vector<double> x, y;
    Stroke stroke = Stroke::Solid;
    double width = 1.2;
};

struct BandSeries {  // filled between low and high
    std::string name;
    std::vector<double> x, low, high;
    Fill fill = Fill::Light;
};

// Bars at x (categories one unit apart), the k-th of `groupSize` series side by side.
struct BarSeries {
    std::string name;
    std::vector<double> x, y;
    Fill fill = Fill::Black;
    int slot = 0, groupSize = 1;
};

struct MarkerSeries {
    std::string name;
    std::vector<double> x, y;
    Marker marker = Marker::Circle;
    bool filled = true;
    std::string cssClass;  // names the points in the document ("dip", ...)
};

// Short horizontal marks, one per x (a limit per harmonic order).
struct LevelMarks {
    std::string name;
    std::vector<double> x, y;
    double halfWidth = 0.45;  // in x units
};

struct Guide {  // a reference line across the plot
    bool vertical = false;
    double value = 0;
    std::string label;
    Stroke stroke = Stroke::Dash;
};

struct Panel {
    std::string title;
    Axis y;
    std::vector<BandSeries> bands;
    std::vector<BarSeries> bars;
    std::vector<LineSeries> lines;
    std::vector<LevelMarks> levels;
    std::vector<MarkerSeries> markers;
    std::vector<Guide> guides;
};

// Stretches of x shaded behind every panel (the flagged intervals of a trend).
struct Spans {
    std::string name;
    std::vector<std::pair<double, double>> ranges;
};

struct Figure {
    std::string id;  // unique in a document: its patterns are named by it
    std::string fontFamily = "IPAPGothic, 'Noto Sans CJK JP', 'Hiragino Sans', Meiryo, IPAGothic, sans-serif";
    Axis x;
    std::vector<Panel> panels;
    Spans shaded;
    double width = 720;
    double plotHeight = 150;  // of each panel's plot area
};

}  // namespace pqwave
