// `pqwave-cli report FILE|FOLDER` and `pqwave-cli plot trend FILE|FOLDER`: the power-quality
// report of one recording, or of the recordings of a folder as one survey, as one HTML file,
// and one of its trend charts as a PNG. FILE is clicked (or FOLDER listed), every setting made
// in order (--nominal fills the power-quality Udin), then the recording is measured as
// "レポート" measures it.
#include <cstdlib>
#include <optional>

#include "app/cli_command.h"
#include "app/cli_session.h"
#include "app/plot_image.h"
#include "common/error.h"
#include "common/failure.h"
#include "common/messages.h"
#include "control/pq_survey.h"
#include "input/output_target.h"
#include "report/report_file.h"
#include "report/report_texts.h"
#include "report/svg_chart.h"
#include "report/trend_charts.h"

namespace pqwave {
namespace {

namespace fs = std::filesystem;

std::optional<int> wholeNumber(const std::string& text, int low, int high) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < low || value > high) return std::nullopt;
    return static_cast<int>(value);
}

// What both commands read from their line before anything is measured.
struct ReportChoices {
    LimitSet limits;
    Language language = Language::Japanese;
    int jobs = 1;
};

// 0, or the exit status of a choice that cannot be made (said).
int readChoices(const CommandRun& run, ReportChoices& choices) {
    const std::string lang = run.option("--lang").value_or("");
    if (!lang.empty() && lang != "ja" && lang != "en")
        return run.usageError(tr("--lang needs ja or en, not \"{0}\"", {lang}));
    choices.language = lang.empty()   ? reportLanguageOfEnvironment()
                       : lang == "ja" ? Language::Japanese
                                      : Language::English;
    if (const auto jobs = run.option("--jobs")) {
        const auto n = wholeNumber(*jobs, 1, 64);
        if (!n)
            return run.usageError(
                tr("--jobs needs a number of files to measure at once, 1 to 64, not \"{0}\"", {*jobs}));
        choices.jobs = *n;
    }
    try {
        choices.limits = limitSetNamed(run.option("--limits").value_or("en50160"));
    } catch (const Error& error) {
        return run.fail(error.kind() == ErrorKind::Malformed ? kExitUsage : kExitFailed, error.what());
    }
    return kExitDone;
}

// The survey of FILE or FOLDER, or nothing with `status` set (and said).
std::optional<PqSurvey> measure(CliSession& session, const fs::path& target, int jobs, int& status) {
    const CommandRun& run = session.run;
    std::error_code ec;
    const bool folder = fs::is_directory(target, ec);
    if (!folder && run.flag("--jobs"))
        return status = run.usageError(tr("--jobs belongs to the report of a folder")), std::nullopt;
    if ((status = folder ? session.openFolder(target) : session.openFile(target))) return std::nullopt;
    if ((status = session.applyMainWindowSettings())) return std::nullopt;
    if (folder && isSelected(session.form.Option1[2])) {
        status = run.fail(kExitUnavailable, tr("{0}: a folder's report needs the data kind; choose it with --kind 8840 "
                                               "or --kind waveform (--set Option1=0|1)",
                                               {target.string()}));
        return std::nullopt;
    }
    PqSurvey survey;
    bool done = false;
    reportingFailure(
        target.string(),
        [&] {
            survey = folder ? surveyAllFiles(session.form, jobs) : surveySelectedFile(session.form);
            done = !survey.cancelled;
        },
        [&](const Failure& failure) {
            session.form.progress.clearCancel();
            session.host.reportError(failure.kind, failure.message);
        });
    status = session.status();
    if (!done) return std::nullopt;
    return survey;
}

fs::path defaultReportPath(CliSession& session, const fs::path& target) {
    std::error_code ec;
    return fs::is_directory(target, ec) ? reportPathForFolder(target) : reportPathForSelectedFile(session.form);
}

// Writes the output through `write`; the exit status of the whole command.
int writeOutput(CliSession& session, const fs::path& output, const std::function<void()>& write) {
    reportingFailure(
        output.string(),
        [&] {
            write();
            session.host.reportFileWritten(output);
        },
        [&](const Failure& failure) { session.host.reportError(failure.kind, failure.message); });
    return session.status();
}

// The choices and the survey of the command's FILE or FOLDER; nothing, with `status` set (and
// said), when either cannot be had.
std::optional<PqSurvey> surveyFor(CliSession& session, ReportChoices& choices, int& status) {
    if ((status = readChoices(session.run, choices))) return std::nullopt;
    return measure(session, givenPath(session.run.operands[0]), choices.jobs, status);
}

int runReport(CommandRun& run) {
    ReportChoices choices;
    CliSession session(run);
    int status = kExitDone;
    const std::optional<PqSurvey> survey = surveyFor(session, choices, status);
    if (!survey) return status;
    const fs::path target = givenPath(run.operands[0]);
    ReportOptions options;
    options.language = choices.language;
    options.limits = choices.limits;
    options.generatedAt = localTimeNow();
    const auto given = run.option("--output");
    const fs::path output = given ? givenPath(*given) : defaultReportPath(session, target);
    return writeOutput(session, output, [&] { writeReportFile(*survey, options, output); });
}

