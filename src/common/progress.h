// How far a long run has come, and whether the user asked it to stop. The run records the
// fraction done and polls the cancel flag at its own pace; the window (progress bar, Escape),
// the CLI (a percentage on a terminal, Ctrl-C) and the tests read and set the same object.
// requestCancel() only stores an atomic flag, so a signal handler may call it.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <utility>

#include "common/error.h"

namespace pqwave {

// Thrown by a run that stops because the user asked it to; it carries no file name, the
// command that started the run names the file when it reports it.
class Cancelled : public Error {
public:
    Cancelled() : Error(ErrorKind::Cancelled, "cancelled") {}
};

class Progress {
public:
    // Told when a run begins, when its fraction passes a whole percent, and when it ends;
    // the window repaints (and so sees Escape), the CLI prints a percentage.
    using Observer = std::function<void(const Progress&)>;
    void setObserver(Observer observer) { observer_ = std::move(observer); }

    // A user action starts: a cancel asked for an earlier one no longer counts.
    void clearCancel() noexcept { cancelRequested_.store(false); }
    void requestCancel() noexcept { cancelRequested_.store(true); }
    bool cancelRequested() const noexcept { return cancelRequested_.load(); }

    bool running() const { return depth_ > 0; }
    double fraction() const { return fraction_; }
    // What the run is working on, for a long run of many files ("3/50 REC0003.MEM").
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption) {
        caption_ = std::move(caption);
        notify();
    }

    // Records the fraction done (0..1) of the innermost run, and stops it by throwing
    // Cancelled when the user asked to cancel.
    void advance(double fraction) {
        if (cancelRequested()) throw Cancelled();
        if (!(fraction >= 0)) fraction = 0;
        if (fraction > 1) fraction = 1;
        fraction_ = spanStart_ + fraction * spanWidth_;
        int percent = static_cast<int>(fraction * 100);
        if (percent != shownPercent_) {
            shownPercent_ = percent;
            notify();
        }
    }
    // Stops the run when the user asked to cancel, without recording progress.
    void throwIfCancelled() const {
        if (cancelRequested()) throw Cancelled();
    }

    void begin() {
        if (depth_++ > 0) return;
        fraction_ = 0;
        shownPercent_ = 0;
        notify();
    }
    void end() {
        if (depth_ == 0 || --depth_ > 0) return;
        fraction_ = 1;
        shownPercent_ = -1;
        caption_.clear();
        notify();
    }

    // The share of the run that an inner run covers: its fractions 0..1 move this run's
    // fraction from `from` to `to`. Returns the previous share, to restore afterwards.
    std::pair<double, double> setSpan(double from, double to) {
        std::pair<double, double> previous{spanStart_, spanStart_ + spanWidth_};
        spanStart_ = from;
        spanWidth_ = to - from;
        return previous;
    }

private:
    void notify() {
        if (observer_) observer_(*this);
    }

    Observer observer_;
    std::atomic<bool> cancelRequested_{false};
    int depth_ = 0;
    double fraction_ = 0;
    int shownPercent_ = -1;
    double spanStart_ = 0, spanWidth_ = 1;
    std::string caption_;
};

// A run's share of the progress, begun on construction and ended however the run ends, so a
// failed or cancelled run never leaves a progress bar standing.
class ProgressScope {
public:
    explicit ProgressScope(Progress& progress) : progress_(progress) { progress_.begin(); }
    ~ProgressScope() { progress_.end(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    Progress& progress_;
};

}  // namespace pqwave
