#include "app/cli.h"

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <optional>
#include <ostream>

#include "app/cli_export.h"
#include "control/all_files_run.h"
#include "control/form1_model.h"
#include "control/model_text.h"

namespace pqwave {
namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitUnavailable = 3;
constexpr int kExitCancelled = 130;  // as a program stopped by Ctrl-C

const char* const kUsage =
    "usage: pqwave-cli info FILE [--set NAME=VALUE]...\n"
    "       pqwave-cli convert FILE [--set NAME=VALUE]... [-o OUTPUT]\n"
    "       pqwave-cli batch FOLDER [--set NAME=VALUE]... [--jobs N]\n"
    "       pqwave-cli export FILE [--set NAME=VALUE]... [--ascii] [-o NAME.cfg]\n"
    "\n"
    "The main window's model runs as the program starts, FILE's folder becomes the folder of\n"
    "the file list, and FILE is clicked (its header is read). Each --set then changes one\n"
    "control as a user would, with its event, in the order given:\n"
    "  --set Text7(0)=60     a text box gets the text (and its change rule)\n"
    "  --set Check6=1        a check box gets the value (and its click rule)\n"
    "  --set Option2=1       an option group selects that index (and its click rule)\n"
    "  --set Combo1(0)=2     a combo box gets that list index (and its click rule)\n"
    "NAME is the control's name and index in the main window. info prints every control\n"
    "and module value as NAME=VALUE; convert runs \"CSV変換\" into OUTPUT (default: Text5).\n"
    "batch runs \"全ﾌｧｲﾙ処理\" over FOLDER once the data kind is chosen (--set Option1=N);\n"
    "--jobs N converts N files at once, with the same outputs and summaries as one at a time.\n"
    "export writes the channels, range and step of the raw-data CSV as COMTRADE (1999), BINARY\n"
    "or with --ascii ASCII, into NAME.cfg and NAME.dat (default: beside FILE).\n"
    "\n"
    "Ctrl-C stops a run: its unfinished output is removed, earlier files stay as they were.\n"
    "\n"
    "exit status: 0 done, 1 a file could not be read or written or a run failed,\n"
    "2 usage error, 3 the file is not recognised or the command is not available,\n"
    "130 cancelled by Ctrl-C.\n";

int exitStatusOf(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::NotRecognized:
        case ErrorKind::NotAvailable:
            return kExitUnavailable;
        case ErrorKind::Cancelled:
            return kExitCancelled;
        default:
            return kExitFailed;
    }
}

// Messages go to stderr, and the first failure decides the exit status.
class CliHost : public Form1Host {
public:
    explicit CliHost(std::ostream& err) : err_(err), progressShown_(::isatty(STDERR_FILENO) == 1) {}

    void reportError(ErrorKind kind, const std::string& message) override {
        endProgressLine();
        err_ << "pqwave-cli: " << message << '\n';
        if (status_ == kExitDone) status_ = exitStatusOf(kind);
    }
    void reportWarning(const std::string& message) override {
        endProgressLine();
        err_ << "pqwave-cli: warning: " << message << '\n';
    }
    // A percentage on a terminal while a run is under way, after the file an all-files run is at.
    void showProgress(const Progress& progress) {
        if (!progressShown_) return;
        if (!progress.running()) return endProgressLine();
        std::string line = std::to_string(static_cast<int>(progress.fraction() * 100)) + "%";
        if (!progress.caption().empty()) line = progress.caption() + "  " + line;
        if (line == shownLine_) return;
        const std::size_t previous = shownLine_.size();
        shownLine_ = line;
        if (line.size() < previous) line.append(previous - line.size(), ' ');
        err_ << "\r" << line << std::flush;
    }
    void endProgressLine() {
        if (!shownLine_.empty()) err_ << "\r" << std::string(shownLine_.size(), ' ') << "\r" << std::flush;
        shownLine_.clear();
    }
    int status() const { return status_; }

private:
    std::ostream& err_;
    bool progressShown_;
    std::string shownLine_;
    int status_ = kExitDone;
};

