// `pqwave-cli convert FILE` ("CSV変換" on FILE) and `pqwave-cli batch FOLDER` ("全ﾌｧｲﾙ処理" on
// every file the data kind lists), with the main window's settings.
#include <ostream>

#include "app/cli_command.h"
#include "app/cli_session.h"
#include "common/failure.h"
#include "common/messages.h"
#include "control/all_files_run.h"
#include "control/conversion.h"

namespace pqwave {
namespace {

namespace fs = std::filesystem;

int runConvert(CommandRun& run) {
    CliSession session(run);
    Form1Model& form = session.form;
    const fs::path file = givenPath(run.operands[0]);
    if (int status = session.openFile(file)) return status;
    if (int status = session.applyMainWindowSettings()) return status;
    if (const auto output = run.option("--output")) setText(form.Text5, givenPath(*output).string());
    if (!form.Command1.enabled)
        return run.fail(kExitUnavailable, tr("{0}: CSV変換 is not available with these settings", {file.string()}));
    click(form.Command1);
    return session.status();
}

std::optional<int> jobsOf(const CommandRun& run, std::string& problem) {
    const std::string given = run.option("--jobs").value_or("1");
    char* end = nullptr;
    const long jobs = std::strtol(given.c_str(), &end, 10);
    if (given.empty() || *end != '\0' || jobs < 1 || jobs > 64) {
        problem = tr("--jobs needs a number of files to convert at once, 1 to 64, not \"{0}\"", {given});
        return std::nullopt;
    }
    return static_cast<int>(jobs);
}

int runBatch(CommandRun& run) {
    std::string problem;
    const std::optional<int> jobs = jobsOf(run, problem);
    if (!jobs) return run.usageError(problem);
    CliSession session(run);
    Form1Model& form = session.form;
    const fs::path folder = givenPath(run.operands[0]);
    if (int status = session.openFolder(folder)) return status;
    if (int status = session.applyMainWindowSettings()) return status;
    if (!form.Command3.enabled)
        return run.fail(kExitUnavailable,
                        tr("{0}: 全ﾌｧｲﾙ処理 needs the data kind; choose it with --kind 8840|waveform|rms|logger "
                           "(--set Option1=0|1|3|4)",
                           {folder.string()}));
    AllFilesRunOptions options{*jobs, {}};
    if (const auto output = run.option("--output")) {
        options.outputFolder = givenPath(*output);
        if (int status = prepareOutputFolder(run, options.outputFolder)) return status;
    }
    reportingFailure(
        folder.string(), [&] { runAllFiles(form, options, runConversion); },
        [&](const Failure& failure) { session.host.reportError(failure.kind, failure.message); });
    return session.status();
}

}  // namespace

const CliCommand& convertCommand() {
    static const CliCommand command{
        .name = "convert",
        .operands = "FILE",
        .summary = N_("\"CSV変換\": FILE converted as the settings choose, into one CSV"),
        .description = N_("Converts FILE as \"CSV変換\" does, with the processing the settings choose (interval RMS\n"
                          "and power by default), into the CSV the window proposes (ddDhh-mm-ss.csv beside FILE)\n"
                          "or OUTPUT; - is standard output. The moving FFT writes one file per channel beside it.\n"),
        .options = {{"--output", "-o", "OUTPUT", N_("the CSV to write (- for standard output)")}},
        .run = runConvert,
    };
    return command;
}

const CliCommand& batchCommand() {
    static const CliCommand command{
        .name = "batch",
        .operands = "FOLDER",
        .summary = N_("\"全ﾌｧｲﾙ処理\": every recording of FOLDER of the chosen kind, and the summaries"),
        .description =
            N_("Converts every file of FOLDER that the data kind (--kind) lists, as \"全ﾌｧｲﾙ処理\" does, with\n"
               "the same settings for each, and writes the summaries of the run (PQp-pDT.csv, Rms統計DT.csv,\n"
               "Rms時刻統計DT.csv, ...). A file of another kind is skipped and named. Outputs go beside the\n"
               "recordings, or all into OUTDIR (made when missing), so a read-only card can be converted.\n"
               "The run ends with one line: files converted, skipped and failed, and where the outputs are.\n"),
        .options = {{"--output", "-o", "OUTDIR", N_("the folder every output and summary goes to")},
                    {"--jobs", "-j", "N", N_("convert N files at once (1..64), with the same outputs")}},
        .run = runBatch,
    };
    return command;
}

}  // namespace pqwave
