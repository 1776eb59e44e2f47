// `pqwave-cli export`: the selected recording as a COMTRADE pair, NAME.cfg where -o says (beside
// the recording by default) and NAME.dat beside it.
#pragma once

#include <string>

namespace pqwave {

class Form1Model;

// What is wrong with the -o of an export, or nothing.
std::string exportOutputProblem(const std::string& output);

// Failures reach the form's host, which decides the exit status.
void runExportCommand(Form1Model& form, const std::string& output, bool ascii);

}  // namespace pqwave