struct CommandLine {
    std::string command;
    std::filesystem::path target;
    std::vector<std::pair<std::string, std::string>> settings;
    std::string output;
    int jobs = 1;
    bool help = false;
    bool ascii = false;
};

// Nothing when the line is not well formed; the caller prints the usage.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args, std::string& problem) {
    CommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            line.help = true;
        } else if (arg == "--jobs") {
            char* end = nullptr;
            long jobs = i + 1 < args.size() ? std::strtol(args[i + 1].c_str(), &end, 10) : 0;
            if (i + 1 >= args.size() || *end != '\0' || jobs < 1 || jobs > 64) {
                problem = "--jobs needs a number of files to convert at once, 1 to 64";
                return std::nullopt;
            }
            line.jobs = static_cast<int>(jobs);
            ++i;
        } else if (arg == "--ascii") {
            line.ascii = true;
        } else if (arg == "--set" || arg == "-o") {
            if (i + 1 >= args.size()) {
                problem = arg + " needs a value";
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (arg == "-o") {
                line.output = value;
                continue;
            }
            std::size_t equals = value.find('=');
            if (equals == std::string::npos || equals == 0) {
                problem = "--set needs NAME=VALUE, not \"" + value + "\"";
                return std::nullopt;
            }
            line.settings.emplace_back(value.substr(0, equals), value.substr(equals + 1));
        } else if (line.command.empty()) {
            line.command = arg;
        } else if (line.target.empty()) {
            line.target = arg;
        } else {
            problem = "unexpected argument \"" + arg + "\"";
            return std::nullopt;
        }
    }
    if (line.help) return line;
    if (line.command != "info" && line.command != "convert" && line.command != "batch" && line.command != "export") {
        problem = line.command.empty() ? "no command given" : "unknown command \"" + line.command + "\"";
        return std::nullopt;
    }
    if (line.target.empty()) {
        problem = line.command + " needs a " + (line.command == "batch" ? "FOLDER" : "FILE");
        return std::nullopt;
    }
    if (!line.output.empty() && line.command != "convert" && line.command != "export") {
        problem = "-o belongs to convert and export";
        return std::nullopt;
    }
    if (line.jobs != 1 && line.command != "batch") {
        problem = "--jobs belongs to batch";
        return std::nullopt;
    }
    if (line.ascii && line.command != "export") {
        problem = "--ascii belongs to export";
        return std::nullopt;
    }
    if (line.command == "export") problem = exportOutputProblem(line.output);
    if (!problem.empty()) return std::nullopt;
    return line;
}

// Ctrl-C asks the running command to stop at its next check; a second Ctrl-C ends the
// program at once, as usual.
Progress* interruptedProgress = nullptr;

extern "C" void onInterrupt(int) {
    if (interruptedProgress) interruptedProgress->requestCancel();
    std::signal(SIGINT, SIG_DFL);
}

class InterruptCancelsRuns {
public:
    explicit InterruptCancelsRuns(Progress& progress) {
        interruptedProgress = &progress;
        previous_ = std::signal(SIGINT, onInterrupt);
    }
    ~InterruptCancelsRuns() {
        std::signal(SIGINT, previous_);
        interruptedProgress = nullptr;
    }

private:
    void (*previous_)(int) = SIG_DFL;
};

int currentYear() {
    auto today = std::chrono::year_month_day(std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now()));
    return static_cast<int>(today.year());
}

std::string settingProblem(SettingResult result, const std::string& name, const std::string& value) {
    switch (result) {
        case SettingResult::UnknownControl:
            return "--set " + name + ": the main window has no control of that name";
        case SettingResult::NotSettable:
            return "--set " + name + ": a user cannot change that control";
        case SettingResult::BadValue:
            return "--set " + name + "=" + value + ": not a value that control takes";
        default:
            return {};
    }
}

