#include "control/control.h"

namespace pqwave {

void setText(Control& control, const std::string& text) {
    if (control.text == text) return;
    control.text = text;
    if (control.onChange) control.onChange();
}

void setValue(Control& checkBox, int value) {
    if (checkBox.value == value) return;
    checkBox.value = value;
    if (checkBox.onClick) checkBox.onClick();
}

void select(Control& option) {
    for (Control* other : option.group) other->value = 0;
    option.value = 1;
    if (option.onClick) option.onClick();
}

void setListIndex(Control& comboBox, int index) {
    if (comboBox.value == index) return;
    comboBox.value = index;
    comboBox.text = index >= 0 && index < static_cast<int>(comboBox.items.size()) ? comboBox.items[index] : "";
    if (comboBox.onClick) comboBox.onClick();
}

void click(Control& control) {
    if (control.onClick) control.onClick();
}

}  // namespace pqwave
