// One control of the main window as the model keeps it: its name and index as the window
// names it ("Text7(0)"), caption or text, value, enabled and visible, and the handler its
// event runs. The helpers below change a control the way a user or the code does, firing
// the event exactly when the window would: a text change only when the text differs, a
// check box click only when the value differs, an option click on every selection.
#pragma once

#include <array>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
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
    Control* container = nullptr;       // the frame it sits in, whose state it shares
    std::vector<std::string> items;     // combo box list
    std::vector<Control*> group;        // option buttons that exclude each other, this one included
    std::function<void()> onChange;     // labels and text boxes
    std::function<void()> onClick;      // check boxes, option buttons, combo boxes, command buttons
    std::function<void()> onLostFocus;  // text boxes
};

// The controls of one window by name, in the order they were made: the one registry its view,
// the command line's --set and `info --all` look controls up in.
class ControlSet {
public:
    Control& add(Control& control, std::string name, ControlKind kind, std::string text = {});
    // Every index of an array: "Text7(0)", "Text7(1)", ...
    template <std::size_t N>
    void addArray(std::array<Control, N>& controls, std::string_view name, ControlKind kind,
                  const std::string& text = {}) {
        for (std::size_t i = 0; i < N; ++i) add(controls[i], indexedName(name, static_cast<int>(i)), kind, text);
    }
    // Only the indexes the window has.
    template <std::size_t N>
    void addIndexes(std::array<Control, N>& controls, std::string_view name, ControlKind kind,
                    std::initializer_list<int> indexes, const std::string& text = {}) {
        for (int i : indexes) add(controls[i], indexedName(name, i), kind, text);
    }

    Control* find(std::string_view name) const;
    auto begin() const { return controls_.begin(); }
    auto end() const { return controls_.end(); }

private:
    static std::string indexedName(std::string_view name, int index);
    std::vector<Control*> controls_;
};

// Frames hold the controls drawn inside them: a hidden or disabled frame takes them along.
void placeIn(Control& frame, std::initializer_list<Control*> controls);

// Why a user cannot change the control now, as "it is hidden" or "it sits in the frame
// 生データ出力 (Frame4), which is hidden"; empty when they can: it and every frame around it
// are visible and enabled.
std::string whyUnreachable(const Control& control);

enum class SettingResult { Applied, UnknownControl, NotSettable, BadValue, Unreachable };

// "Option2": the name of a group of option buttons Option2(0), Option2(1), ...
bool isOptionGroup(const ControlSet& controls, const std::string& name);
// The control a setting changes: the option chosen for "Option2=3", the named one otherwise.
Control* settingTarget(const ControlSet& controls, const std::string& name, const std::string& value);

// A setting done as a user does it, with its event: a text box gets the text and its change
// and lost-focus rules; a check box the value 0 or 1 and its click; "Option2=3" selects option
// 3 of the group (as does "Option2(3)=1"); "Combo1(0)=2" picks list index 2. A control the
// user cannot reach (whyUnreachable) is left as it is, as a click on it would do nothing.
SettingResult applySetting(const ControlSet& controls, const std::string& name, const std::string& value);

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
