#include "control/all_files_run.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "batch/summary_files.h"
#include "common/error.h"
#include "common/failure.h"
#include "common/text_output_file.h"
#include "common/textforms.h"
#include "control/file_lists.h"
#include "control/form1_model.h"
#include "control/raw_data.h"
#include "input/file_bytes.h"
#include "input/output_target.h"
#include "power/power_settings.h"

namespace pqwave {
namespace {

enum class SummaryKind { None, Interval, RmsPerFile, TimeOfDay };

// What the run's settings make of every file: the summary it contributes to and the raw-output
// range shown when the run started.
struct RunPlan {
    bool timeOfDay = false;  // 時刻統計 over RMS or logger recordings
    std::string firstSample, lastSample;
};

RunPlan planOf(const Form1Model& f) {
    RunPlan plan;
    plan.timeOfDay =
        isSelected(f.Option2[1]) && isChecked(f.Check11) && (isSelected(f.Option1[3]) || isSelected(f.Option1[4]));
    plan.firstSample = f.Text2[0].text;
    plan.lastSample = f.Text2[1].text;
    return plan;
}

SummaryKind summaryKindOf(const Form1Model& f, const RunPlan& plan) {
    if (isSelected(f.Option2[0])) return SummaryKind::Interval;
    if (plan.timeOfDay) return SummaryKind::TimeOfDay;
    if (isSelected(f.Option2[1]) && !isChecked(f.Check11) && f.RmsDataFile == 1) return SummaryKind::RmsPerFile;
    return SummaryKind::None;
}

// Keeps what a model reports while one file is converted, so the run can report it in the
// list's order; repaints go through to the window.
class CollectingHost : public Form1Host {
public:
    explicit CollectingHost(Form1Host* window) : window_(window) {}
    void reportError(ErrorKind kind, const std::string& message) override { problems.push_back({true, kind, message}); }
    void reportWarning(const std::string& message) override {
        problems.push_back({false, ErrorKind::Arithmetic, message});
    }
    void processEvents() override {
        if (window_) window_->processEvents();
    }

    std::vector<FileProblem> problems;

private:
    Form1Host* window_;
};

struct FileOutcome {
    enum class State { Skipped, Converted, Failed, Cancelled };
    State state = State::Skipped;
    std::string path;
    std::vector<FileProblem> problems;
    std::unique_ptr<TextOutputFile> output;  // complete, not yet in place
    SummaryKind kind = SummaryKind::None;
    IntervalSummaryInput interval;
    RecordingStart start;
    std::vector<ChannelColumn> channels;
    RmsFileStatistics rms;
    RawSampleTable table;  // the loaded samples, for the hours of the year
    TimeOfDayInput timeOfDay;
};

// The raw-output range of the run's start, for this file only: a short file must not shorten
// the range of the files after it, and with no range set each file is written whole.
void applyRange(Form1Model& m, const RunPlan& plan) {
    setText(m.Text2[0], plan.firstSample);
    setText(m.Text2[1], plan.lastSample.empty() ? formD(m.SampleCount - 1) : plan.lastSample);
}

void captureSummary(Form1Model& m, FileOutcome& out) {
    out.start = {m.Label15[0].text, m.Label15[1].text};
    switch (out.kind) {
        case SummaryKind::Interval:
            out.interval.start = out.start;
            out.interval.layout = {circuitCountOf(m.ChannelCount), isChecked(m.Check6), isSelected(m.Option3[0]),
                                   isChecked(m.Check5) && m.Check5.enabled};
            out.interval.statistics = m.FileStatistics;
            out.interval.intervalCount = m.IntervalCount;
            if (out.interval.layout.frequency) out.interval.intervalFrequency = m.IntervalFrequency;
            break;
        case SummaryKind::RmsPerFile:
            out.channels = summaryChannelsOf(m);
            out.rms = m.RmsStatistics;
            break;
        case SummaryKind::TimeOfDay:
            out.channels = summaryChannelsOf(m);
            out.timeOfDay = timeOfDayInputOf(m);
            // The samples go with the outcome; the model reads the file again when next asked.
            out.table = std::move(m.SampleTable);
            m.LoadedFileName.clear();
            break;
        case SummaryKind::None:
            break;
    }
}

// The output names of one run: the first recording keeps a name, a later one that would take
// it gets "_2", "_3", ... before the extension, so no recording's output replaces another's.
class OutputNames {
public:
    std::filesystem::path claim(const std::filesystem::path& wanted) {
        std::filesystem::path name = wanted;
        for (int k = 2; claimed_.contains(name.lexically_normal().string()); ++k)
            name =
                wanted.parent_path() / (wanted.stem().string() + "_" + std::to_string(k) + wanted.extension().string());
        claimed_.insert(name.lexically_normal().string());
        return name;
    }

