#include "batch/all_files_run.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "batch/summaries.h"
#include "common/failure.h"

namespace pqwave {
namespace {

// Whatever a conversion does, it is that file's failure: the run goes on with the next.
FileOutcome convertGuarded(const FileConversion& convert, std::size_t k, const std::string& path, Progress& progress) {
    FileOutcome out;
    reportingFailure(
        path, [&] { out = convert(k, progress); },
        [&](const Failure& failure) {
            out = FileOutcome{};
            out.path = path;
            if (failure.kind == ErrorKind::Cancelled)
                out.state = FileOutcome::State::Cancelled;
            else
                out.fail(failure.kind, failure.message);
        });
    if (out.state != FileOutcome::State::Converted) out.outputs.reset();
    return out;
}

// Workers take the files in the list's order and leave each outcome in its slot until the run
// has taken it; they run at most a few files ahead, so memory stays bounded.
class SideBySide {
public:
    SideBySide(const AllFilesPlan& plan, const FileConversion& convert)
        : plan_(plan), convert_(convert), slots_(plan.files.size()), progress_(plan.jobs) {
        for (int j = 0; j < plan.jobs; ++j) threads_.emplace_back([this, j] { work(progress_[j]); });
    }
    ~SideBySide() {
        stop();
        for (std::thread& t : threads_) t.join();
    }

    // Outcome k, once a worker has it; cancels the workers when `progress` is asked to stop.
    FileOutcome take(std::size_t k, const Progress& progress) {
        std::unique_lock lock(mutex_);
        while (!slots_[k]) {
            changed_.wait_for(lock, std::chrono::milliseconds(50));
            if (progress.cancelRequested()) cancelWorkers();
        }
        FileOutcome out = std::move(*slots_[k]);
        slots_[k].reset();
        taken_ = k + 1;
        changed_.notify_all();
        return out;
    }

    void stop() {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        cancelWorkers();
        changed_.notify_all();
    }

private:
    void cancelWorkers() {
        for (Progress& p : progress_) p.requestCancel();
    }

    void work(Progress& progress) {
        const std::size_t ahead = 2 * static_cast<std::size_t>(plan_.jobs);
        for (;;) {
            std::size_t k;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return stopping_ || next_ >= slots_.size() || next_ < taken_ + ahead; });
                if (stopping_ || next_ >= slots_.size()) return;
                k = next_++;
            }
            FileOutcome out = convertGuarded(convert_, k, plan_.files[k], progress);
            std::lock_guard lock(mutex_);
            slots_[k] = std::move(out);
            changed_.notify_all();
        }
    }

    const AllFilesPlan& plan_;
    const FileConversion& convert_;
    std::vector<std::optional<FileOutcome>> slots_;
    std::vector<Progress> progress_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0, taken_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

// Puts the file's outputs in place; a file whose outputs cannot be written has failed.
void commitOutputs(FileOutcome& out) {
    if (!out.outputs) return;
    reportingFailure(
        out.path, [&] { out.outputs->commit(); },
        [&](const Failure& failure) { out.fail(failure.kind, failure.message); });
}

std::string fileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace

AllFilesTally runAllFiles(const AllFilesPlan& plan, const FileConversion& convert, Progress& progress,
                          const ProblemReport& report, const WrittenReport& written) {
    AllFilesTally tally;
    tally.total = plan.files.size();
    tally.outputFolder = plan.summaryFolder;
    if (plan.files.empty()) return tally;
    ProgressScope scope(progress);
    Summaries summaries(plan.summaryFolder, plan.timeOfDayName);
    std::optional<SideBySide> sideBySide;
    if (plan.jobs > 1) sideBySide.emplace(plan, convert);

    const double share = 1.0 / static_cast<double>(plan.files.size());
    for (std::size_t k = 0; k < plan.files.size(); ++k) {
        progress.setSpan(static_cast<double>(k) * share, static_cast<double>(k + 1) * share);
        progress.setCaption(std::to_string(k + 1) + "/" + std::to_string(plan.files.size()) + " " +
                            fileNameOf(plan.files[k]));
        FileOutcome out =
            sideBySide ? sideBySide->take(k, progress) : convertGuarded(convert, k, plan.files[k], progress);
        if (out.state == FileOutcome::State::Cancelled || progress.cancelRequested()) {
            tally.cancelled = true;
            break;
        }
        if (out.state == FileOutcome::State::Converted) commitOutputs(out);
        if (out.state == FileOutcome::State::Converted && out.outputs && written)
            for (const TextOutputFile* file : out.outputs->files()) written(file->path());
        if (out.state == FileOutcome::State::Converted) summaries.add(out);
        for (const FileProblem& problem : out.problems) report(problem);
        switch (out.state) {
            case FileOutcome::State::Converted:
                ++tally.converted;
                break;
            case FileOutcome::State::Failed:
                ++tally.failed;
                break;
            default:
                ++tally.skipped;
                break;
        }
    }
    progress.setSpan(0, 1);
    if (sideBySide) sideBySide->stop();
    progress.clearCancel();
    // The files converted so far keep their outputs, and the summaries hold their rows.
    summaries.commit();
    if (written)
        for (const std::filesystem::path& path : summaries.written()) written(path);
    if (const std::string left = summaries.otherYearsWarning(); !left.empty())
        report({false, ErrorKind::Arithmetic, left});
    return tally;
}

}  // namespace pqwave
