// One control of the main window as the model keeps it: its name and index as the window
// names it ("Text7(0)"), caption or text, value, enabled and visible, and the handler its
// event runs. The helpers below change a control the way a user or the code does, firing
// the event exactly when the window would: a text change only when the text differs, a
// check box click only when the value differs, an option click on every selection.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/numbers.h"

namespace pqwave {

enum class ControlKind { Label, TextBox, CheckBox, OptionButton, ComboBox, Frame, CommandButton };

struct Control {
    std::string name;
    ControlKind kind = ControlKind::Label;
    std::string text;  // caption, or the text of a text box, or the chosen item of a combo box
    int value = 0;     // check box 0/1, option button 1 when selected, combo box list index
    bool enabled = true;
    bool visible = true;
    std::vector<std::string> items;     // combo box list
    std::vector<Control*> group;        // option buttons that exclude each other, this one included
    std::function<void()> onChange;     // labels and text boxes
    std::function<void()> onClick;      // check boxes, option buttons, combo boxes, command buttons
    std::function<void()> onLostFocus;  // text boxes
};

void setText(Control& control, const std::string& text);
void setValue(Control& checkBox, int value);
void select(Control& option);
void setListIndex(Control& comboBox, int index);
void click(Control& control);

inline bool isChecked(const Control& control) {
    return control.value == 1;
}
inline bool isSelected(const Control& option) {
    return option.value != 0;
}

// The number a caption or text holds, read leniently as the window's rules read it.
inline double valOf(const Control& control) {
    return Val(control.text);
}

}  // namespace pqwave