    // Claims the outcome's output name, renaming it and saying so when it is taken.
    void claimFor(FileOutcome& out, const std::filesystem::path wanted,
                  const std::function<void(const std::string&)>& rename) {
        const std::filesystem::path name = claim(wanted);
        if (name == wanted) return;
        rename(name.string());
        out.start.outputName = out.interval.start.outputName = name.filename().string();
        out.problems.push_back({false, ErrorKind::CannotWrite,
                                out.path + ": its output name " + wanted.filename().string() +
                                    " is taken by an earlier recording of this run; written as " +
                                    name.filename().string()});
    }

private:
    std::set<std::string> claimed_;
};

// Clicks the file and converts it as "CSV変換" does, on model `m`. `names` is given when the run
// converts one file at a time and the conversion writes its own files (the moving FFT): their
// names follow Text5, which then takes its claimed name before the conversion.
void convert(Form1Model& m, const std::string& name, const RunPlan& plan, FileOutcome& out, OutputNames* names) {
    out.path = joinFolder(m.File1.path, name);
    setText(m.Label1, out.path);
    if (fileSizeOf(out.path) == 0) return;  // an empty file is skipped without a word
    m.FileRecognized = 0;
    m.File1_Click(name);
    if (!m.Command1.enabled && !isChecked(m.Check10)) return;  // the header was not accepted
    out.kind = summaryKindOf(m, plan);
    applyRange(m, plan);
    if (out.kind == SummaryKind::TimeOfDay) {
        // The hours pool every recording in the list's order: the run folds them itself.
        if (isSelected(m.Option1[4]) && Val(m.Label15[4].text) != 8420) return;
        if (m.FileRecognized != -1) throw Error(ErrorKind::NotRecognized, out.path + ": not a recording pqwave knows");
        m.loadSelectedFile();
        m.requireConvertibleRecording();
    } else {
        if (names) names->claimFor(out, m.Text5.text, [&m](const std::string& text) { setText(m.Text5, text); });
        out.output = m.convertSelectedFile();
    }
    out.state = FileOutcome::State::Converted;
    const std::string outputName = out.start.outputName;
    captureSummary(m, out);
    out.start.outputName = out.interval.start.outputName = outputName;
}

FileOutcome convertOne(Form1Model& m, const std::string& name, const RunPlan& plan, Form1Host* window,
                       OutputNames* names = nullptr) {
    FileOutcome out;
    CollectingHost host(window);
    Form1Host& previous = m.host();
    m.setHost(&host);
    // Whatever one file does, it is that file's failure: the run goes on with the next.
    reportingFailure(
        joinFolder(m.File1.path, name), [&] { convert(m, name, plan, out, names); },
        [&](const Failure& failure) {
            if (failure.kind == ErrorKind::Cancelled) {
                out.state = FileOutcome::State::Cancelled;
                return;
            }
            out.state = FileOutcome::State::Failed;
            host.problems.push_back({true, failure.kind, failure.message});
        });
    m.setHost(&previous);
    // A header the reader could not read is a failure, even when nothing else went wrong.
    for (const FileProblem& p : host.problems)
        if (p.failed && out.state == FileOutcome::State::Skipped) out.state = FileOutcome::State::Failed;
    out.problems = std::move(host.problems);
    if (out.state != FileOutcome::State::Converted) out.output.reset();
    return out;
}

// The summary files of the run, in the recordings' folder: rows are added in the list's order
// and the files are put in place at the end.
class Summaries {
public:
    Summaries(std::string folder, bool loggerHours)
        : folder_(std::move(folder)), timeOfDayName_(loggerHours ? "時刻統計DT.csv" : "Rms時刻統計DT.csv") {}

