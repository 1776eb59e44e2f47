#include "display/qt/waveform_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "display/qt/picture_box.h"
#include "display/qt/picture_painter.h"

namespace pqwave {

Form2::Form2(Form2Model& model, QWidget* parent) : DisplayWindow(parent), model_(model) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("波形表示画面"));
    model_.setHost(this);

    picture_ = new PictureBox(model_.picture(), this);
    picture_->setObjectName(QStringLiteral("Picture1"));
    picture_->setAccessibleName(QStringLiteral("波形"));
    picture_->setOnClick([this](double x) { act([&] { model_.Picture1_Click(x); }); });

    frame1_ = views_.frame(model_.Frame1);
    frame1_->setParent(this);
    auto* traces = new QGridLayout(frame1_);
    traces->setContentsMargins(3, 3, 3, 3);
    traces->setHorizontalSpacing(2);
    traces->setVerticalSpacing(1);
    for (int k = 0; k < kWaveTraces; ++k) {
        if (k < 8) {
            traces->addWidget(views_.checkBox(model_.Check1[k]), k, 0);
            const QString name = QString::fromStdString(model_.Check1[k].text) + QStringLiteral(" 表示倍率");
            traces->addWidget(views_.textBox(model_.Text1[k], 5, name), k, 1);
        } else {
            // The derived traces have no scale box of their own: their captions take the row.
            traces->addWidget(views_.checkBox(model_.Check1[k]), k, 0, 1, 2);
        }
    }
    traces->setRowStretch(kWaveTraces, 1);

    frame2_ = views_.frame(model_.Frame2);
    frame2_->setParent(this);
    auto* navigation = new QHBoxLayout(frame2_);
    navigation->setContentsMargins(3, 2, 3, 2);
    navigation->addWidget(views_.scrollBar(model_.HScroll1, QStringLiteral("表示開始位置")), 1);
    navigation->addWidget(views_.label(model_.Label2));
    navigation->addWidget(views_.label(model_.Label3));
    navigation->addWidget(views_.label(model_.Label5));
    navigation->addWidget(views_.label(model_.Label4));
    navigation->addWidget(views_.label(model_.Label6));
    navigation->addWidget(views_.imageButton(model_.Image1, QStyle::SP_MediaPlay));
    navigation->addWidget(views_.imageButton(model_.Image2, QStyle::SP_MediaStop));
    QLabel* intervalsCaption = views_.label(model_.Label1);
    QLineEdit* intervals = views_.textBox(model_.Text2, 6, QString::fromStdString(model_.Label1.text));
    intervalsCaption->setBuddy(intervals);
    navigation->addWidget(intervalsCaption);
    navigation->addWidget(intervals);
    navigation->addWidget(views_.button(model_.Command3));
    navigation->addWidget(views_.button(model_.Command2));
    navigation->addWidget(views_.button(model_.Command1));

    const double twipsPerPixel = kTwipsPerInch / std::max(1, logicalDpiX());
    resize(static_cast<int>(std::lround(Form2Model::kDefaultInnerWidth / twipsPerPixel)),
           static_cast<int>(std::lround(Form2Model::kDefaultInnerHeight / twipsPerPixel)));
    refresh();
}

void Form2::openFromMainWindow() {
    act([&] {
        model_.setPixelsPerInch(logicalDpiX());
        model_.openFromMainWindow();
    });
    show();
    raise();
    activateWindow();
}

void Form2::refresh() {
    DisplayWindow::refresh();
    for (int k = 0; k < kWaveTraces; ++k)
        if (QWidget* box = views_.widgetFor(model_.Check1[k])) setTextColour(box, model_.Check1ForeColor[k]);
}

void Form2::placeParts() {
    const double twipsPerPixel = kTwipsPerInch / std::max(1, logicalDpiX());
    auto pixels = [&](const TwipRect& r) {
        return QRect(static_cast<int>(std::lround(r.left / twipsPerPixel)),
                     static_cast<int>(std::lround(r.top / twipsPerPixel)), static_cast<int>(r.width / twipsPerPixel),
                     static_cast<int>(std::lround(r.height / twipsPerPixel)));
    };
    const Form2Layout& layout = model_.layout();
    picture_->setGeometry(pixels(layout.picture));
    frame1_->setGeometry(pixels(layout.frame1));
    frame2_->setGeometry(pixels(layout.frame2));
    frame2_->raise();
}

void Form2::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const double twipsPerPixel = kTwipsPerInch / std::max(1, logicalDpiX());
    // Errors while resizing are ignored: the window keeps its last picture.
    try {
        model_.setPixelsPerInch(logicalDpiX());
        model_.Form_Resize(width() * twipsPerPixel, height() * twipsPerPixel);
    } catch (const std::exception&) {
    }
    placeParts();
    refresh();
}

}  // namespace pqwave
