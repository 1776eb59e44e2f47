#include "control/power_quality_command.h"

#include <cmath>
#include <cstdlib>

#include "common/error.h"
#include "common/failure.h"
#include "common/messages.h"
#include "control/all_files_run.h"
#include "control/busy_caption.h"
#include "control/form1_model.h"

namespace pqwave {
namespace {

// Stricter than the other text boxes' lenient reading: "6.6kV" read as 6.6 V would make the
// whole recording one swell.
std::optional<double> declaredVoltsOf(const Control& box) {
    const std::size_t first = box.text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    const std::string text = box.text.substr(first, box.text.find_last_not_of(" \t") + 1 - first);
    char* end = nullptr;
    const double volts = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !(volts > 0) || !std::isfinite(volts))
        throw Error(ErrorKind::NotAvailable,
                    tr("電力品質解析: the nominal voltage \"{0}\" is not a number of volts above "
                       "0; leave it empty to have it chosen from the first 10 s",
                       {box.text}));
    return volts;
}

void reportWarnings(Form1Model& form, const FileOutcome& outcome) {
    for (const FileProblem& problem : outcome.problems) form.host().reportWarning(problem.message);
}

}  // namespace

PqChoices pqChoicesOf(const Form1Model& form) {
    PqChoices choices;
    choices.declaredVolts = declaredVoltsOf(form.PqVolts);
    choices.aggregation = aggregationFromText(form.PqInterval.text).value_or(PqAggregation::TenMinutes);
    return choices;
}

PqStart loadSelectedForMeasuring(Form1Model& form) {
    PqStart start{pqChoicesOf(form), jobOf(form)};
    if (form.FileRecognized != -1)
        throw Error(ErrorKind::NotRecognized, tr("{0}: not a recording pqwave knows", {form.Label1.text}));
    pqSettingsFor(start.job, form.selectedRecording(), start.choices);  // refuses before the samples are loaded
    form.loadSelectedFile();
    return start;
}

void measureSelectedFile(Form1Model& form, const std::optional<std::filesystem::path>& summary) {
    reportingFailure(
        form.Label1.text,
        [&] {
            const PqStart start = loadSelectedForMeasuring(form);
            BusyCaption caption(form, "電力品質解析中");
            FileOutcome outcome = runPowerQualityConversion(start.job, form.loadedRecording(), start.choices,
                                                            pqFileNamesFor(start.job, summary), form.progress,
                                                            std::make_unique<OutputFiles>(form.Label1.text));
            outcome.outputs->commit();
            reportWritten(form.host(), *outcome.outputs);
            reportWarnings(form, outcome);
        },
        [&](const Failure& failure) {
            form.progress.clearCancel();
            form.host().reportError(failure.kind, failure.message);
        });
}

void measureAllFiles(Form1Model& form, const AllFilesRunOptions& options) {
    reportingFailure(
        form.File1.path,
        [&] {
            const PqChoices choices = pqChoicesOf(form);
            runAllFiles(form, options,
                        [choices](const ConversionJob& job, std::shared_ptr<const Recording> recording,
                                  Progress& progress, std::unique_ptr<OutputFiles> outputs) {
                            return runPowerQualityConversion(job, std::move(recording), choices, pqFileNamesFor(job),
                                                             progress, std::move(outputs));
                        });
        },
        [&](const Failure& failure) { form.host().reportError(failure.kind, failure.message); });
}

void Form1Model::PqCommand_Click() {
    measureSelectedFile(*this);
}

}  // namespace pqwave
