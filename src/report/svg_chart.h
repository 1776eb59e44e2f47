// A Figure (chart.h) as SVG text, and the geometry it is drawn with, so that a window can map
// a pointer position back to values. The SVG uses only what SVG Tiny draws (paths, rectangles,
// texts, dash arrays), no patterns or clip paths: Qt's SVG renderer turns the same text into
// the PNG files and the trend window's picture. Lines are clipped to the plot by the writer.
#pragma once

#include <string>
#include <vector>

#include "report/chart.h"

namespace pqwave {

struct PlotArea {
    double left = 0, top = 0, width = 0, height = 0;
};

struct FigureLayout {
    double width = 0, height = 0;
    std::vector<PlotArea> plots;  // one per panel
};

FigureLayout layoutOf(const Figure& figure);

// Where a value lies along an axis, 0 at its min and 1 at its max (log axes by log10), and back.
double axisFraction(const Axis& axis, double value);
double axisValueAt(const Axis& axis, double fraction);

std::string svgOf(const Figure& figure);

}  // namespace pqwave