    void add(FileOutcome& out) {
        switch (out.kind) {
            case SummaryKind::Interval:
                if (!interval_) {
                    interval_ = open("PQp-pDT.csv");
                    interval_->writeLine(intervalSummaryHeader(out.interval.layout));
                }
                interval_->writeLine(intervalSummaryRow(out.interval));
                break;
            case SummaryKind::RmsPerFile:
                if (!rms_) {
                    rms_ = open("Rms統計DT.csv");
                    rms_->writeLine(rmsSummaryHeader(out.channels));
                }
                rms_->writeLine(rmsSummaryRow(out.start, out.channels, out.rms));
                break;
            case SummaryKind::TimeOfDay:
                foldHours(out);
                break;
            case SummaryKind::None:
                break;
        }
    }

    // Writes the hours of the year, then puts every summary in place.
    void commit() {
        if (hoursYear_) {
            std::unique_ptr<TextOutputFile> hours = open(timeOfDayName_);
            TextOutputFile& file = *hours;
            file.writeLine(timeOfDaySummaryHeader(hourChannels_));
            for (const std::string& row : timeOfDaySummaryRows(*hoursYear_, hourChannels_, hours_)) file.writeLine(row);
            file.commit();
        }
        if (interval_) interval_->commit();
        if (rms_) rms_->commit();
    }

private:
    std::unique_ptr<TextOutputFile> open(const std::string& name) const {
        const std::string path = joinFolder(folder_, name);
        refuseRecordingAsOutput(path, {});
        return std::make_unique<TextOutputFile>(path);
    }

    void foldHours(FileOutcome& out) {
        if (!hoursYear_) hoursYear_ = out.timeOfDay.year;
        hourChannels_ = out.channels;
        // A file is folded whole or not at all, so a cancel never leaves half a file pooled.
        Progress uninterrupted;
        const long long outside = foldHoursOfYear(hours_, out.table, out.timeOfDay, uninterrupted);
        if (outside > 0)
            out.problems.push_back({false, ErrorKind::Arithmetic,
                                    out.path + ": " + std::to_string(outside) + " samples lie beyond the year " +
                                        std::to_string(out.timeOfDay.year) + " and were not counted"});
        out.table = RawSampleTable();
    }

    std::string folder_;
    std::string timeOfDayName_;
    std::unique_ptr<TextOutputFile> interval_, rms_;
    std::optional<int> hoursYear_;
    std::vector<ChannelColumn> hourChannels_;
    HourOfYearStatistics hours_;
};

// Helpers take the files in the list's order and leave each outcome in its slot until the run
// has handled it; they run at most a few files ahead, so memory stays bounded.
class SideBySide {
public:
    SideBySide(const std::vector<Form1Model*>& helpers, const std::vector<std::string>& names, const RunPlan& plan)
        : helpers_(helpers), names_(names), plan_(plan), slots_(names.size()) {
        for (Form1Model* helper : helpers_) threads_.emplace_back([this, helper] { work(*helper); });
    }
    ~SideBySide() {
        stop();
        for (std::thread& t : threads_) t.join();
    }

    // Outcome k, once a helper has it; cancels the helpers when `progress` is asked to stop.
    FileOutcome take(std::size_t k, const Progress& progress) {
        std::unique_lock lock(mutex_);
        while (!slots_[k]) {
            changed_.wait_for(lock, std::chrono::milliseconds(50));
            if (progress.cancelRequested()) cancelHelpers();
        }
        FileOutcome out = std::move(*slots_[k]);
        slots_[k].reset();
        handled_ = k + 1;
        changed_.notify_all();
        return out;
    }

    void stop() {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        cancelHelpers();
        changed_.notify_all();
    }

private:
    void cancelHelpers() {
        for (Form1Model* helper : helpers_) helper->progress.requestCancel();
    }

    void work(Form1Model& helper) {
        for (;;) {
            std::size_t k;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] {
                    return stopping_ || next_ >= names_.size() || next_ < handled_ + 2 * helpers_.size();
                });
                if (stopping_ || next_ >= names_.size()) return;
                k = next_++;
            }
            FileOutcome out = convertOne(helper, names_[k], plan_, nullptr);
            std::lock_guard lock(mutex_);
            slots_[k] = std::move(out);
            changed_.notify_all();
        }
    }

    const std::vector<Form1Model*>& helpers_;
    const std::vector<std::string>& names_;
    const RunPlan& plan_;
    std::vector<std::optional<FileOutcome>> slots_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0, handled_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

