#include "control/qt/control_views.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>
#include <stdexcept>

#include "common/palette.h"

namespace pqwave {
namespace {

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

QString asButtonText(const std::string& text) {
    return qt(text).replace(QChar(u'&'), QStringLiteral("&&"));
}

}  // namespace

template <typename W>
W* ControlViews::bind(Control& control, ControlKind kind) {
    if (control.kind != kind) throw std::logic_error(control.name + " is not the kind of control this widget shows");
    auto* widget = new W;
    widget->setObjectName(qt(control.name));
    controls_.emplace_back(&control, widget);
    return widget;
}

QLabel* ControlViews::label(Control& control) {
    QLabel* label = bind<QLabel>(control, ControlKind::Label);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLineEdit* ControlViews::textBox(Control& control, int widthInCharacters, const QString& accessibleName) {
    QLineEdit* edit = bind<QLineEdit>(control, ControlKind::TextBox);
    if (!accessibleName.isEmpty()) edit->setAccessibleName(accessibleName);
    if (widthInCharacters > 0)
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QString(widthInCharacters, QChar(u'0'))) + 12);
    Control* c = &control;
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [this, c](const QString& text) { act_([&] { setText(*c, text.toStdString()); }); });
    QObject::connect(edit, &QLineEdit::editingFinished, edit, [this, c] {
        if (c->onLostFocus) act_([&] { c->onLostFocus(); });
    });
    return edit;
}

QCheckBox* ControlViews::checkBox(Control& control) {
    QCheckBox* box = bind<QCheckBox>(control, ControlKind::CheckBox);
    Control* c = &control;
    QObject::connect(box, &QCheckBox::clicked, box,
                     [this, c](bool checked) { act_([&] { setValue(*c, checked ? 1 : 0); }); });
    return box;
}

QRadioButton* ControlViews::option(Control& control) {
    QRadioButton* option = bind<QRadioButton>(control, ControlKind::OptionButton);
    QButtonGroup*& group = groups_[control.group.empty() ? &control : control.group.front()];
    if (!group) group = new QButtonGroup(option);
    group->addButton(option);
    Control* c = &control;
    QObject::connect(option, &QRadioButton::clicked, option, [this, c] { act_([&] { select(*c); }); });
    return option;
}

QComboBox* ControlViews::comboBox(Control& control) {
    QComboBox* combo = bind<QComboBox>(control, ControlKind::ComboBox);
    Control* c = &control;
    QObject::connect(combo, &QComboBox::activated, combo,
                     [this, c](int index) { act_([&] { setListIndex(*c, index); }); });
    return combo;
}

QPushButton* ControlViews::button(Control& control) {
    QPushButton* button = bind<QPushButton>(control, ControlKind::CommandButton);
    Control* c = &control;
    QObject::connect(button, &QPushButton::clicked, button, [this, c] { act_([&] { click(*c); }); });
    return button;
}

QGroupBox* ControlViews::frame(Control& control) {
    return bind<QGroupBox>(control, ControlKind::Frame);
}

QToolButton* ControlViews::imageButton(Control& control, int standardIcon) {
    QToolButton* button = bind<QToolButton>(control, ControlKind::CommandButton);
    button->setIcon(QApplication::style()->standardIcon(static_cast<QStyle::StandardPixmap>(standardIcon)));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    Control* c = &control;
    QObject::connect(button, &QToolButton::clicked, button, [this, c] { act_([&] { click(*c); }); });
    return button;
}

QScrollBar* ControlViews::scrollBar(ScrollBar& bar, const QString& accessibleName) {
    auto* widget = new QScrollBar(Qt::Horizontal);
    widget->setObjectName(qt(bar.name));
    widget->setAccessibleName(accessibleName);
    widget->setFocusPolicy(Qt::StrongFocus);
    bars_.emplace_back(&bar, widget);
    ScrollBar* b = &bar;
    QObject::connect(widget, &QScrollBar::valueChanged, widget,
                     [this, b](int value) { act_([&] { setScrollValue(*b, value); }); });
    return widget;
}

void ControlViews::refresh() {
    for (const auto& [control, widget] : controls_) {
        const QSignalBlocker blocker(widget);
        switch (control->kind) {
            case ControlKind::Label: {
                auto* label = static_cast<QLabel*>(widget);
                QString text = qt(control->text).replace(QChar(u'\r'), QChar(u'\n'));
                if (label->text() != text) label->setText(text);
                break;
            }
            case ControlKind::TextBox: {
                auto* edit = static_cast<QLineEdit*>(widget);
                if (edit->text() != qt(control->text)) edit->setText(qt(control->text));
                break;
            }
            case ControlKind::CheckBox: {
                auto* box = static_cast<QCheckBox*>(widget);
                box->setText(asButtonText(control->text));
                box->setChecked(control->value == 1);
                break;
            }
            case ControlKind::OptionButton: {
                auto* option = static_cast<QRadioButton*>(widget);
                option->setText(asButtonText(control->text));
                // Only the selected option is set: its exclusive group clears the others.
                if (control->value != 0) option->setChecked(true);
                // The selected option is the group's one Tab stop.
                option->setFocusPolicy(control->value != 0 ? Qt::StrongFocus : Qt::ClickFocus);
                break;
            }
            case ControlKind::CommandButton:
                if (auto* tool = qobject_cast<QToolButton*>(widget)) {
                    tool->setToolTip(qt(control->text));
                    tool->setAccessibleName(qt(control->text));
                    tool->setAutoRaise(control->value == 0);
                } else {
                    static_cast<QPushButton*>(widget)->setText(asButtonText(control->text));
                }
                break;
            case ControlKind::Frame:
                static_cast<QGroupBox*>(widget)->setTitle(asButtonText(control->text));
                break;
            case ControlKind::ComboBox: {
                auto* combo = static_cast<QComboBox*>(widget);
                if (combo->count() != static_cast<int>(control->items.size())) {
                    combo->clear();
                    for (const std::string& item : control->items) combo->addItem(qt(item));
                }
                const bool listed = control->value >= 0 && control->value < combo->count();
                combo->setCurrentIndex(listed ? control->value : -1);
                break;
            }
        }
        if (widget->isEnabled() != control->enabled) widget->setEnabled(control->enabled);
        if (widget->isHidden() == control->visible) widget->setVisible(control->visible);
    }
    for (const auto& [bar, widget] : bars_) {
        const QSignalBlocker blocker(widget);
        widget->setRange(0, std::max(bar->max, 0));
        widget->setValue(bar->value);
        widget->setSingleStep(1);
        widget->setPageStep(std::max(bar->largeChange, 1));
        widget->setEnabled(bar->enabled);
    }
}

QWidget* ControlViews::widgetFor(const Control& control) const {
    for (const auto& [bound, widget] : controls_)
        if (bound == &control) return widget;
    return nullptr;
}

QScrollBar* ControlViews::widgetFor(const ScrollBar& bar) const {
    for (const auto& [bound, widget] : bars_)
        if (bound == &bar) return widget;
    return nullptr;
}

void setTextColour(QWidget* widget, int paletteIndex) {
    QPalette palette = widget->palette();
    const QColor colour = QColor::fromRgb(static_cast<QRgb>(consoleColour(paletteIndex)));
    if (palette.color(QPalette::WindowText) == colour && palette.color(QPalette::ButtonText) == colour) return;
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

}  // namespace pqwave
