// The main-window model as text, for the command line and the tests: every control as
// NAME=VALUE lines with its enabled and visible state, then the module values.
#pragma once

#include <string>

namespace pqwave {

class Form1Model;

std::string describeModel(const Form1Model& form);

}  // namespace pqwave