// The all-files run, with helper models set exactly as `form` when more jobs are asked for.
void runBatch(Form1Model& form, const CommandLine& line, const std::filesystem::path& programFolder,
              const std::filesystem::path& folder, Form1Host& host) {
    std::vector<std::unique_ptr<Form1Model>> helpers;
    std::vector<Form1Model*> helperPointers;
    for (int j = 0; line.jobs > 1 && j < line.jobs; ++j) {
        auto helper = std::make_unique<Form1Model>(programFolder);
        helper->Form_Load(currentYear());
        helper->Dir1_Change(folder.string());
        for (const auto& [name, value] : line.settings) applySetting(*helper, name, value);
        helperPointers.push_back(helper.get());
        helpers.push_back(std::move(helper));
    }
    try {
        runAllFiles(form, helperPointers);
    } catch (const Error& error) {
        host.reportError(error.kind(), error.what());
    } catch (const std::bad_alloc&) {
        host.reportError(ErrorKind::CannotRead, folder.string() + ": not enough memory for the all-files run");
    }
}

}  // namespace

std::filesystem::path executableFolder() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path() : exe.parent_path();
}

int runCli(const std::vector<std::string>& args, const std::filesystem::path& programFolder, std::ostream& out,
           std::ostream& err) {
    std::string problem;
    std::optional<CommandLine> line = parseCommandLine(args, problem);
    if (!line) {
        err << "pqwave-cli: " << problem << "\n" << kUsage;
        return kExitUsage;
    }
    if (line->help) {
        out << kUsage;
        return kExitDone;
    }

    CliHost host(err);
    Form1Model form(programFolder, &host);
    form.progress.setObserver([&host](const Progress& progress) { host.showProgress(progress); });
    InterruptCancelsRuns interrupt(form.progress);
    form.Form_Load(currentYear());

    std::filesystem::path target = std::filesystem::absolute(line->target).lexically_normal();
    std::error_code ec;
    if (line->command == "batch") {
        if (!std::filesystem::is_directory(target, ec)) {
            err << "pqwave-cli: " << target.string() << ": not a folder\n";
            return kExitFailed;
        }
        form.Dir1_Change(target.string());
    } else {
        if (!std::filesystem::exists(target, ec)) {
            err << "pqwave-cli: " << target.string() << ": no such file\n";
            return kExitFailed;
        }
        form.Dir1_Change(target.parent_path().string());
        form.File1_Click(target.filename().string());
        if (host.status() != kExitDone) return host.status();
        if (form.FileRecognized != -1) {
            err << "pqwave-cli: " << target.string() << ": not a recording this program knows\n";
            return kExitUnavailable;
        }
    }

    for (const auto& [name, value] : line->settings) {
        SettingResult result = applySetting(form, name, value);
        if (result != SettingResult::Applied) {
            err << "pqwave-cli: " << settingProblem(result, name, value) << '\n';
            return kExitUsage;
        }
    }

    if (line->command == "info") {
        out << describeModel(form);
    } else if (line->command == "convert") {
        if (!line->output.empty())
            setText(form.Text5, std::filesystem::absolute(line->output).lexically_normal().string());
        if (!form.Command1.enabled) {
            err << "pqwave-cli: " << target.string() << ": CSV変換 is not available with these settings\n";
            return kExitUnavailable;
        }
        click(form.Command1);
    } else if (line->command == "export") {
        runExportCommand(form, line->output, line->ascii);
    } else {
        if (!form.Command3.enabled) {
            err << "pqwave-cli: " << target.string()
                << ": 全ﾌｧｲﾙ処理 needs the data kind; choose it with --set Option1=0..4 (Option1(2) 自動 lists every "
                   "file)\n";
            return kExitUnavailable;
        }
        runBatch(form, *line, programFolder, target, host);
    }
    host.endProgressLine();
    return host.status();
}

}  // namespace pqwave
