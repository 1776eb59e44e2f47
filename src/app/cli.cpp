#include "app/cli.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>
#include <ostream>

#include "app/cli_export.h"
#include "app/cli_pq.h"
#include "app/cli_report.h"
#include "app/stop_signals.h"
#include "common/failure.h"
#include "common/numbers.h"
#include "common/textforms.h"
#include "control/all_files_run.h"
#include "control/form1_model.h"
#include "control/model_text.h"
#include "display/picture.h"
#include "display/vector_model.h"
#include "display/waveform_model.h"
#include "input/file_bytes.h"
#include "input/output_target.h"

namespace pqwave {
namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitUnavailable = 3;
constexpr int kExitCancelled = 130;  // as a program stopped by Ctrl-C

const char* const kUsage =
    "usage: pqwave-cli info FILE [--set NAME=VALUE]...\n"
    "       pqwave-cli convert FILE [--set NAME=VALUE]... [-o OUTPUT|-]\n"
    "       pqwave-cli batch FOLDER [--set NAME=VALUE]... [--jobs N]\n"
    "       pqwave-cli export FILE [--set NAME=VALUE]... [--ascii] [-o NAME.cfg]\n"
    "       pqwave-cli plot wave|vector FILE [--set NAME=VALUE]... [--traces LIST] [--at SECONDS]\n"
    "                  [--size WxH] -o OUT.png\n"
    "       pqwave-cli pq FILE|FOLDER [--set NAME=VALUE]... [--nominal VOLTS] [--aggregate 200ms|3s|10min|2h]\n"
    "                  [-o OUT.csv] [--jobs N]     (pqwave-cli pq --help says more)\n"
    "\n"
    "The main window's model runs as the program starts, FILE's folder becomes the folder of\n"
    "the file list, and FILE is clicked (its header is read). Each --set then changes one\n"
    "control as a user would, with its event, in the order given:\n"
    "  --set Text7(0)=60     a text box gets the text (and its change rule)\n"
    "  --set Check6=1        a check box gets the value (and its click rule)\n"
    "  --set Option2=1       an option group selects that index (and its click rule)\n"
    "  --set Combo1(0)=2     a combo box gets that list index (and its click rule)\n"
    "NAME is the control's name and index in the main window. info prints every control\n"
    "and module value as NAME=VALUE; convert runs \"CSV変換\" into OUTPUT (default: Text5;\n"
    "- is standard output).\n"
    "batch runs \"全ﾌｧｲﾙ処理\" over FOLDER once the data kind is chosen (--set Option1=N);\n"
    "--jobs N converts N files at once, with the same outputs and summaries as one at a time.\n"
    "export writes the channels, range and step of the raw-data CSV as COMTRADE (1999), BINARY\n"
    "or with --ascii ASCII, into NAME.cfg and NAME.dat (default: beside FILE).\n"
    "plot paints what the waveform (\"波形表示\") or vector (\"ﾍﾞｸﾄﾙ表示\") window shows on FILE\n"
    "into a PNG, without a display. plot wave ticks every recorded channel, or the window's\n"
    "check boxes that --traces numbers from 1 (1..8 ch1..ch8, 9 S相基本波, 10 S相電流,\n"
    "11 未測定相Ｖ, 12 未測定相Is); --at scrolls the window to that many seconds; --size is\n"
    "the picture's size in pixels (default: as in the window). A setting named Form2.NAME\n"
    "(waveform window) or Form02.NAME (vector window) changes that window's control, e.g.\n"
    "--set Form2.Text2=10 or --set Form02.Text1(0)=0.5.\n"
    "\n"
    "Ctrl-C, SIGTERM or SIGHUP stops a run: its unfinished output is removed, earlier files\n"
    "stay as they were; a second one ends the program at once, still removing unfinished files.\n"
    "An output is never written over a recording; a link is written at its target, a FIFO or\n"
    "a device is written into.\n"
    "\n"
    "exit status: 0 done, 1 a file could not be read or written or a run failed,\n"
    "2 usage error, 3 the file is not recognised or the command is not available,\n"
    "130 cancelled by Ctrl-C, 143 by SIGTERM, 129 by SIGHUP.\n";

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
        cancelled_ |= kind == ErrorKind::Cancelled;
    }
    void reportWarning(const std::string& message) override {
        endProgressLine();
        err_ << "pqwave-cli: warning: " << message << '\n';
    }
    void allFilesRunEnded(const AllFilesTally& t) override {
        endProgressLine();
        err_ << "pqwave-cli: " << t.outputFolder.string() << ": " << t.converted << " of " << t.total
             << " files converted, " << t.skipped << " skipped, " << t.failed << " failed\n";
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
    // A run that a signal cancelled ends as a program ended by that signal, whatever failed before.
    int statusAfter(const StopSignalsCancel& signals) const {
        return cancelled_ && signals.signalExitStatus() != 0 ? signals.signalExitStatus() : status_;
    }
    Form1Model* form = nullptr;

private:
    std::ostream& err_;
    bool progressShown_;
    std::string shownLine_;
    int status_ = kExitDone;
    bool cancelled_ = false;
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

// "-" is standard output, whatever the current folder holds.
std::filesystem::path outputPathOf(const std::string& given) {
    if (given == "-") return given;
    return std::filesystem::absolute(given).lexically_normal();
}

// A recording that can be read: only a regular file, so that a FIFO never blocks the command.
bool readableRecording(const std::filesystem::path& target, std::ostream& err) {
    try {
        fileSizeOf(target);
        return true;
    } catch (const Error& error) {
        err << "pqwave-cli: " << error.what() << '\n';
        return false;
    }
}

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

// The all-files run, `line.jobs` files at a time.
void runBatch(Form1Model& form, const CommandLine& line, const std::filesystem::path& folder, Form1Host& host) {
    reportingFailure(
        folder.string(), [&] { runAllFiles(form, line.jobs); },
        [&host](const Failure& failure) { host.reportError(failure.kind, failure.message); });
}

// ---- plot: a display window's picture as a PNG

PictureWriter pictureWriter = nullptr;

struct PlotLine {
    std::string window;  // "wave" or "vector"
    std::filesystem::path target;
    std::vector<std::pair<std::string, std::string>> settings;
    std::optional<std::vector<int>> traces;
    std::optional<double> atSeconds;
    int width = 0, height = 0;
    std::string output;
};

std::optional<double> wholeNumberText(const std::string& text, bool integer) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
    if (integer && value != std::floor(value)) return std::nullopt;
    return value;
}

