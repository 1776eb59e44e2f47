// The help texts of pqwave-cli, made from the commands' table: `pqwave-cli help` lists the
// commands and what holds for all of them, `help COMMAND` (or COMMAND --help) gives one
// command's usage, options and settings, `help settings` how --set works and every alias.
#pragma once

#include <string>

namespace pqwave {

struct CliCommand;

std::string programHelp();
std::string commandHelp(const CliCommand& command);
std::string settingsHelp();

// "pqwave-cli 0.1"
std::string versionLine(const char* program);

}  // namespace pqwave
