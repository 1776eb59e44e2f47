#include "control/pq_survey.h"

#include <algorithm>
#include <functional>
#include <mutex>

#include "common/error.h"
#include "common/failure.h"
#include "common/messages.h"
#include "control/all_files_run.h"
#include "control/busy_caption.h"
#include "control/file_lists.h"
#include "control/form1_model.h"
#include "control/power_quality_command.h"

namespace pqwave {

SurveyRecording surveyRecordingOf(const ConversionJob& job, const Recording& recording, const PqChoices& choices,
                                  Progress& progress) {
    const RecordingFacts& facts = recording.facts;
    SurveyRecording r;
    r.facts = facts;
    const RecordingScaling scaling = pqScalingFor(job, facts);
    r.ptRatio = scaling.ptRatio;
    r.clampAmps = scaling.clampAmps;
    r.wiring = scaling.wiring;
    r.nominalHz = job.power.supplyFrequency;
    // Trends and verdicts stand on 10-minute values, whatever the window's aggregation shows.
    PqChoices tenMinutes = choices;
    tenMinutes.aggregation = PqAggregation::TenMinutes;
    r.measurement = measureRecording(job, recording, tenMinutes, progress);
    r.durationSeconds = r.measurement.result.durationSeconds;
    r.clockSecondsAtStart = clockSecondsOf(facts.startDateTime().value_or(0));
    if (!facts.startDateTime())
        r.warnings.push_back(tr("{0}: the start \"{1} {2}\" is no date and time; the clock counts from 1899/12/30 0:00",
                                {facts.fileName, facts.startDate, facts.startTime}));
    if (!r.measurement.flickerProblem.empty())
        r.warnings.push_back(tr("{0}; Pst and Plt are left out", {r.measurement.flickerProblem}));
    return r;
}

PqSurvey surveySelectedFile(Form1Model& form) {
    const PqStart start = loadSelectedForMeasuring(form);
    BusyCaption caption(form, "電力品質解析中");
    PqSurvey survey;
    survey.name = form.Label1.text;
    survey.recordings.push_back(surveyRecordingOf(start.job, *form.loadedRecording(), start.choices, form.progress));
    return survey;
}

PqSurvey surveyAllFiles(Form1Model& form, int jobs) {
    const PqChoices choices = pqChoicesOf(form);
    PqSurvey survey;
    survey.name = form.File1.path;
    std::mutex guard;
    // The all-files run keeps its order, progress and cancel; each file's values are kept
    // here instead of being written.
    runAllFiles(form, AllFilesRunOptions{jobs, {}},
                [&](const ConversionJob& job, std::shared_ptr<const Recording> recording, Progress& progress,
                    std::unique_ptr<OutputFiles> outputs) {
                    SurveyRecording measured = surveyRecordingOf(job, *recording, choices, progress);
                    FileOutcome outcome;
                    outcome.path = recording->facts.fileName;
                    outcome.outputs = std::move(outputs);
                    for (const std::string& warning : measured.warnings) outcome.warn(warning);
                    outcome.state = FileOutcome::State::Converted;
                    const std::lock_guard lock(guard);
                    survey.recordings.push_back(std::move(measured));
                    return outcome;
                });
    if (form.progress.cancelRequested()) {  // the run has said so
        survey.cancelled = true;
        return survey;
    }
    for (const std::string& name : form.File1.names) {
        const std::string path = joinFolder(form.File1.path, name);
        const bool measured = std::any_of(survey.recordings.begin(), survey.recordings.end(),
                                          [&](const SurveyRecording& r) { return r.facts.fileName == path; });
        if (!measured) survey.leftOut.push_back(path);
    }
    if (survey.recordings.empty())
        throw Error(ErrorKind::NotAvailable,
                    tr("{0}: no recording of the folder could be measured", {form.File1.path}));
    std::stable_sort(survey.recordings.begin(), survey.recordings.end(),
                     [](const SurveyRecording& a, const SurveyRecording& b) {
                         return a.clockSecondsAtStart < b.clockSecondsAtStart;
                     });
    return survey;
}

namespace {

// The survey of the selected file handed to the host; a failure reaches the host as every
// command's does.
void surveyForHost(Form1Model& form, const std::function<void(PqSurvey)>& show) {
    reportingFailure(
        form.Label1.text, [&] { show(surveySelectedFile(form)); },
        [&](const Failure& failure) {
            form.progress.clearCancel();
            form.host().reportError(failure.kind, failure.message);
        });
}

}  // namespace

void Form1Model::ReportCommand_Click() {
    surveyForHost(*this, [this](PqSurvey survey) { host().showReport(survey, reportPathForSelectedFile(*this)); });
}

void Form1Model::TrendCommand_Click() {
    surveyForHost(*this,
                  [this](PqSurvey survey) { host().showTrends(std::make_shared<const PqSurvey>(std::move(survey))); });
}

std::filesystem::path reportPathForSelectedFile(const Form1Model& form) {
    const std::filesystem::path output(jobOf(form).outputName);
    return output.parent_path() / (output.stem().string() + "_PQreport.html");
}

std::filesystem::path reportPathForFolder(const std::filesystem::path& folder) {
    const std::filesystem::path clean = folder.lexically_normal();
    const std::string name =
        clean.filename().empty() ? clean.parent_path().filename().string() : clean.filename().string();
    return clean / ((name.empty() ? std::string("survey") : name) + "_PQreport.html");
}

}  // namespace pqwave
