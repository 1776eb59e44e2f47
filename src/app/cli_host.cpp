#include "app/cli_host.h"

#include <unistd.h>

#include <ostream>

#include "app/stop_signals.h"
#include "common/messages.h"
#include "common/progress.h"

namespace pqwave {

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

CliHost::CliHost(std::ostream& err, bool quiet)
    : err_(err), quiet_(quiet), progressShown_(!quiet && ::isatty(STDERR_FILENO) == 1) {}

void CliHost::reportError(ErrorKind kind, const std::string& message) {
    endProgressLine();
    err_ << "pqwave-cli: " << message << '\n';
    if (status_ == kExitDone) status_ = exitStatusOf(kind);
    cancelled_ |= kind == ErrorKind::Cancelled;
}

void CliHost::reportWarning(const std::string& message) {
    endProgressLine();
    err_ << "pqwave-cli: " << tr("warning: {0}", {message}) << '\n';
}

void CliHost::allFilesRunEnded(const AllFilesTally& t) {
    endProgressLine();
    err_ << "pqwave-cli: "
         << tr("{0} of {1} files converted, {2} skipped, {3} failed; the outputs are in {4}",
               {std::to_string(t.converted), std::to_string(t.total), std::to_string(t.skipped),
                std::to_string(t.failed), t.outputFolder.string()})
         << "\n";
}

void CliHost::reportFileWritten(const std::filesystem::path& path) {
    if (quiet_) return;
    endProgressLine();
    err_ << "pqwave-cli: " << tr("wrote {0}", {path.string()}) << "\n";
}

void CliHost::showProgress(const Progress& progress) {
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

void CliHost::endProgressLine() {
    if (!shownLine_.empty()) err_ << "\r" << std::string(shownLine_.size(), ' ') << "\r" << std::flush;
    shownLine_.clear();
}

int CliHost::statusAfter(const StopSignalsCancel& signals) const {
    return cancelled_ && signals.signalExitStatus() != 0 ? signals.signalExitStatus() : status_;
}

}  // namespace pqwave
