// The report commands read their own options, as pq does. The model starts as the program
// starts; FILE is clicked (or FOLDER listed), every --set is applied in order, --nominal fills
// the power-quality Udin, and the recording is measured as "レポート" measures it.
#include "app/cli_report.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <utility>

#include "app/cli_host.h"
#include "app/stop_signals.h"
#include "common/error.h"
#include "common/failure.h"
#include "control/control.h"
#include "control/form1_model.h"
#include "control/pq_survey.h"
#include "input/file_bytes.h"
#include "input/output_target.h"
#include "report/report_file.h"
#include "report/report_texts.h"
#include "report/svg_chart.h"
#include "report/trend_charts.h"

namespace pqwave {
namespace {

namespace fs = std::filesystem;

SvgPngWriter svgPngWriter = nullptr;

const char* const kReportUsage =
    "usage: pqwave-cli report FILE|FOLDER [--set NAME=VALUE]... [--nominal VOLTS] [--limits en50160|FILE]\n"
    "                  [--lang ja|en] [-o OUT.html] [--jobs N]\n"
    "       pqwave-cli plot trend FILE|FOLDER --quantity U|f|u2|THD|Pst|P|Q|PF [--set NAME=VALUE]...\n"
    "                  [--nominal VOLTS] [--limits en50160|FILE] [--lang ja|en] [--width PIXELS] -o OUT.png\n"
    "\n"
    "report measures the recording as pq does and writes one HTML file (STEM_PQreport.html beside it,\n"
    "or FOLDER/FOLDERNAME_PQreport.html for a folder; -o names another): the recordings, the verdict\n"
    "against the limits, trends, harmonics and events, with inline pictures and a print style for A4.\n"
    "A folder's recordings (of the data kind chosen with --set Option1=0 or 1) make one survey.\n"
    "--limits en50160 (the default) judges by EN 50160 for medium voltage; --limits FILE by a set of\n"
    "your own, an INI file with the same keys:\n"
    "    name = My set          period_days = 7\n"
    "    [voltage] band_percent = 10, share_percent = 95  (one KEY = VALUE per line)\n"
    "    [frequency] band_percent, share_percent    [unbalance] max_percent, share_percent\n"
    "    [thd] max_percent, share_percent   [plt] max, share_percent   [harmonics] share_percent, h2 ... h50\n"
    "A section left out is not judged. --lang chooses the language (default: Japanese, or the\n"
    "locale's when it names one). plot trend draws one of the report's trend charts as a PNG.\n";

struct ReportLine {
    bool plot = false;
    fs::path target;
    std::vector<std::pair<std::string, std::string>> settings;
    std::optional<std::string> nominal, limits, output;
    std::optional<Language> language;
    std::optional<TrendQuantity> quantity;
    int jobs = 1;
    int width = 1200;
    bool help = false;
};

std::optional<double> positiveNumber(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value) || !(value > 0)) return std::nullopt;
    return value;
}

std::optional<int> wholeNumber(const std::string& text, int low, int high) {
    const auto value = positiveNumber(text);
    if (!value || *value != std::floor(*value) || *value < low || *value > high) return std::nullopt;
    return static_cast<int>(*value);
}

