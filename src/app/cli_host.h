// What a pqwave-cli command shows of the model it drives: failures and warnings on stderr, one
// line each, the first failure deciding the exit status; each file written (unless quiet); the
// tally of an all-files run; and a percentage on stderr while a run is under way, when stderr
// is a terminal and the command is not quiet.
#pragma once

#include <iosfwd>
#include <string>

#include "control/host.h"

namespace pqwave {

class Progress;
class StopSignalsCancel;

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitUnavailable = 3;
inline constexpr int kExitCancelled = 130;  // as a program stopped by Ctrl-C

int exitStatusOf(ErrorKind kind);

class CliHost : public Form1Host {
public:
    explicit CliHost(std::ostream& err, bool quiet = false);

    void reportError(ErrorKind kind, const std::string& message) override;
    void reportWarning(const std::string& message) override;
    void allFilesRunEnded(const AllFilesTally& tally) override;
    void reportFileWritten(const std::filesystem::path& path) override;
    // Bind to the model's progress: progress.setObserver(... host.showProgress(p) ...).
    void showProgress(const Progress& progress);
    void endProgressLine();

    int status() const { return status_; }
    // A run that a signal cancelled ends as a program ended by that signal, whatever failed before.
    int statusAfter(const StopSignalsCancel& signals) const;

private:
    std::ostream& err_;
    bool quiet_;
    bool progressShown_;
    std::string shownLine_;
    int status_ = kExitDone;
    bool cancelled_ = false;
};

}  // namespace pqwave
