// Widgets bound to the controls of a window's model, for the main window and the display
// windows alike: each is made once, forwards the user's action to the model (through the
// window's act(), which reports failures and refreshes), and refresh() copies caption, text,
// value, list, enabled and visible back. Option buttons of one model group share an exclusive
// button group: one Tab stop, arrows move.
#pragma once

#include <QString>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "control/control.h"
#include "control/scroll_bar.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QToolButton;
class QWidget;

namespace pqwave {

class ControlViews {
public:
    using Act = std::function<void(const std::function<void()>&)>;
    explicit ControlViews(Act act) : act_(std::move(act)) {}

    QLabel* label(Control& control);
    // A text box; `accessibleName` is read out for it, the caption it belongs to. Leaving it
    // runs the control's lost-focus rule.
    QLineEdit* textBox(Control& control, int widthInCharacters, const QString& accessibleName = {});
    QCheckBox* checkBox(Control& control);
    QRadioButton* option(Control& control);
    QComboBox* comboBox(Control& control);
    QPushButton* button(Control& control);
    QGroupBox* frame(Control& control);
    // A picture button: the caption is its tool tip and accessible name, the icon its face;
    // while the control's value is 1 the button shows its border.
    QToolButton* imageButton(Control& control, int standardIcon);
    QScrollBar* scrollBar(ScrollBar& bar, const QString& accessibleName);

    void refresh();
    QWidget* widgetFor(const Control& control) const;
    QScrollBar* widgetFor(const ScrollBar& bar) const;
    const std::vector<std::pair<Control*, QWidget*>>& bound() const { return controls_; }

private:
    // Refuses a widget that cannot show the control's kind: a wrong pairing is a programming
    // error found the first time the window is built.
    template <typename W>
    W* bind(Control& control, ControlKind kind);

    Act act_;
    std::vector<std::pair<Control*, QWidget*>> controls_;
    std::vector<std::pair<ScrollBar*, QScrollBar*>> bars_;
    std::map<const Control*, QButtonGroup*> groups_;
};

// Text colour of a check box that serves as a legend entry.
void setTextColour(QWidget* widget, int paletteIndex);

}  // namespace pqwave
