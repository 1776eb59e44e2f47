// The pq command reads its own options, so that it stays apart from the other commands' line.
// The model starts as the program starts; FILE is clicked (or FOLDER listed), every --set is
// applied in order, then --nominal and --aggregate fill the window's power-quality controls
// and "電力品質解析" runs.
#include "app/cli_pq.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <utility>

#include "app/cli_host.h"
#include "app/stop_signals.h"
#include "common/error.h"
#include "control/control.h"
#include "control/form1_model.h"
#include "control/power_quality_command.h"
#include "input/file_bytes.h"

namespace pqwave {
namespace {

namespace fs = std::filesystem;

const char* const kPqUsage =
    "usage: pqwave-cli pq FILE|FOLDER [--set NAME=VALUE]... [--nominal VOLTS] [--aggregate 200ms|3s|10min|2h]\n"
    "                  [-o OUT.csv] [--jobs N]\n"
    "\n"
    "Measures the recording by the power-quality methods (IEC 61000-4-30 intervals, IEC 61000-4-7\n"
    "harmonics, IEC 61000-4-15 flicker, delta V10, rapid voltage changes) and writes STEM_PQ.csv,\n"
    "STEM_PQharm.csv, STEM_PQevents.csv and STEM_PQflicker.csv beside it, STEM as the output\n"
    "name CSV変換 proposes (Text5); -o OUT.csv names the first, the others go beside it.\n"
    "--nominal gives Udin in volts (default: the standard voltage nearest the first 10 s);\n"
    "--aggregate the rows of STEM_PQ.csv (default 10min). The ratios, supply frequency and\n"
    "wiring are the main window's (--set Text7(0)=60, --set Option5=1 for 60 Hz, ...).\n"
    "With a FOLDER every recording of the chosen data kind (--set Option1=0 or 1) is measured,\n"
    "--jobs N side by side.\n";

struct PqLine {
    fs::path target;
    std::vector<std::pair<std::string, std::string>> settings;
    std::optional<std::string> nominal;
    std::optional<int> aggregation;  // index of the window's list
    std::optional<std::string> output;
    int jobs = 1;
    bool help = false;
};

std::optional<double> positiveNumber(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value) || !(value > 0)) return std::nullopt;
    return value;
}

std::optional<int> aggregationIndex(const std::string& text) {
    const char* const names[] = {"200ms", "3s", "10min", "2h"};
    for (int k = 0; k < 4; ++k)
        if (text == names[k]) return k;
    return std::nullopt;
}

// Nothing when the line is not well formed; `problem` says why.
std::optional<PqLine> parsePqLine(const std::vector<std::string>& args, std::string& problem) {
    PqLine line;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            line.help = true;
            continue;
        }
        const bool takesValue =
            arg == "--set" || arg == "--nominal" || arg == "--aggregate" || arg == "-o" || arg == "--jobs";
        if (!takesValue) {
            if (arg.starts_with("-") || !line.target.empty()) {
                problem = "unexpected argument \"" + arg + "\"";
                return std::nullopt;
            }
            line.target = arg;
            continue;
        }
        if (i + 1 >= args.size()) {
            problem = arg + " needs a value";
            return std::nullopt;
        }
        const std::string& value = args[++i];
        if (arg == "--set") {
            const std::size_t equals = value.find('=');
            if (equals == std::string::npos || equals == 0) {
                problem = "--set needs NAME=VALUE, not \"" + value + "\"";
                return std::nullopt;
            }
            line.settings.emplace_back(value.substr(0, equals), value.substr(equals + 1));
        } else if (arg == "--nominal") {
            if (!positiveNumber(value)) {
                problem = "--nominal needs the declared voltage in volts, a number above 0, not \"" + value + "\"";
                return std::nullopt;
            }
            line.nominal = value;
        } else if (arg == "--aggregate") {
            line.aggregation = aggregationIndex(value);
            if (!line.aggregation) {
                problem = "--aggregate needs 200ms, 3s, 10min or 2h, not \"" + value + "\"";
                return std::nullopt;
            }
        } else if (arg == "-o") {
            line.output = value;
        } else {
            const auto jobs = positiveNumber(value);
            if (!jobs || *jobs != std::floor(*jobs) || *jobs > 64) {
                problem = "--jobs needs a number of files to measure at once, 1 to 64";
                return std::nullopt;
            }
            line.jobs = static_cast<int>(*jobs);
        }
    }
    if (!line.help && line.target.empty()) {
        problem = "pq needs a FILE or a FOLDER";
        return std::nullopt;
    }
    return line;
}