// One option with its value; false and `problem` when the value is not one it takes.
bool takeOption(ReportLine& line, const std::string& option, const std::string& value, std::string& problem) {
    if (option == "--set") {
        const std::size_t equals = value.find('=');
        if (equals == std::string::npos || equals == 0) {
            problem = "--set needs NAME=VALUE, not \"" + value + "\"";
            return false;
        }
        line.settings.emplace_back(value.substr(0, equals), value.substr(equals + 1));
    } else if (option == "--nominal") {
        if (!positiveNumber(value)) {
            problem = "--nominal needs the declared voltage in volts, a number above 0, not \"" + value + "\"";
            return false;
        }
        line.nominal = value;
    } else if (option == "--limits") {
        line.limits = value;
    } else if (option == "--lang") {
        if (value != "ja" && value != "en") {
            problem = "--lang needs ja or en, not \"" + value + "\"";
            return false;
        }
        line.language = value == "ja" ? Language::Japanese : Language::English;
    } else if (option == "-o") {
        line.output = value;
    } else if (option == "--jobs") {
        const auto jobs = wholeNumber(value, 1, 64);
        if (!jobs) {
            problem = "--jobs needs a number of files to measure at once, 1 to 64";
            return false;
        }
        line.jobs = *jobs;
    } else if (option == "--quantity") {
        line.quantity = trendQuantityFromName(value);
        if (!line.quantity) {
            problem = "--quantity needs U, f, u2, THD, Pst, P, Q or PF, not \"" + value + "\"";
            return false;
        }
    } else {
        const auto width = wholeNumber(value, 200, 8000);
        if (!width) {
            problem = "--width needs the picture's width in pixels, 200 to 8000, not \"" + value + "\"";
            return false;
        }
        line.width = *width;
    }
    return true;
}

std::optional<ReportLine> parseReportLine(const std::vector<std::string>& args, std::string& problem) {
    ReportLine line;
    line.plot = args.front() == "plot";
    const std::size_t first = line.plot ? 2 : 1;  // after "plot trend"
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            line.help = true;
            continue;
        }
        const bool takesValue = arg == "--set" || arg == "--nominal" || arg == "--limits" || arg == "--lang" ||
                                arg == "-o" || arg == "--jobs" ||
                                (line.plot && (arg == "--quantity" || arg == "--width"));
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
        if (!takeOption(line, arg, args[++i], problem)) return std::nullopt;
    }
    if (line.help) return line;
    if (line.target.empty()) problem = std::string(line.plot ? "plot trend" : "report") + " needs a FILE or a FOLDER";
    if (line.plot && !line.quantity) problem = "plot trend needs --quantity U, f, u2, THD, Pst, P, Q or PF";
    if (line.plot && !line.output) problem = "plot trend needs -o OUT.png";
    if (!problem.empty()) return std::nullopt;
    return line;
}

int currentYear() {
    const std::chrono::year_month_day today(std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now()));
    return static_cast<int>(today.year());
}

bool applyChoices(Form1Model& form, const ReportLine& line, std::ostream& err) {
    for (const auto& [name, value] : line.settings) {
        const SettingResult result = applySetting(form.controls(), name, value);
        if (result == SettingResult::Applied) continue;
        err << "pqwave-cli: --set " << name
            << (result == SettingResult::UnknownControl ? ": the main window has no control of that name"
                : result == SettingResult::NotSettable  ? ": a user cannot change that control"
                                                        : "=" + value + ": not a value that control takes")
            << '\n';
        return false;
    }
    if (line.nominal) setText(form.PqVolts, *line.nominal);
    return true;
}

// The survey of the file or folder, or nothing when the host was told why not (status set).
std::optional<PqSurvey> survey(Form1Model& form, CliHost& host, const ReportLine& line, const fs::path& target,
                               bool folder, int& usage, std::ostream& err) {
    if (folder) {
        form.Dir1_Change(target.string());
        if (!applyChoices(form, line, err)) return usage = kExitUsage, std::nullopt;
        if (isSelected(form.Option1[2])) {
            err << "pqwave-cli: " << target.string()
                << ": a folder's report needs the data kind; choose it with --set Option1=0 (8840) or --set "
                   "Option1=1 (8808･35･41･80 waveforms)\n";
            return usage = kExitUnavailable, std::nullopt;
        }
    } else {
        if (line.jobs != 1) {
            err << "pqwave-cli: --jobs belongs to the report of a folder\n";
            return usage = kExitUsage, std::nullopt;
        }
        try {
            fileSizeOf(target);  // only a regular file, so that a FIFO never blocks the command
        } catch (const Error& error) {
            err << "pqwave-cli: " << error.what() << '\n';
            return usage = kExitFailed, std::nullopt;
        }
        form.Dir1_Change(target.parent_path().string());
        form.File1_Click(target.filename().string());
        if (host.status() != kExitDone) return std::nullopt;
        if (form.FileRecognized != -1) {
            err << "pqwave-cli: " << target.string() << ": not a recording this program knows\n";
            return usage = kExitUnavailable, std::nullopt;
        }
        if (!applyChoices(form, line, err)) return usage = kExitUsage, std::nullopt;
    }
    PqSurvey measured;
    bool done = false;
    reportingFailure(
        target.string(),
        [&] {
            measured = folder ? surveyAllFiles(form, line.jobs) : surveySelectedFile(form);
            done = !measured.cancelled;
        },
        [&](const Failure& failure) {
            form.progress.clearCancel();
            host.reportError(failure.kind, failure.message);
        });
    if (!done) return std::nullopt;
    return measured;
}

