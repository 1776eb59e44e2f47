#include "control/control.h"

#include <charconv>
#include <optional>

#include "common/messages.h"

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

void placeIn(Control& frame, std::initializer_list<Control*> controls) {
    for (Control* control : controls) control->container = &frame;
}

std::string whyUnreachable(const Control& control) {
    if (!control.visible) return tr("it is hidden");
    if (!control.enabled) return tr("it is disabled");
    for (const Control* frame = control.container; frame; frame = frame->container) {
        if (!frame->visible || !frame->enabled)
            return frame->visible ? tr("it sits in the frame {0} ({1}), which is disabled", {frame->text, frame->name})
                                  : tr("it sits in the frame {0} ({1}), which is hidden", {frame->text, frame->name});
    }
    return {};
}

bool isOptionGroup(const ControlSet& controls, const std::string& name) {
    const Control* first = controls.find(name + "(0)");
    return first && first->kind == ControlKind::OptionButton;
}

Control* settingTarget(const ControlSet& controls, const std::string& name, const std::string& value) {
    if (isOptionGroup(controls, name)) return wholeNumber(value) ? controls.find(name + "(" + value + ")") : nullptr;
    return controls.find(name);
}

SettingResult applySetting(const ControlSet& controls, const std::string& name, const std::string& value) {
    Control* control = settingTarget(controls, name, value);
    if (isOptionGroup(controls, name)) {
        if (!control) return SettingResult::BadValue;
        if (!whyUnreachable(*control).empty()) return SettingResult::Unreachable;
        select(*control);
        return SettingResult::Applied;
    }
    if (!control) return SettingResult::UnknownControl;
    const bool settable = control->kind == ControlKind::TextBox || control->kind == ControlKind::CheckBox ||
                          control->kind == ControlKind::OptionButton || control->kind == ControlKind::ComboBox;
    if (settable && !whyUnreachable(*control).empty()) return SettingResult::Unreachable;
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
