// The report's SVG pictures as images, by Qt's SVG renderer: the PNG files of pqwave-cli plot
// trend and the trend window's picture come from the very text the report embeds.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <string>

namespace pqwave {

// `pixelWidth` wide, the height kept in the picture's proportion; a null image when the text is
// no SVG the renderer reads. Needs a QGuiApplication (fonts).
QImage renderSvg(const std::string& svg, int pixelWidth);

// Paints the SVG into `target` of `painter`, stretched to it.
bool paintSvg(const std::string& svg, QPainter& painter, const QRectF& target);

}  // namespace pqwave
