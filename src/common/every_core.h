// Tasks (channels, stretches of intervals) worked on side by side, one thread per core, the
// calling thread among them. Only the calling thread reports progress (Progress is the window's,
// and advance() throws Cancelled there); the others stop at their next step once the run is
// cancelled or another thread failed, and a failure on any thread is thrown on the calling one.
#pragma once

#if defined(__linux__)
#include <sched.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "common/progress.h"

namespace pqwave {

// The processors this process may run on (a run started under taskset or in a container with
// fewer gets fewer threads), at least 1.
inline std::size_t usableProcessors() {
#if defined(__linux__)
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(CPU_COUNT(&set), 1);
#endif
    return std::max(std::thread::hardware_concurrency(), 1u);
}

// The threads runOnEveryCore works `tasks` tasks on.
inline std::size_t threadsFor(std::size_t tasks) {
    return std::clamp<std::size_t>(usableProcessors(), 1, std::max<std::size_t>(tasks, 1));
}

// work(task, step) for task = 0 .. tasks-1; work calls step(n) after every n of its
// `totalSteps` steps (windows, columns), which counts them and may throw to stop the task.
// The steps move the progress from `progressStart` on by `progressShare`, the part of the run
// they are.
template <typename Work>
void runOnEveryCore(std::size_t tasks, std::int64_t totalSteps, Progress& progress, Work work, double progressShare = 1,
                    double progressStart = 0) {
    struct Stopped {};
    const std::size_t threads = threadsFor(tasks);
    std::atomic<std::size_t> next{0};
    std::atomic<std::int64_t> done{0};
    std::atomic<bool> failed{false};
    std::exception_ptr failure;
    std::mutex mutex;
    std::condition_variable finished;
    std::size_t workersRunning = threads - 1;

    auto fraction = [&] {
        return progressStart + (totalSteps > 0
                                    ? progressShare * static_cast<double>(done.load()) / static_cast<double>(totalSteps)
                                    : 0.0);
    };
    auto takeTasks = [&](auto&& step) {
        for (std::size_t task; !failed.load() && (task = next++) < tasks;) work(task, step);
    };
    auto workerStep = [&](std::int64_t steps) {
        done += steps;
        if (failed.load() || progress.cancelRequested()) throw Stopped{};
    };
    auto callerStep = [&](std::int64_t steps) {
        done += steps;
        progress.advance(fraction());
        if (failed.load()) throw Stopped{};
    };

    {
        std::vector<std::jthread> workers;
        auto worker = [&] {
            try {
                takeTasks(workerStep);
            } catch (const Stopped&) {
            } catch (...) {
                std::lock_guard lock(mutex);
                if (!failure) failure = std::current_exception();
                failed = true;
            }
            std::lock_guard lock(mutex);
            --workersRunning;
            finished.notify_all();
        };
        for (std::size_t t = 1; t < threads; ++t) workers.emplace_back(worker);
        try {
            takeTasks(callerStep);
            // The others' channels still running: keep the progress moving and cancel heard.
            std::unique_lock lock(mutex);
            while (workersRunning > 0) {
                lock.unlock();
                progress.advance(fraction());
                lock.lock();
                finished.wait_for(lock, std::chrono::milliseconds(20), [&] { return workersRunning == 0; });
            }
        } catch (const Stopped&) {
        } catch (...) {
            failed = true;  // the workers stop at their next step and are joined on the way out
            throw;
        }
    }
    if (failure) std::rethrow_exception(failure);
}

}  // namespace pqwave