// The caption, pointer, batch flags and range of the run, restored however it ends.
class RunState {
public:
    RunState(Form1Model& form, const std::vector<Form1Model*>& helpers, const RunPlan& plan)
        : form_(form), helpers_(helpers), plan_(plan) {
        for (Form1Model* m : models()) {
            m->FileRecognized = 0;
            m->BatchMode = 1;
            m->movingFftSummaries.started.clear();  // each run heads its summary files afresh
        }
        form_.host().setWaitCursor(true);
        setText(form_.Label10, "データ変換中");
        form_.Label10.visible = true;
    }
    ~RunState() {
        for (Form1Model* m : models()) {
            m->BatchMode = 0;
            m->FileRecognized = 0;
            m->progress.clearCancel();
        }
        setText(form_.Text2[0], plan_.firstSample);
        setText(form_.Text2[1], plan_.lastSample);
        form_.Label10.visible = false;
        form_.host().setWaitCursor(false);
    }

private:
    std::vector<Form1Model*> models() const {
        std::vector<Form1Model*> all(helpers_);
        all.push_back(&form_);
        return all;
    }

    Form1Model& form_;
    const std::vector<Form1Model*>& helpers_;
    const RunPlan& plan_;
};

// Puts the file's own output in place under the name the run gives it; a file whose output
// cannot be written is skipped.
bool commitOutput(FileOutcome& out, OutputNames& names) {
    if (!out.output) return true;
    TextOutputFile& output = *out.output;
    names.claimFor(out, output.path(), [&output](const std::string& name) { output.rename(name); });
    try {
        out.output->commit();
        return true;
    } catch (const Error& error) {
        out.problems.push_back({true, error.kind(), error.what()});
        return false;
    }
}

}  // namespace

void runAllFiles(Form1Model& form, const std::vector<Form1Model*>& helpers) {
    form.refreshFileList();
    const std::vector<std::string> names = form.File1.names;
    if (names.empty()) return;
    const RunPlan plan = planOf(form);
    Form1Host& host = form.host();
    RunState state(form, helpers, plan);
    ProgressScope scope(form.progress);
    Summaries summaries(form.File1.path, isSelected(form.Option1[4]));
    // The moving FFT appends each recording's summary lines to files of its own, so its files
    // are converted one at a time, in the list's order.
    const bool movingFft = isSelected(form.Option2[3]) && isChecked(form.Check4);
    std::optional<SideBySide> sideBySide;
    if (!helpers.empty() && !movingFft) sideBySide.emplace(helpers, names, plan);
    OutputNames outputNames;

    std::size_t converted = 0;
    bool cancelled = false;
    try {
        for (std::size_t k = 0; k < names.size() && !cancelled; ++k) {
            const double share = 1.0 / static_cast<double>(names.size());
            form.progress.setSpan(k * share, (k + 1) * share);
            form.progress.setCaption(std::to_string(k + 1) + "/" + std::to_string(names.size()) + " " + names[k]);
            form.progress.advance(0);
            // Each conversion shows its own caption and hides it again; the run's comes back.
            setText(form.Label10, "データ変換中");
            form.Label10.visible = true;
            host.processEvents();
            FileOutcome out = sideBySide ? sideBySide->take(k, form.progress)
                                         : convertOne(form, names[k], plan, &host, movingFft ? &outputNames : nullptr);
            setText(form.Label1, out.path);
            if (out.state == FileOutcome::State::Cancelled || form.progress.cancelRequested()) {
                cancelled = true;
                break;
            }
            if (out.state == FileOutcome::State::Converted && commitOutput(out, outputNames)) {
                summaries.add(out);
                ++converted;
            }
            for (const FileProblem& problem : out.problems) host.reportFileProblem(problem);
        }
    } catch (const Cancelled&) {
        cancelled = true;
    } catch (...) {
        form.progress.setSpan(0, 1);
        host.allFilesRunEnded();
        throw;
    }
    form.progress.setSpan(0, 1);
    if (sideBySide) sideBySide->stop();
    // The files converted so far keep their outputs, and the summaries hold their rows.
    summaries.commit();
    host.allFilesRunEnded();
    if (cancelled)
        host.reportError(ErrorKind::Cancelled, form.File1.path + ": cancelled after " + std::to_string(converted) +
                                                   " of " + std::to_string(names.size()) + " files");
}

void Form1Model::Command3_Click() {
    reportingFailure(
        File1.path, [this] { runAllFiles(*this); },
        [this](const Failure& failure) { host_->reportError(failure.kind, failure.message); });
}

}  // namespace pqwave
