// pqwave-cli's dispatcher: --version, help, the command named first (or first two words, as
// "plot trend"), its line parsed against its entry in the commands' table, then its run.
// Every usage error is one line saying what is wrong and one naming the help to read.
#include "app/cli.h"

#include <ostream>

#include "app/cli_command.h"
#include "app/cli_help.h"
#include "app/cli_host.h"
#include "app/cli_settings.h"
#include "app/nearest_names.h"
#include "common/failure.h"
#include "common/messages.h"

namespace pqwave {
namespace {

const OptionSpec kQuiet{"--quiet", "-q"};
const OptionSpec kHelp{"--help", "-h"};

// An option of the command, by its long or short name.
const OptionSpec* findOption(const CliCommand& c, std::string_view name) {
    for (const OptionSpec* o : {&kQuiet, &kHelp})
        if (name == o->name || (o->shortName && name == o->shortName)) return o;
    for (const OptionSpec& o : c.options)
        if (name == o.name || (o.shortName && name == o.shortName)) return &o;
    return nullptr;
}

const OptionSpec kSet{"--set", nullptr, "NAME=VALUE"};

const SettingAlias* findAlias(const CliCommand& c, std::string_view name) {
    for (const SettingAlias& a : c.aliases)
        if (name == a.name) return &a;
    if (!c.mainWindowSettings) return nullptr;
    for (const SettingAlias& a : mainWindowAliases())
        if (name == a.name) return &a;
    return nullptr;
}

std::vector<std::string> optionNames(const CliCommand& c) {
    std::vector<std::string> names{kQuiet.name, kHelp.name};
    for (const OptionSpec& o : c.options) names.emplace_back(o.name);
    if (c.mainWindowSettings) names.emplace_back(kSet.name);
    for (const SettingAlias& a : c.aliases) names.emplace_back(a.name);
    if (c.mainWindowSettings)
        for (const SettingAlias& a : mainWindowAliases()) names.emplace_back(a.name);
    return names;
}

bool takesValue(const CliCommand& c, std::string_view name) {
    if (const OptionSpec* o = findOption(c, name)) return o->argument != nullptr;
    if (const SettingAlias* a = findAlias(c, name)) return a->argument != nullptr;
    return c.mainWindowSettings && name == kSet.name;
}

// One option of the line with its value; false (the problem said in `problem`) when it is
// not one of the command's or its value is wrong.
bool takeOption(CommandRun& run, const std::string& name, const std::string& value, std::string& problem) {
    const CliCommand& c = run.command;
    if (const OptionSpec* o = findOption(c, name)) {
        if (o == &kQuiet) run.quiet = true;
        run.options.emplace_back(o->name, value);
        return true;
    }
    if (c.mainWindowSettings && name == kSet.name) {
        const std::size_t equals = value.find('=');
        if (equals == std::string::npos || equals == 0) {
            problem = tr("--set needs NAME=VALUE, not \"{0}\"", {value});
            return false;
        }
        run.settings.push_back({value.substr(0, equals), value.substr(equals + 1), "--set " + value});
        return true;
    }
    if (const SettingAlias* a = findAlias(c, name)) {
        const auto settings = expandAlias(*a, value, problem);
        if (!settings) return false;
        const std::string given = a->argument ? name + " " + value : name;
        for (const auto& [control, text] : *settings) run.settings.push_back({control, text, given});
        return true;
    }
    problem = tr("{0} has no option {1}{2}", {c.name, name, didYouMean(name, optionNames(c))});
    return false;
}

// The arguments after the command's name; false when they do not fit its entry.
bool parseArguments(CommandRun& run, const std::vector<std::string>& args, std::string& problem) {
    const CliCommand& c = run.command;
    bool operandsOnly = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (operandsOnly || arg.size() < 2 || arg[0] != '-') {
            run.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            operandsOnly = true;
            continue;
        }
        std::optional<std::string> value;
        // --name=value, as well as --name value.
        if (const std::size_t equals = arg.find('='); arg.starts_with("--") && equals != std::string::npos) {
            if (takesValue(c, arg.substr(0, equals))) {
                value = arg.substr(equals + 1);
                arg.resize(equals);
            }
        }
        if (!value && takesValue(c, arg)) {
            if (i + 1 >= args.size()) {
                problem = tr("{0} needs a value", {arg});
                return false;
            }
            value = args[++i];
        }
        if (!takeOption(run, arg, value.value_or(""), problem)) return false;
    }
    if (run.flag("--help")) return true;
    const int count = static_cast<int>(run.operands.size());
    if (count < c.operandCount) {
        problem = tr("{0} needs {1}", {c.name, c.operands});
        return false;
    }
    if (count > c.operandCount) {
        problem = tr("unexpected argument \"{0}\"", {run.operands[static_cast<std::size_t>(c.operandCount)]});
        return false;
    }
    return true;
}

std::vector<std::string> commandWords() {
    std::vector<std::string> words{"help"};
    for (const CliCommand* c : cliCommands()) {
        const std::string name = c->name;
        words.push_back(name.substr(0, name.find(' ')));
    }
    return words;
}

// The command the line starts with: the first two words ("plot trend") before the first one.
const CliCommand* commandOf(const std::vector<std::string>& args, std::size_t& words) {
    if (args.size() >= 2)
        if (const CliCommand* c = findCommand(args[0] + " " + args[1])) {
            words = 2;
            return c;
        }
    words = 1;
    return args.empty() ? nullptr : findCommand(args[0]);
}

int programUsageError(std::ostream& err, const std::string& problem) {
    err << "pqwave-cli: " << problem << "\n";
    err << tr("Try 'pqwave-cli help' for the commands.") << "\n";
    return kExitUsage;
}

int runHelp(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() <= 1) {
        out << programHelp();
        return kExitDone;
    }
    const std::vector<std::string> topic(args.begin() + 1, args.end());
    if (topic.size() == 1 && topic[0] == "settings") {
        out << settingsHelp();
        return kExitDone;
    }
    std::size_t words = 0;
    const CliCommand* c = commandOf(topic, words);
    if (!c || words != topic.size()) {
        std::vector<std::string> topics = commandWords();
        topics.emplace_back("settings");
        std::string asked = topic[0];
        for (std::size_t k = 1; k < topic.size(); ++k) asked += " " + topic[k];
        return programUsageError(err, tr("no help on \"{0}\"{1}", {asked, didYouMean(topic[0], topics)}));
    }
    out << commandHelp(*c);
    return kExitDone;
}

