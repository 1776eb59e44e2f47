// The main-window model as text, for the command line and the tests: every control as
// NAME=VALUE lines with its enabled and visible state, then the module values; and the
// reverse, a NAME=VALUE setting applied the way a user would change that control.
#pragma once

#include <string>

namespace pqwave {

class Form1Model;

std::string describeModel(const Form1Model& form);

enum class SettingResult { Applied, UnknownControl, NotSettable, BadValue };

// Text boxes get the text and their change (and lost-focus) rule; check boxes the value and
// their click; "Option2=3" selects option 3 of the group; "Combo1(0)=2" picks list index 2.
SettingResult applySetting(Form1Model& form, const std::string& name, const std::string& value);

}  // namespace pqwave