std::optional<PlotLine> parsePlotLine(const std::vector<std::string>& args, std::string& problem) {
    PlotLine line;
    std::vector<std::string> positional;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--set" || arg == "-o" || arg == "--traces" || arg == "--at" || arg == "--size";
        if (!takesValue) {
            positional.push_back(arg);
            continue;
        }
        if (i + 1 >= args.size()) {
            problem = arg + " needs a value";
            return std::nullopt;
        }
        const std::string& value = args[++i];
        if (arg == "-o") {
            line.output = value;
        } else if (arg == "--set") {
            std::size_t equals = value.find('=');
            if (equals == std::string::npos || equals == 0) {
                problem = "--set needs NAME=VALUE, not \"" + value + "\"";
                return std::nullopt;
            }
            line.settings.emplace_back(value.substr(0, equals), value.substr(equals + 1));
        } else if (arg == "--at") {
            line.atSeconds = wholeNumberText(value, false);
            if (!line.atSeconds || *line.atSeconds < 0) {
                problem = "--at needs a number of seconds from 0 on, not \"" + value + "\"";
                return std::nullopt;
            }
        } else if (arg == "--size") {
            std::size_t x = value.find('x');
            auto w = x == std::string::npos ? std::nullopt : wholeNumberText(value.substr(0, x), true);
            auto h = x == std::string::npos ? std::nullopt : wholeNumberText(value.substr(x + 1), true);
            if (!w || !h || *w < 1 || *h < 1 || *w > 16384 || *h > 16384) {
                problem = "--size needs WIDTHxHEIGHT in pixels (1..16384), not \"" + value + "\"";
                return std::nullopt;
            }
            line.width = static_cast<int>(*w);
            line.height = static_cast<int>(*h);
        } else {
            std::vector<int> boxes;
            std::size_t start = 0;
            while (start <= value.size()) {
                std::size_t comma = std::min(value.find(',', start), value.size());
                auto n = wholeNumberText(value.substr(start, comma - start), true);
                if (!n || *n < 1 || *n > kWaveTraces) {
                    problem = "--traces needs check box numbers 1.." + std::to_string(kWaveTraces) +
                              " separated by commas, not \"" + value + "\"";
                    return std::nullopt;
                }
                boxes.push_back(static_cast<int>(*n));
                start = comma + 1;
            }
            line.traces = boxes;
        }
    }
    if (positional.size() != 2 || (positional[0] != "wave" && positional[0] != "vector")) {
        problem = "plot needs wave or vector, then FILE";
        return std::nullopt;
    }
    line.window = positional[0];
    line.target = positional[1];
    if (line.output.empty()) {
        problem = "plot needs -o OUT.png";
        return std::nullopt;
    }
    if (line.traces && line.window != "wave") {
        problem = "--traces belongs to plot wave";
        return std::nullopt;
    }
    return line;
}

