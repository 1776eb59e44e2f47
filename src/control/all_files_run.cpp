#include "control/all_files_run.h"

#include <filesystem>
#include <set>

#include "batch/all_files_run.h"
#include "common/error.h"
#include "common/failure.h"
#include "common/messages.h"
#include "control/busy_caption.h"
#include "control/conversion.h"
#include "control/file_lists.h"
#include "control/form1_model.h"
#include "control/raw_data.h"
#include "input/file_bytes.h"

namespace pqwave {
namespace {

namespace fs = std::filesystem;

// What the run knows of a file before converting it: its facts, or the outcome it already has
// (skipped, failed), and the name its output takes.
struct PlannedFile {
    RecordingFacts facts;
    std::optional<FileOutcome> settled;
    std::string outputName;
    std::string clash;  // the warning when an earlier recording of the run took its name
};

// The output names of one run: the first recording keeps a name, a later one that would take
// it gets "_2", "_3", ... before the extension, so no recording's output replaces another's.
class OutputNames {
public:
    fs::path claim(const fs::path& wanted) {
        fs::path name = wanted;
        for (int k = 2; claimed_.contains(name.lexically_normal().string()); ++k)
            name =
                wanted.parent_path() / (wanted.stem().string() + "_" + std::to_string(k) + wanted.extension().string());
        claimed_.insert(name.lexically_normal().string());
        return name;
    }

private:
    std::set<std::string> claimed_;
};

FileOutcome settledOutcome(const std::string& path, FileOutcome::State state) {
    FileOutcome out;
    out.path = path;
    out.state = state;
    return out;
}

PlannedFile planFile(const ConversionJob& job, const std::string& path, const fs::path& outputFolder,
                     OutputNames& names) {
    PlannedFile p;
    reportingFailure(
        path,
        [&] {
            if (fileSizeOf(path) == 0) {  // an empty file is skipped without a word
                p.settled = settledOutcome(path, FileOutcome::State::Skipped);
                return;
            }
            p.facts = readRecordingFacts(path);
            if (auto mismatch = kindMismatch(job.kind, p.facts)) {
                p.settled = settledOutcome(path, FileOutcome::State::Skipped);
                p.settled->warn(tr("{0}: {1}; skipped", {path, *mismatch}));
                return;
            }
            const fs::path wanted = outputFolder / p.facts.proposedOutputName();
            const fs::path name = names.claim(wanted);
            p.outputName = name.string();
            if (name != wanted)
                p.clash = tr("{0}: its output name {1} is taken by an earlier recording of this run; written as {2}",
                             {path, wanted.filename().string(), name.filename().string()});
        },
        [&](const Failure& failure) {
            p.settled = settledOutcome(path, FileOutcome::State::Skipped);
            p.settled->fail(failure.kind, failure.message);
        });
    return p;
}

// The job for one file of the run: the window's settings, with what each click would show
// derived from the file itself.
ConversionJob jobForFile(const ConversionJob& runJob, const PlannedFile& file) {
    ConversionJob job = runJob;
    job.samplesPerInterval.reset();
    job.outputName = file.outputName;
    return job;
}

FileOutcome convertPlanned(const ConversionJob& runJob, const PlannedFile& file, const RecordingConversion& conversion,
                           Progress& progress) {
    if (file.settled) {
        FileOutcome out = settledOutcome(file.settled->path, file.settled->state);
        out.problems = file.settled->problems;
        return out;
    }
    const ConversionJob job = jobForFile(runJob, file);
    auto recording = std::make_shared<const Recording>(loadRecording(file.facts, job.channels, 0));
    FileOutcome out = conversion(job, recording, progress, std::make_unique<OutputFiles>(file.facts.fileName));
    if (auto tooLong = spreadsheetRowsWarning(job, file.facts))
        out.problems.insert(out.problems.begin(), {false, ErrorKind::Arithmetic, *tooLong});
    if (!file.clash.empty()) {
        out.start.outputName = out.interval.start.outputName = fs::path(file.outputName).filename().string();
        out.problems.insert(out.problems.begin(), {false, ErrorKind::CannotWrite, file.clash});
    }
    if (recording->clippedValues > 0)
        out.warn(tr("{0}: {1} sample codes beyond 16 bits were stored at the limit",
                    {file.facts.fileName, std::to_string(recording->clippedValues)}));
    return out;
}

}  // namespace

void runAllFiles(Form1Model& form, int jobs) {
    runAllFiles(form, {jobs, {}}, runConversion);
}

void runAllFiles(Form1Model& form, const AllFilesRunOptions& options, const RecordingConversion& conversion) {
    form.refreshFileList();
    const ConversionJob job = jobOf(form);
    AllFilesPlan plan;
    plan.summaryFolder = options.outputFolder.empty() ? fs::path(form.File1.path) : options.outputFolder;
    plan.timeOfDayName = job.kind == DataKind::Logger ? "時刻統計DT.csv" : "Rms時刻統計DT.csv";
    plan.jobs = options.jobs;
    OutputNames names;
    std::vector<PlannedFile> files;
    for (const std::string& name : form.File1.names) {
        plan.files.push_back(joinFolder(form.File1.path, name));
        files.push_back(planFile(job, plan.files.back(), plan.summaryFolder, names));
    }
    Form1Host& host = form.host();
    if (plan.files.empty()) {
        host.reportWarning(tr("{0}: no file here matches {1}, the files the data kind lists; nothing was converted",
                              {form.File1.path, form.File1.pattern}));
        return;
    }
    BusyCaption caption(form, "データ変換中");
    const FileConversion convert = [&](std::size_t k, Progress& progress) {
        return convertPlanned(job, files[k], conversion, progress);
    };
    const AllFilesTally tally = runAllFiles(
        plan, convert, form.progress, [&host](const FileProblem& p) { host.reportFileProblem(p); },
        [&host](const fs::path& path) { host.reportFileWritten(path); });
    host.allFilesRunEnded(tally);
    if (tally.cancelled)
        host.reportError(ErrorKind::Cancelled,
                         tr("{0}: cancelled after {1} of {2} files",
                            {form.File1.path, std::to_string(tally.converted), std::to_string(tally.total)}));
}

void Form1Model::Command3_Click() {
    reportingFailure(
        File1.path, [this] { runAllFiles(*this); },
        [this](const Failure& failure) { host_->reportError(failure.kind, failure.message); });
}

}  // namespace pqwave
