#include "display/qt/picture_box.h"

#include <QMouseEvent>
#include <QPainter>

#include "display/qt/picture_painter.h"

namespace pqwave {

PictureBox::PictureBox(const Picture& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage PictureBox::image() const {
    return renderPicture(picture_, size());
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    paintPicture(painter, picture_, QRectF(rect()));
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !onClick_ || width() <= 0) return;
    const QPointF origin = mapToPixels(picture_, QRectF(rect()), {0, 0});
    const QPointF unit = mapToPixels(picture_, QRectF(rect()), {1, 0});
    const double perUnit = unit.x() - origin.x();
    if (perUnit > 0) onClick_((event->position().x() - origin.x()) / perUnit);
}

}  // namespace pqwave