// "Form2.Text2" names a control of the waveform window, "Form02.Text1(0)" one of the vector
// window; the rest name the main window's.
std::optional<std::string> windowControlName(const std::string& name, const std::string& window) {
    const std::string prefix = window == "wave" ? "Form2." : "Form02.";
    if (name.rfind(prefix, 0) == 0) return name.substr(prefix.size());
    return std::nullopt;
}

bool isWindowSetting(const std::string& name) {
    return name.rfind("Form2.", 0) == 0 || name.rfind("Form02.", 0) == 0;
}

// Seconds as a scroll position of the window, when the bar can show it.
std::optional<int> scrollPositionAt(const ScrollBar& bar, double seconds, double stepsPerSecond, std::string& problem) {
    const double position = roundHalfEven(seconds * stepsPerSecond);
    const int last = bar.enabled ? std::max(bar.max, 0) : 0;
    if (position > last) {
        problem = "--at " + formD(seconds) + ": the window scrolls from 0 to " + formD(last / stepsPerSecond) +
                  " seconds on this recording";
        return std::nullopt;
    }
    return static_cast<int>(position);
}

int runPlot(const std::vector<std::string>& args, const std::filesystem::path& programFolder, std::ostream& err) {
    std::string problem;
    std::optional<PlotLine> line = parsePlotLine(args, problem);
    if (!line) {
        err << "pqwave-cli: " << problem << "\n" << kUsage;
        return kExitUsage;
    }
    if (!pictureWriter) {
        err << "pqwave-cli: plot is not available in this build of pqwave (it was built without Qt)\n";
        return kExitUnavailable;
    }

    CliHost host(err);
    Form1Model form(programFolder, &host);
    host.form = &form;
    StopSignalsCancel stopSignals(form.progress);
    form.Form_Load(currentYear());
    const std::filesystem::path target = std::filesystem::absolute(line->target).lexically_normal();
    const std::string file = target.string();
    if (!readableRecording(target, err)) return kExitFailed;
    const std::filesystem::path output = outputPathOf(line->output);
    try {
        refuseRecordingAsOutput(output, target);
    } catch (const Error& error) {
        err << "pqwave-cli: " << error.what() << '\n';
        return kExitFailed;
    }
    form.Dir1_Change(target.parent_path().string());
    form.File1_Click(target.filename().string());
    if (host.status() != kExitDone) return host.status();
    if (form.FileRecognized != -1) {
        err << "pqwave-cli: " << file << ": not a recording this program knows\n";
        return kExitUnavailable;
    }
    std::vector<std::pair<std::string, std::string>> windowSettings;
    for (const auto& [name, value] : line->settings) {
        if (isWindowSetting(name)) {
            auto own = windowControlName(name, line->window);
            if (!own) {
                err << "pqwave-cli: --set " << name << ": that control belongs to the other window\n";
                return kExitUsage;
            }
            windowSettings.emplace_back(*own, value);
            continue;
        }
        SettingResult result = applySetting(form.controls(), name, value);
        if (result != SettingResult::Applied) {
            err << "pqwave-cli: " << settingProblem(result, name, value) << '\n';
            return kExitUsage;
        }
    }

    // The user presses "波形表示" or "ﾍﾞｸﾄﾙ表示": the samples are loaded, the window opens.
    const bool wave = line->window == "wave";
    Control& command = wave ? form.Command2 : form.Command4;
    if (!command.enabled) {
        err << "pqwave-cli: " << file << ": " << command.text << " is not available with these settings\n";
        return kExitUnavailable;
    }
    click(command);
    if (host.status() != kExitDone) return host.statusAfter(stopSignals);
    if (form.LoadedFileName() != form.Label1.text) {
        err << "pqwave-cli: " << file << ": no samples to show\n";
        return kExitFailed;
    }

    auto applyToWindow = [&](const ControlSet& controls) {
        for (const auto& [name, value] : windowSettings) {
            SettingResult result = applySetting(controls, name, value);
            if (result != SettingResult::Applied) {
                problem = settingProblem(result, name, value);
                return false;
            }
        }
        return true;
    };
    const Picture* picture = nullptr;
    std::unique_ptr<Form2Model> waveform;
    std::unique_ptr<Form02Model> vector;
    int width = line->width, height = line->height;
    if (wave) {
        waveform = std::make_unique<Form2Model>(form);
        Form2Model& w = *waveform;
        w.openFromMainWindow();
        for (int k = 0; k < 8 && !line->traces; ++k)
            if (w.Check1[k].enabled && k < form.ChannelCount()) setValue(w.Check1[k], 1);
        for (int n : line->traces.value_or(std::vector<int>{})) {
            Control& box = w.Check1[n - 1];
            if (!box.enabled) {
                err << "pqwave-cli: " << file << ": --traces " << n << ": " << box.text << " is not recorded\n";
                return kExitUnavailable;
            }
            setValue(box, 1);
        }
        if (!applyToWindow(w.controls())) {
            err << "pqwave-cli: " << problem << " (waveform window)\n";
            return kExitUsage;
        }
        if (width == 0) {
            width = static_cast<int>((Form2Model::kDefaultInnerWidth - 1535) / 15);
            height = static_cast<int>((Form2Model::kDefaultInnerHeight - 600) / 15);
        }
        w.Form_Resize(width * 15.0 + 1535, height * 15.0 + 600);
        if (line->atSeconds) {
            auto position = scrollPositionAt(w.HScroll1, *line->atSeconds, 50, problem);
            if (!position) {
                err << "pqwave-cli: " << file << ": " << problem << '\n';
                return kExitUsage;
            }
            setScrollValue(w.HScroll1, *position);
        }
        click(w.Command3);  // "表示"
        picture = &w.picture();
    } else {
        vector = std::make_unique<Form02Model>(form);
        Form02Model& v = *vector;
        v.Form_Activate();
        if (!applyToWindow(v.controls())) {
            err << "pqwave-cli: " << problem << " (vector window)\n";
            return kExitUsage;
        }
        if (line->atSeconds) {
            auto position = scrollPositionAt(v.HScroll1, *line->atSeconds, v.VecFreq, problem);
            if (!position) {
                err << "pqwave-cli: " << file << ": " << problem << '\n';
                return kExitUsage;
            }
            setScrollValue(v.HScroll1, *position);
        }
        v.V_Drow();
        picture = &v.picture();
        if (width == 0) {
            width = Form02Model::kDefaultPixelWidth;
            height = Form02Model::kDefaultPixelHeight;
        }
    }

    if (form.progress.cancelRequested()) {
        err << "pqwave-cli: " << file << ": cancelled; nothing was written\n";
        return stopSignals.signalExitStatus() != 0 ? stopSignals.signalExitStatus() : kExitCancelled;
    }
    if (!pictureWriter(*picture, width, height, output, problem)) {
        err << "pqwave-cli: " << problem << '\n';
        return kExitFailed;
    }
    return host.status();
}

}  // namespace

