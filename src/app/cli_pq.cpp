// `pqwave-cli pq FILE|FOLDER`: the power-quality measurement ("電力品質解析") of one recording, or
// of every recording of a folder that the chosen data kind lists, each writing its four files.
// FILE is clicked (or FOLDER listed), every setting made in order (--nominal and --aggregate
// fill the window's power-quality controls), then "電力品質解析" runs.
#include <cstdlib>
#include <ostream>

#include "app/cli_command.h"
#include "app/cli_session.h"
#include "common/messages.h"
#include "control/power_quality_command.h"

namespace pqwave {
namespace {

namespace fs = std::filesystem;

int measureFolder(CliSession& session, const fs::path& folder) {
    const CommandRun& run = session.run;
    Form1Model& form = session.form;
    if (int status = session.openFolder(folder)) return status;
    if (int status = session.applyMainWindowSettings()) return status;
    if (isSelected(form.Option1[2]))
        return run.fail(kExitUnavailable, tr("{0}: pq of a folder needs the data kind; choose it with --kind 8840 or "
                                             "--kind waveform (--set Option1=0|1)",
                                             {folder.string()}));
    AllFilesRunOptions options;
    const std::string jobs = run.option("--jobs").value_or("1");
    char* end = nullptr;
    options.jobs = static_cast<int>(std::strtol(jobs.c_str(), &end, 10));
    if (jobs.empty() || *end != '\0' || options.jobs < 1 || options.jobs > 64)
        return run.usageError(tr("--jobs needs a number of files to measure at once, 1 to 64, not \"{0}\"", {jobs}));
    if (const auto output = run.option("--output")) {
        options.outputFolder = givenPath(*output);
        if (int status = prepareOutputFolder(run, options.outputFolder)) return status;
    }
    measureAllFiles(form, options);
    return session.status();
}

int measureFile(CliSession& session, const fs::path& file) {
    const CommandRun& run = session.run;
    if (run.flag("--jobs")) return run.usageError(tr("--jobs belongs to the pq of a folder"));
    if (int status = session.openFile(file)) return status;
    if (int status = session.applyMainWindowSettings()) return status;
    std::optional<fs::path> summary;
    if (const auto output = run.option("--output")) summary = givenPath(*output);
    measureSelectedFile(session.form, summary);
    return session.status();
}

int runPq(CommandRun& run) {
    CliSession session(run);
    const fs::path target = givenPath(run.operands[0]);
    std::error_code ec;
    return fs::is_directory(target, ec) ? measureFolder(session, target) : measureFile(session, target);
}

}  // namespace

const CliCommand& pqCommand() {
    static const CliCommand command{
        .name = "pq",
        .operands = "FILE|FOLDER",
        .summary = N_("\"電力品質解析\": the power-quality measurement of FILE, or of every recording of FOLDER"),
        .description =
            N_("Measures the recording by the power-quality methods (IEC 61000-4-30 intervals, IEC 61000-4-7\n"
               "harmonics, IEC 61000-4-15 flicker, delta V10, rapid voltage changes) and writes STEM_PQ.csv,\n"
               "STEM_PQharm.csv, STEM_PQevents.csv and STEM_PQflicker.csv beside it, STEM as the output name\n"
               "CSV変換 proposes; -o OUT.csv names the first, the others go beside it. The ratios, supply\n"
               "frequency and wiring are the main window's (--pt 60, --60hz, ...). With a FOLDER every recording\n"
               "of the chosen data kind (--kind 8840 or waveform) is measured, --jobs N side by side, and -o\n"
               "names the folder the files go to.\n"),
        .options = {{"--output", "-o", "OUT.csv|OUTDIR", N_("the first file of FILE, or the folder of FOLDER's")},
                    {"--jobs", "-j", "N", N_("FOLDER: measure N files at once (1..64)")}},
        .aliases = {{.name = "--nominal",
                     .argument = "VOLTS",
                     .value = AliasValue::PositiveNumber,
                     .settings = "PqVolts={0}",
                     .help = N_("Udin, the declared voltage (default: the standard voltage nearest the first 10 s)")},
                    {.name = "--aggregate",
                     .argument = "200ms|3s|10min|2h",
                     .value = AliasValue::Choice,
                     .choices = {{"200ms", "PqInterval=0"},
                                 {"3s", "PqInterval=1"},
                                 {"10min", "PqInterval=2"},
                                 {"2h", "PqInterval=3"}},
                     .help = N_("the rows of STEM_PQ.csv (default 10min)")}},
        .run = runPq,
    };
    return command;
}

}  // namespace pqwave
