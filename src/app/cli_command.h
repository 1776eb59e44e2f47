// One pqwave-cli command as the dispatcher, the parser and the help see it: its name, operands,
// options and setting aliases in one table entry, and the function that runs it. A command
// file defines its entry and lists it in cliCommands() (cli_commands.cpp); parsing, the usage
// errors, "did you mean", `help COMMAND` and `COMMAND --help` all come from the entry.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pqwave {

struct OptionSpec {
    const char* name;                 // "--jobs"
    const char* shortName = nullptr;  // "-j"
    const char* argument = nullptr;   // "N"; none for a flag
    const char* help = "";
};

// What an alias's value must be before it becomes the text of a control.
enum class AliasValue { None, Text, Number, PositiveNumber, WholeNumber, Choice };

struct AliasChoice {
    const char* word;      // "rms"
    const char* settings;  // "Option2=0"
};

// A name a person can remember for one or more --set settings, applied in command-line order
// with the --set settings and exactly as they are: `settings` holds NAME=VALUE settings
// separated by spaces, where {0} is the value (or, with a separator, {0} and {1} its parts).
struct SettingAlias {
    const char* name;                // "--interval"
    const char* argument = nullptr;  // "MS"; none for a flag
    AliasValue value = AliasValue::None;
    const char* settings = "";              // "Text1={0}"; for a choice, the choices' settings
    std::vector<AliasChoice> choices = {};  // AliasValue::Choice
    char separator = 0;                     // ':' in FIRST:LAST, '=' in C=A
    int firstMin = 0, firstMax = 0;         // the first part's range, when it is an index
    const char* help = "";
};

// A setting as the command line gave it, in order: NAME=VALUE, and what the user wrote.
struct LineSetting {
    std::string name, value;
    std::string given;  // "--set Check4=1", "--pt 60"
};

struct CliCommand;

// A command line parsed against its command's entry.
struct CommandRun {
    const CliCommand& command;
    std::vector<std::string> operands;
    std::vector<std::pair<std::string, std::string>> options;  // by long name, in order; "" for a flag
    std::vector<LineSetting> settings;
    bool quiet = false;
    std::filesystem::path programFolder;
    std::ostream& out;
    std::ostream& err;

    // The last value given to the option, or nothing.
    std::optional<std::string> option(std::string_view name) const;
    bool flag(std::string_view name) const { return option(name).has_value(); }
    // Prints what is wrong and which help to read; returns the exit status of a usage error.
    int usageError(const std::string& problem) const;
    // Prints one failure line; returns `status`.
    int fail(int status, const std::string& message) const;
};

struct CliCommand {
    const char* name;      // "convert"; "plot trend" for a command under another
    const char* operands;  // "FILE"
    int operandCount = 1;
    const char* summary = "";      // its line in `pqwave-cli help`
    const char* description = "";  // its help's paragraphs, lines ended by \n
    std::vector<OptionSpec> options = {};
    std::vector<SettingAlias> aliases = {};  // its own, beside the main window's
    bool mainWindowSettings = true;          // takes --set and the main window's aliases
    int (*run)(CommandRun& run) = nullptr;
};

// Every command, in the order `pqwave-cli help` lists them.
const std::vector<const CliCommand*>& cliCommands();
const CliCommand* findCommand(std::string_view name);

// The commands' entries, one per command file.
const CliCommand& infoCommand();
const CliCommand& convertCommand();
const CliCommand& batchCommand();
const CliCommand& exportCommand();
const CliCommand& plotCommand();
const CliCommand& pqCommand();
const CliCommand& reportCommand();
const CliCommand& plotTrendCommand();

}  // namespace pqwave
