// What every pqwave-cli command that drives the main window does first: the model started as
// the program starts it (defaults, no message box), its failures on stderr through the CLI's
// host, progress on a terminal, Ctrl-C and friends as a cancel; then FILE clicked or FOLDER
// listed, and the command line's settings made in order.
#pragma once

#include <filesystem>

#include "app/cli_command.h"
#include "app/cli_host.h"
#include "app/stop_signals.h"
#include "control/form1_model.h"

namespace pqwave {

class CliSession {
public:
    explicit CliSession(const CommandRun& run);

    // FILE's folder listed and FILE clicked; 0, or the exit status of what went wrong (said).
    int openFile(const std::filesystem::path& file);
    // FOLDER listed; 0, or the exit status when it is no folder (said).
    int openFolder(const std::filesystem::path& folder);
    // The command line's settings of the main window, in order; 0 or the exit status (said).
    int applyMainWindowSettings();
    // The exit status of what the model reported, or of the signal that cancelled it.
    int status();

    const CommandRun& run;
    CliHost host;
    Form1Model form;
    StopSignalsCancel stopSignals;
};

// A path as given, absolute and without "." or ".."; "-" stays standard output.
std::filesystem::path givenPath(const std::string& given);

int currentYear();

// The folder every output of a run over a folder goes to (-o OUTDIR), made when it is missing;
// 0, or the exit status when it cannot be (said).
int prepareOutputFolder(const CommandRun& run, const std::filesystem::path& folder);

}  // namespace pqwave
