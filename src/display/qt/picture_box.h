// The drawing surface of a display window: paints the model's picture on white and reports
// where the user clicked, in the picture's own units.
#pragma once

#include <QWidget>
#include <functional>

#include "display/picture.h"

namespace pqwave {

class PictureBox : public QWidget {
public:
    explicit PictureBox(const Picture& picture, QWidget* parent = nullptr);

    // Told the x of a left click, in picture units.
    void setOnClick(std::function<void(double x)> onClick) { onClick_ = std::move(onClick); }
    QImage image() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const Picture& picture_;
    std::function<void(double)> onClick_;
};

}  // namespace pqwave