int writeOutput(const ReportLine& line, const PqSurvey& survey, const LimitSet& limits, const fs::path& defaultPath,
                CliHost& host) {
    ReportOptions options;
    options.language = line.language.value_or(reportLanguageOfEnvironment());
    options.limits = limits;
    options.generatedAt = localTimeNow();
    const fs::path output = !line.output          ? defaultPath
                            : *line.output == "-" ? fs::path("-")
                                                  : fs::absolute(*line.output).lexically_normal();
    reportingFailure(
        output.string(),
        [&] {
            if (!line.plot) return writeReportFile(survey, options, output);
            if (!svgPngWriter)
                throw Error(ErrorKind::NotAvailable,
                            "plot trend is not available in this build (it was built without Qt)");
            refuseRecordingAsOutput(output, survey.recordings.front().facts.fileName);
            const SurveySeries series = seriesOf(survey);
            TrendOptions trend;
            trend.language = options.language;
            trend.limits = &options.limits;
            std::string problem;
            if (!svgPngWriter(svgOf(trendFigure(series, *line.quantity, trend)), line.width, output, problem))
                throw Error(ErrorKind::CannotWrite, problem);
        },
        [&](const Failure& failure) { host.reportError(failure.kind, failure.message); });
    return host.status();
}

}  // namespace

bool isReportCommand(const std::vector<std::string>& args) {
    return !args.empty() && (args[0] == "report" || (args[0] == "plot" && args.size() > 1 && args[1] == "trend"));
}

void setSvgPngWriter(SvgPngWriter writer) {
    svgPngWriter = writer;
}

int runReportCommand(const std::vector<std::string>& args, const fs::path& programFolder, std::ostream& out,
                     std::ostream& err) {
    std::string problem;
    const std::optional<ReportLine> line = parseReportLine(args, problem);
    if (!line) {
        err << "pqwave-cli: " << problem << "\n" << kReportUsage;
        return kExitUsage;
    }
    if (line->help) {
        out << kReportUsage;
        return kExitDone;
    }
    LimitSet limits;
    try {
        limits = limitSetNamed(line->limits.value_or("en50160"));
    } catch (const Error& error) {
        err << "pqwave-cli: " << error.what() << '\n';
        return error.kind() == ErrorKind::Malformed ? kExitUsage : kExitFailed;
    }
    CliHost host(err);
    Form1Model form(programFolder, &host);
    form.progress.setObserver([&host](const Progress& progress) { host.showProgress(progress); });
    StopSignalsCancel stopSignals(form.progress);
    form.Form_Load(currentYear());

    const fs::path target = fs::absolute(line->target).lexically_normal();
    std::error_code ec;
    const bool folder = fs::is_directory(target, ec);
    int usage = kExitDone;
    const std::optional<PqSurvey> measured = survey(form, host, *line, target, folder, usage, err);
    host.endProgressLine();
    if (usage != kExitDone) return usage;
    if (!measured) return host.statusAfter(stopSignals);
    writeOutput(*line, *measured, limits, folder ? reportPathForFolder(target) : reportPathForSelectedFile(form), host);
    return host.statusAfter(stopSignals);
}

}  // namespace pqwave
