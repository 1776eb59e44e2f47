// The settings of a command line: the main window's aliases (--processing rms, --pt 60, ...),
// what each stands for, and the one place that applies --set and alias settings to a window's
// controls in command-line order, refusing what a user could not do with its reason.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/cli_command.h"

namespace pqwave {

class ControlSet;

// The aliases of the main window's controls, which every command with settings takes.
const std::vector<SettingAlias>& mainWindowAliases();

// The NAME=VALUE settings the alias stands for with this value (empty for a flag), or nothing
// with `problem` saying what is wrong with the value.
std::optional<std::vector<std::pair<std::string, std::string>>> expandAlias(const SettingAlias& alias,
                                                                            const std::string& value,
                                                                            std::string& problem);

// What the alias does, as --set would write it: "--set Option2=0|1|2|3", "--set Text1=MS".
std::string aliasMeaning(const SettingAlias& alias);

// Applies the settings in order to `controls`, those of `window` (the main window when empty),
// whose settings' names start with `prefix` ("Form2."); at the first that cannot be made, prints
// why and returns its exit status: 2 for a name or value no control takes, 3 for a control a
// user cannot reach now. 0 when every one was made.
int applySettings(const ControlSet& controls, const std::vector<LineSetting>& settings, const CommandRun& run,
                  const std::string& window = {}, const std::string& prefix = {});

}  // namespace pqwave
