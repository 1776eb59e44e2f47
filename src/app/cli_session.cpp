#include "app/cli_session.h"

#include <chrono>

#include "app/cli_settings.h"
#include "common/error.h"
#include "common/messages.h"
#include "input/file_bytes.h"

namespace pqwave {

namespace fs = std::filesystem;

int currentYear() {
    const std::chrono::year_month_day today(std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now()));
    return static_cast<int>(today.year());
}

fs::path givenPath(const std::string& given) {
    if (given == "-") return given;
    return fs::absolute(given).lexically_normal();
}

// The folder every output goes to: made when it is missing (its parent must be there, so that
// a misspelt path makes no tree of folders); refused when it is a file.
int prepareOutputFolder(const CommandRun& run, const fs::path& folder) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return kExitDone;
    if (fs::exists(folder, ec))
        return run.fail(kExitFailed, tr("{0}: not a folder, so no output can go there", {folder.string()}));
    if (!fs::create_directory(folder, ec) || ec)
        return run.fail(kExitFailed,
                        tr("{0}: the output folder cannot be made ({1})", {folder.string(), ec.message()}));
    return kExitDone;
}

CliSession::CliSession(const CommandRun& commandRun)
    : run(commandRun), host(run.err, run.quiet), form(run.programFolder, &host), stopSignals(form.progress) {
    form.progress.setObserver([this](const Progress& progress) { host.showProgress(progress); });
    form.Form_Load(currentYear());
}

int CliSession::openFile(const fs::path& file) {
    // Only a regular file, so that a FIFO never blocks the command.
    try {
        fileSizeOf(file);
    } catch (const Error& error) {
        return run.fail(kExitFailed, error.what());
    }
    form.Dir1_Change(file.parent_path().string());
    form.File1_Click(file.filename().string());
    if (host.status() != kExitDone) return host.status();
    if (form.FileRecognized != -1)
        return run.fail(kExitUnavailable, tr("{0}: not a recording this program knows", {file.string()}));
    return kExitDone;
}

int CliSession::openFolder(const fs::path& folder) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return run.fail(kExitFailed, tr("{0}: not a folder", {folder.string()}));
    form.Dir1_Change(folder.string());
    return kExitDone;
}

int CliSession::applyMainWindowSettings() {
    return applySettings(form.controls(), run.settings, run);
}

int CliSession::status() {
    host.endProgressLine();
    return host.statusAfter(stopSignals);
}

}  // namespace pqwave
