#include "display/qt/picture_painter.h"

#include <QFont>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>

#include "common/palette.h"

namespace pqwave {
namespace {

struct Mapping {
    double sx, sy, ox, oy;
    QPointF operator()(PicturePoint p) const { return {ox + p.x * sx, oy + p.y * sy}; }
};

Mapping mappingFor(const Picture& picture, const QRectF& target) {
    double sx = target.width() / picture.width, sy = target.height() / picture.height;
    if (picture.keepAspect) sx = sy = std::min(sx, sy);
    return {sx, sy, target.left(), target.top()};
}

Qt::PenStyle penStyle(LineStyle style) {
    switch (style) {
        case LineStyle::Dash:
            return Qt::DashLine;
        case LineStyle::Dot:
            return Qt::DotLine;
        default:
            return Qt::SolidLine;
    }
}

QPen pen(int colour, int width = 1, LineStyle style = LineStyle::Solid) {
    QPen p(paletteColour(colour));
    p.setWidth(width);
    p.setStyle(penStyle(style));
    p.setCapStyle(Qt::FlatCap);
    return p;
}

}  // namespace

QColor paletteColour(int index) {
    return QColor::fromRgb(static_cast<QRgb>(consoleColour(index)));
}

QPointF mapToPixels(const Picture& picture, const QRectF& target, PicturePoint point) {
    return mappingFor(picture, target)(point);
}

void paintPicture(QPainter& painter, const Picture& picture, const QRectF& target) {
    const Mapping map = mappingFor(picture, target);
    painter.save();
    painter.setClipRect(target);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QFont font = painter.font();
    auto useTextHeight = [&](double height) {
        font.setPixelSize(std::max(1, static_cast<int>(height * map.sy + 0.5)));
        painter.setFont(font);
    };
    useTextHeight(picture.textHeight);
    QPolygonF outline;
    for (const PictureItem& item : picture.items) {
        if (const auto* line = std::get_if<PictureLine>(&item)) {
            painter.setPen(pen(line->colour, line->width, line->style));
            painter.drawLine(map(line->from), map(line->to));
        } else if (const auto* trace = std::get_if<PicturePolyline>(&item)) {
            painter.setPen(pen(trace->colour));
            if (trace->points.size() == 1) {
                painter.drawPoint(map(trace->points.front()));
                continue;
            }
            QPolygonF polygon;
            polygon.reserve(static_cast<qsizetype>(trace->points.size()));
            for (const PicturePoint& p : trace->points) polygon.append(map(p));
            painter.drawPolyline(polygon);
        } else if (const auto* envelope = std::get_if<PictureEnvelope>(&item)) {
            // The union of the columns' strokes as one staircase outline, filled row by row: far
            // cheaper for the raster engine than a thousand tall one-pixel strokes per trace.
            const std::size_t n = envelope->low.size();
            outline.clear();
            outline.reserve(static_cast<qsizetype>(4 * n));
            auto column = [&](std::size_t c, bool right) {
                return map({envelope->x0 + (static_cast<double>(c) + (right ? 1 : 0)) * envelope->dx, 0}).x();
            };
            for (std::size_t c = 0; c < n; ++c) {
                const double top = map({0, envelope->low[c]}).y();
                outline << QPointF(column(c, false), top) << QPointF(column(c, true), top);
            }
            for (std::size_t c = n; c-- > 0;) {
                // At least a pixel high, so a flat stretch still shows.
                const double top = map({0, envelope->low[c]}).y();
                const double bottom = std::max(map({0, envelope->high[c]}).y(), top + 1);
                outline << QPointF(column(c, true), bottom) << QPointF(column(c, false), bottom);
            }
            painter.setPen(Qt::NoPen);
            painter.setBrush(paletteColour(envelope->colour));
            painter.drawPolygon(outline, Qt::WindingFill);
            painter.setBrush(Qt::NoBrush);
        } else if (const auto* text = std::get_if<PictureText>(&item)) {
            painter.setPen(paletteColour(text->colour));
            useTextHeight(text->height > 0 ? text->height : picture.textHeight);
            const QPointF at = map(text->at);
            painter.drawText(QRectF(at, QSizeF(target.width() * 4, target.height() * 4)),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, QString::fromStdString(text->text));
        }
    }
    painter.restore();
}

QImage renderPicture(const Picture& picture, QSize size) {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPicture(painter, picture, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

}  // namespace pqwave