int runPlotTrend(CommandRun& run) {
    const auto name = run.option("--quantity");
    if (!name) return run.usageError(tr("plot trend needs --quantity U, f, u2, THD, Pst, P, Q or PF"));
    const auto quantity = trendQuantityFromName(*name);
    if (!quantity) return run.usageError(tr("--quantity needs U, f, u2, THD, Pst, P, Q or PF, not \"{0}\"", {*name}));
    const auto given = run.option("--output");
    if (!given) return run.usageError(tr("plot trend needs -o OUT.png"));
    const auto width = wholeNumber(run.option("--width").value_or("1200"), 200, 8000);
    if (!width) return run.usageError(tr("--width needs the picture's width in pixels, 200 to 8000"));
    if (!canDrawPictures())
        return run.fail(kExitUnavailable,
                        tr("plot trend is not available in this build of pqwave (it was built without Qt)"));
    ReportChoices choices;
    CliSession session(run);
    int status = kExitDone;
    const std::optional<PqSurvey> survey = surveyFor(session, choices, status);
    if (!survey) return status;
    const fs::path output = givenPath(*given);
    return writeOutput(session, output, [&] {
        refuseRecordingAsOutput(output, survey->recordings.front().facts.fileName);
        TrendOptions trend;
        trend.language = choices.language;
        trend.limits = &choices.limits;
        std::string problem;
        if (!writeSvgPng(svgOf(trendFigure(seriesOf(*survey), *quantity, trend)), *width, output, problem))
            throw Error(ErrorKind::CannotWrite, problem);
    });
}

const std::vector<OptionSpec> kSharedOptions = {
    {"--limits", nullptr, "en50160|FILE", N_("the limit set: EN 50160 for medium voltage (default), or an INI file")},
    {"--lang", nullptr, "ja|en",
     N_("the language of the output (default: Japanese, or the locale's when it names one)")},
    {"--jobs", "-j", "N", N_("FOLDER: measure N files at once (1..64)")},
};

const SettingAlias kNominal{
    .name = "--nominal",
    .argument = "VOLTS",
    .value = AliasValue::PositiveNumber,
    .settings = "PqVolts={0}",
    .help = N_("Udin, the declared voltage (default: the standard voltage nearest the first 10 s)")};

std::vector<OptionSpec> withShared(std::vector<OptionSpec> own) {
    own.insert(own.end(), kSharedOptions.begin(), kSharedOptions.end());
    return own;
}

}  // namespace

const CliCommand& reportCommand() {
    static const CliCommand command{
        .name = "report",
        .operands = "FILE|FOLDER",
        .summary = N_("\"レポート\": the power-quality report of FILE, or of FOLDER's recordings, as one HTML file"),
        .description =
            N_("Measures the recording as pq does and writes one HTML file, STEM_PQreport.html beside it (a\n"
               "folder's: FOLDER/FOLDERNAME_PQreport.html; -o names another): the recordings, the verdict against\n"
               "the limits, trends, harmonics and events, pictures inline, a print style for A4, no script.\n"
               "A folder's recordings of the chosen data kind (--kind 8840 or waveform) make one survey.\n"
               "--limits FILE judges by a set of your own, an INI file with the keys of the built-in one:\n"
               "  name = My set            period_days = 7              (one KEY = VALUE a line)\n"
               "  [voltage] band_percent, share_percent    [frequency] band_percent, share_percent\n"
               "  [unbalance] max_percent, share_percent   [thd] max_percent, share_percent\n"
               "  [plt] max, share_percent                 [harmonics] share_percent, h2 ... h50\n"
               "A section left out is not judged; any other key, a key twice or a value out of range is refused\n"
               "with the file's line.\n"),
        .options = withShared({{"--output", "-o", "OUT.html", N_("the report's file")}}),
        .aliases = {kNominal},
        .run = runReport,
    };
    return command;
}

const CliCommand& plotTrendCommand() {
    static const CliCommand command{
        .name = "plot trend",
        .operands = "FILE|FOLDER",
        .summary = N_("one of the report's trend charts of FILE or FOLDER as a PNG, without a display"),
        .description =
            N_("Draws the report's trend of one quantity over the survey: U (each line voltage's 10-min values\n"
               "and 3-s extremes), f, u2, THD, Pst (with Plt), P, Q or PF of each circuit.\n"),
        .options = withShared({{"--quantity", nullptr, "U|f|u2|THD|Pst|P|Q|PF", N_("the quantity drawn")},
                               {"--output", "-o", "OUT.png", N_("the picture's file")},
                               {"--width", nullptr, "PIXELS", N_("its width, 200..8000 (default 1200)")}}),
        .aliases = {kNominal},
        .run = runPlotTrend,
    };
    return command;
}

}  // namespace pqwave
