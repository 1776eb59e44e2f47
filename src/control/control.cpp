#include "control/control.h"

#include <charconv>
#include <optional>

namespace pqwave {
namespace {

std::optional<int> wholeNumber(const std::string& text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

Control& ControlSet::add(Control& control, std::string name, ControlKind kind, std::string text) {
    control.name = std::move(name);
    control.kind = kind;
    control.text = std::move(text);
    controls_.push_back(&control);
    return control;
}

std::string ControlSet::indexedName(std::string_view name, int index) {
    return std::string(name) + "(" + std::to_string(index) + ")";
}

Control* ControlSet::find(std::string_view name) const {
    for (Control* control : controls_)
        if (control->name == name) return control;
    return nullptr;
}

SettingResult applySetting(const ControlSet& controls, const std::string& name, const std::string& value) {
    if (Control* first = controls.find(name + "(0)"); first && first->kind == ControlKind::OptionButton) {
        Control* option = nullptr;
        if (wholeNumber(value)) option = controls.find(name + "(" + value + ")");
        if (!option) return SettingResult::BadValue;
        select(*option);
        return SettingResult::Applied;
    }
    Control* control = controls.find(name);
    if (!control) return SettingResult::UnknownControl;
    switch (control->kind) {
        case ControlKind::TextBox:
            setText(*control, value);
            if (control->onLostFocus) control->onLostFocus();
            return SettingResult::Applied;
        case ControlKind::CheckBox: {
            auto v = wholeNumber(value);
            if (!v || (*v != 0 && *v != 1)) return SettingResult::BadValue;
            setValue(*control, *v);
            return SettingResult::Applied;
        }
        case ControlKind::OptionButton: {
            if (value != "1") return SettingResult::BadValue;
            select(*control);
            return SettingResult::Applied;
        }
        case ControlKind::ComboBox: {
            auto v = wholeNumber(value);
            if (!v || *v < 0 || *v >= static_cast<int>(control->items.size())) return SettingResult::BadValue;
            setListIndex(*control, *v);
            return SettingResult::Applied;
        }
        default:
            return SettingResult::NotSettable;
    }
}

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
