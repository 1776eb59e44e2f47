#include "app/stop_signals.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "common/part_files.h"
#include "common/progress.h"

namespace pqwave {
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<Progress*> cancelledProgress{nullptr};
std::atomic<int> firstSignal{0};
struct sigaction previousActions[3];

extern "C" void onStopSignal(int signal) {
    int none = 0;
    if (firstSignal.compare_exchange_strong(none, signal)) {
        if (Progress* progress = cancelledProgress.load()) progress->requestCancel();
        return;
    }
    removePartFilesNow();
    ::_exit(128 + signal);
}

}  // namespace

StopSignalsCancel::StopSignalsCancel(Progress& progress) {
    firstSignal.store(0);
    cancelledProgress.store(&progress);
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // A run checks its cancel flag at its own pace; the calls it waits in go on meanwhile.
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i) ::sigaction(kStopSignals[i], &action, &previousActions[i]);
}

StopSignalsCancel::~StopSignalsCancel() {
    for (int i = 0; i < 3; ++i) ::sigaction(kStopSignals[i], &previousActions[i], nullptr);
    cancelledProgress.store(nullptr);
}

int StopSignalsCancel::signalExitStatus() const {
    const int signal = firstSignal.load();
    return signal == 0 ? 0 : 128 + signal;
}

}  // namespace pqwave