void setPictureWriter(PictureWriter writer) {
    pictureWriter = writer;
}

std::filesystem::path executableFolder() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path() : exe.parent_path();
}

namespace {

int runCommand(const std::vector<std::string>& args, const std::filesystem::path& programFolder, std::ostream& out,
               std::ostream& err) {
    if (isReportCommand(args)) return runReportCommand(args, programFolder, out, err);
    if (!args.empty() && args.front() == "plot") return runPlot(args, programFolder, err);
    if (!args.empty() && args.front() == "pq") return runPqCommand(args, programFolder, out, err);
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
    host.form = &form;
    form.progress.setObserver([&host](const Progress& progress) { host.showProgress(progress); });
    StopSignalsCancel stopSignals(form.progress);
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
        if (!readableRecording(target, err)) return kExitFailed;
        form.Dir1_Change(target.parent_path().string());
        form.File1_Click(target.filename().string());
        if (host.status() != kExitDone) return host.status();
        if (form.FileRecognized != -1) {
            err << "pqwave-cli: " << target.string() << ": not a recording this program knows\n";
            return kExitUnavailable;
        }
    }

    for (const auto& [name, value] : line->settings) {
        SettingResult result = applySetting(form.controls(), name, value);
        if (result != SettingResult::Applied) {
            err << "pqwave-cli: " << settingProblem(result, name, value) << '\n';
            return kExitUsage;
        }
    }

    if (line->command == "info") {
        out << describeModel(form);
    } else if (line->command == "convert") {
        if (!line->output.empty()) setText(form.Text5, outputPathOf(line->output).string());
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
        runBatch(form, *line, target, host);
    }
    host.endProgressLine();
    return host.statusAfter(stopSignals);
}

}  // namespace

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