int currentYear() {
    const std::chrono::year_month_day today(std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now()));
    return static_cast<int>(today.year());
}

std::string settingProblem(SettingResult result, const std::string& name, const std::string& value) {
    switch (result) {
        case SettingResult::UnknownControl:
            return "--set " + name + ": the main window has no control of that name";
        case SettingResult::NotSettable:
            return "--set " + name + ": a user cannot change that control";
        default:
            return "--set " + name + "=" + value + ": not a value that control takes";
    }
}

// The settings as a user makes them, then the power-quality controls; false (reported) when
// one cannot be made.
bool applyChoices(Form1Model& form, const PqLine& line, std::ostream& err) {
    for (const auto& [name, value] : line.settings) {
        const SettingResult result = applySetting(form.controls(), name, value);
        if (result != SettingResult::Applied) {
            err << "pqwave-cli: " << settingProblem(result, name, value) << '\n';
            return false;
        }
    }
    if (line.nominal) setText(form.PqVolts, *line.nominal);
    if (line.aggregation) setListIndex(form.PqInterval, *line.aggregation);
    return true;
}

int measureFolder(Form1Model& form, CliHost& host, const PqLine& line, const fs::path& folder, std::ostream& err) {
    if (line.output) {
        err << "pqwave-cli: -o names the files of one recording; a folder's go beside each recording\n";
        return kExitUsage;
    }
    form.Dir1_Change(folder.string());
    if (!applyChoices(form, line, err)) return kExitUsage;
    if (isSelected(form.Option1[2])) {
        err << "pqwave-cli: " << folder.string()
            << ": pq of a folder needs the data kind; choose it with --set Option1=0 (8840) or --set Option1=1 "
               "(8808･35･41･80 waveforms)\n";
        return kExitUnavailable;
    }
    measureAllFiles(form, line.jobs);
    return host.status();
}

int measureFile(Form1Model& form, CliHost& host, const PqLine& line, const fs::path& file, std::ostream& err) {
    if (line.jobs != 1) {
        err << "pqwave-cli: --jobs belongs to the pq of a folder\n";
        return kExitUsage;
    }
    try {
        fileSizeOf(file);  // only a regular file, so that a FIFO never blocks the command
    } catch (const Error& error) {
        err << "pqwave-cli: " << error.what() << '\n';
        return kExitFailed;
    }
    form.Dir1_Change(file.parent_path().string());
    form.File1_Click(file.filename().string());
    if (host.status() != kExitDone) return host.status();
    if (form.FileRecognized != -1) {
        err << "pqwave-cli: " << file.string() << ": not a recording this program knows\n";
        return kExitUnavailable;
    }
    if (!applyChoices(form, line, err)) return kExitUsage;
    std::optional<fs::path> summary;
    if (line.output) summary = fs::absolute(*line.output).lexically_normal();
    measureSelectedFile(form, summary);
    return host.status();
}

}  // namespace

int runPqCommand(const std::vector<std::string>& args, const fs::path& programFolder, std::ostream& out,
                 std::ostream& err) {
    std::string problem;
    const std::optional<PqLine> line = parsePqLine(args, problem);
    if (!line) {
        err << "pqwave-cli: " << problem << "\n" << kPqUsage;
        return kExitUsage;
    }
    if (line->help) {
        out << kPqUsage;
        return kExitDone;
    }
    CliHost host(err);
    Form1Model form(programFolder, &host);
    form.progress.setObserver([&host](const Progress& progress) { host.showProgress(progress); });
    StopSignalsCancel stopSignals(form.progress);
    form.Form_Load(currentYear());

    const fs::path target = fs::absolute(line->target).lexically_normal();
    std::error_code ec;
    const int status = fs::is_directory(target, ec) ? measureFolder(form, host, *line, target, err)
                                                    : measureFile(form, host, *line, target, err);
    host.endProgressLine();
    return status == host.status() ? host.statusAfter(stopSignals) : status;
}

}  // namespace pqwave
