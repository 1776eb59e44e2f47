#include "display/qt/vector_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "display/qt/picture_box.h"

namespace pqwave {
namespace {

QHBoxLayout* row(std::initializer_list<QWidget*> widgets) {
    auto* layout = new QHBoxLayout;
    for (QWidget* widget : widgets) layout->addWidget(widget);
    layout->addStretch(1);
    return layout;
}

// "電圧表示倍率：" read out without its colon.
QString captionName(const Control& caption) {
    QString text = QString::fromStdString(caption.text);
    if (text.endsWith(QChar(u'：'))) text.chop(1);
    return text;
}

}  // namespace

Form02::Form02(Form02Model& model, QWidget* parent) : DisplayWindow(parent), model_(model) {
    setObjectName(QStringLiteral("Form02"));
    setWindowTitle(QStringLiteral("ベクトル表示"));
    model_.setHost(this);

    auto* layout = new QVBoxLayout(this);
    picture_ = new PictureBox(model_.picture());
    picture_->setObjectName(QStringLiteral("Picture1"));
    picture_->setAccessibleName(QStringLiteral("ベクトル図"));
    picture_->setMinimumSize(Form02Model::kDefaultPixelWidth / 2, Form02Model::kDefaultPixelHeight / 2);
    picture_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(picture_, 1);

    QLabel* values = views_.label(model_.Label2);
    values->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(values);

    auto* cycle = new QHBoxLayout;
    cycle->addWidget(views_.scrollBar(model_.HScroll1, QStringLiteral("表示サイクル")), 1);
    cycle->addWidget(views_.label(model_.Label5));
    cycle->addWidget(views_.label(model_.Label6));
    cycle->addWidget(views_.imageButton(model_.Image1, QStyle::SP_MediaPlay));
    cycle->addWidget(views_.imageButton(model_.Image2, QStyle::SP_MediaStop));
    cycle->addSpacing(12);
    cycle->addWidget(views_.label(model_.Label4));
    layout->addLayout(cycle);

    QWidget* settings[8];
    for (int i = 0; i < 2; ++i) {
        QLabel* caption = views_.label(model_.Label1[i]);
        QLineEdit* box = views_.textBox(model_.Text1[i], 6, captionName(model_.Label1[i]));
        caption->setBuddy(box);
        settings[3 * i] = caption;
        settings[3 * i + 1] = box;
        settings[3 * i + 2] = views_.label(model_.Label7[i]);
    }
    settings[6] = views_.option(model_.Option1[0]);
    settings[7] = views_.option(model_.Option1[1]);
    layout->addLayout(row({views_.label(model_.Label3), settings[0], settings[1], settings[2], settings[3], settings[4],
                           settings[5], settings[6], settings[7]}));
    layout->addLayout(row({views_.button(model_.Vcopy), views_.button(model_.Command4[2])}));

    resize(Form02Model::kDefaultPixelWidth + 24, Form02Model::kDefaultPixelHeight + 200);
    refresh();
}

void Form02::openFromMainWindow() {
    show();
    raise();
    activateWindow();
    act([&] { model_.Form_Activate(); });
}

}  // namespace pqwave