int runCommand(const std::vector<std::string>& args, const std::filesystem::path& programFolder, std::ostream& out,
               std::ostream& err) {
    if (args.empty()) return programUsageError(err, tr("no command given"));
    const std::string& first = args.front();
    if (first == "--version" || first == "-V") {
        out << versionLine("pqwave-cli");
        return kExitDone;
    }
    if (first == "help" || first == "--help" || first == "-h") return runHelp(args, out, err);
    std::size_t words = 0;
    const CliCommand* command = commandOf(args, words);
    if (!command) {
        if (first.starts_with("-"))
            return programUsageError(err, tr("a command comes first, not the option {0}", {first}));
        return programUsageError(err, tr("no command \"{0}\"{1}", {first, didYouMean(first, commandWords())}));
    }
    CommandRun run{*command, {}, {}, {}, false, programFolder, out, err};
    std::string problem;
    if (!parseArguments(run, std::vector<std::string>(args.begin() + static_cast<std::ptrdiff_t>(words), args.end()),
                        problem))
        return run.usageError(problem);
    if (run.flag("--help")) {
        out << commandHelp(*command);
        return kExitDone;
    }
    return command->run(run);
}

}  // namespace

std::optional<std::string> CommandRun::option(std::string_view name) const {
    std::optional<std::string> value;
    for (const auto& [option, given] : options)
        if (option == name) value = given;
    return value;
}

int CommandRun::usageError(const std::string& problem) const {
    err << "pqwave-cli: " << problem << "\n";
    err << tr("Try 'pqwave-cli help {0}' for its usage and options.", {command.name}) << "\n";
    return kExitUsage;
}

int CommandRun::fail(int status, const std::string& message) const {
    err << "pqwave-cli: " << message << "\n";
    return status;
}

// Whatever a command throws past its own reporting (running out of memory while reading a
// header, say) is one line and an exit status, never an abort.
int runCli(const std::vector<std::string>& args, const std::filesystem::path& programFolder, std::ostream& out,
           std::ostream& err) {
    int status = kExitFailed;
    reportingFailure(
        "pqwave-cli", [&] { status = runCommand(args, programFolder, out, err); },
        [&](const Failure& failure) {
            err << "pqwave-cli: " << failure.message << '\n';
            status = exitStatusOf(failure.kind);
        });
    return status;
}

}  // namespace pqwave
