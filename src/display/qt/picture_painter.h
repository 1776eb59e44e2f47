// Paints a display window's picture with QPainter: user units mapped onto a pixel rectangle
// (stretched per axis, or fitted without distortion from the top left corner), palette
// colours, pixel-wide pens. The windows, the clipboard copy and `pqwave-cli plot` share it.
#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>

#include "display/picture.h"

class QPainter;

namespace pqwave {

QColor paletteColour(int index);

// The pixel position of a point of the picture drawn into `target`.
QPointF mapToPixels(const Picture& picture, const QRectF& target, PicturePoint point);

void paintPicture(QPainter& painter, const Picture& picture, const QRectF& target);

// The picture on a white background, as the clipboard and the PNG files get it.
QImage renderPicture(const Picture& picture, QSize size);

}  // namespace pqwave
