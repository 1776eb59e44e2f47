// Ctrl-C (SIGINT), SIGTERM and SIGHUP stop the command that is running as a cancel: the run
// stops at its next check, removes its unfinished output and writes what it had finished.
// A second signal ends the program at once, after removing every part file still open. Either
// way the exit status is that of a program ended by the signal: 128 + its number.
#pragma once

namespace pqwave {

class Progress;

class StopSignalsCancel {
public:
    explicit StopSignalsCancel(Progress& progress);
    ~StopSignalsCancel();
    StopSignalsCancel(const StopSignalsCancel&) = delete;
    StopSignalsCancel& operator=(const StopSignalsCancel&) = delete;

    // 128 + the first signal received, or 0 when none came.
    int signalExitStatus() const;
};

}  // namespace pqwave
