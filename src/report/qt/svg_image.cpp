#include "report/qt/svg_image.h"

#include <QByteArray>
#include <QSvgRenderer>
#include <cmath>

namespace pqwave {

bool paintSvg(const std::string& svg, QPainter& painter, const QRectF& target) {
    QSvgRenderer renderer(QByteArray::fromRawData(svg.data(), static_cast<qsizetype>(svg.size())));
    if (!renderer.isValid()) return false;
    renderer.render(&painter, target);
    return true;
}

QImage renderSvg(const std::string& svg, int pixelWidth) {
    QSvgRenderer renderer(QByteArray::fromRawData(svg.data(), static_cast<qsizetype>(svg.size())));
    if (!renderer.isValid()) return {};
    const QSizeF size = renderer.viewBoxF().size();
    if (!(size.width() > 0) || !(size.height() > 0)) return {};
    const int height = static_cast<int>(std::lround(pixelWidth * size.height() / size.width()));
    QImage image(pixelWidth, std::max(height, 1), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    renderer.render(&painter, QRectF(0, 0, image.width(), image.height()));
    return image;
}

}  // namespace pqwave
