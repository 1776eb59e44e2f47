// `pqwave-cli export FILE`: the channels, range and step of the raw-data CSV as a COMTRADE pair,
// NAME.cfg where -o says (beside the recording by default) and NAME.dat beside it.
#include <filesystem>

#include "app/cli_command.h"
#include "app/cli_session.h"
#include "common/messages.h"
#include "common/text.h"
#include "control/comtrade_export.h"

namespace pqwave {
namespace {

namespace fs = std::filesystem;

int runExport(CommandRun& run) {
    const std::optional<std::string> output = run.option("--output");
    if (output && toLowerAscii(fs::path(*output).extension().string()) != ".cfg")
        return run.usageError(
            tr("-o of export names the configuration file NAME.cfg (NAME.dat is written beside it), not \"{0}\"",
               {*output}));
    CliSession session(run);
    if (int status = session.openFile(givenPath(run.operands[0]))) return status;
    if (int status = session.applyMainWindowSettings()) return status;
    const fs::path cfg = output ? givenPath(*output) : comtradePathBeside(session.form);
    exportComtrade(session.form, cfg, run.flag("--ascii") ? ComtradeFormat::Ascii : ComtradeFormat::Binary);
    return session.status();
}

}  // namespace

const CliCommand& exportCommand() {
    static const CliCommand command{
        .name = "export",
        .operands = "FILE",
        .summary = N_("FILE as COMTRADE (1999): NAME.cfg and NAME.dat"),
        .description =
            N_("Writes the channels, range and step of the raw-data CSV (--processing raw --range FIRST:LAST\n"
               "--step N) as COMTRADE (1999), BINARY or with --ascii ASCII, into NAME.cfg and NAME.dat\n"
               "(default: beside FILE, named as FILE). The PT ratio and the clamps give the primary values.\n"),
        .options = {{"--output", "-o", "NAME.cfg", N_("the configuration file; NAME.dat goes beside it")},
                    {"--ascii", nullptr, nullptr, N_("ASCII data instead of BINARY")}},
        .run = runExport,
    };
    return command;
}

}  // namespace pqwave
