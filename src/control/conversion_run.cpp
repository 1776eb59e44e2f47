// "CSV変換" and a double click on a file: the job of the window's settings, run on the selected
// recording (loaded unless it is in memory), its files put in place, and what the window shows
// of the run stored back. A failure anywhere is reported with its text; the outputs are then
// not put in place, so an earlier file of that name stays as it was.
#include "common/error.h"
#include "common/failure.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/textforms.h"
#include "control/busy_caption.h"
#include "control/conversion.h"
#include "control/form1_model.h"
#include "control/raw_data.h"

namespace pqwave {

void Form1Model::Command1_Click() {
    reportingFailure(
        Label1.text,
        [this] {
            FileOutcome outcome = convertSelectedFile();
            outcome.outputs->commit();
            reportWritten(*host_, *outcome.outputs);
            outcome.outputs.reset();
            outcome.samples.reset();
            lastConversion_ = std::move(outcome);
        },
        [this](const Failure& failure) {
            // A cancel is honoured; the next command starts afresh.
            progress.clearCancel();
            host_->reportError(failure.kind, failure.message);
        });
}

void Form1Model::File1_DblClick() {
    if (FileRecognized == -1) Command1_Click();
}

FileOutcome Form1Model::convertSelectedFile() {
    const ConversionJob job = jobOf(*this);
    if (job.processing == Processing::Nothing)
        throw Error(ErrorKind::NotAvailable, tr("CSV変換: these settings choose no processing"));
    if (FileRecognized != -1)
        throw Error(ErrorKind::NotRecognized, tr("{0}: not a recording pqwave knows", {Label1.text}));
    if (job.kind == DataKind::Logger)
        if (auto mismatch = kindMismatch(job.kind, facts_))
            throw Error(ErrorKind::NotAvailable, Label1.text + ": " + *mismatch);

    if (auto tooLong = spreadsheetRowsWarning(job, facts_)) host_->reportWarning(*tooLong);
    loadSelectedFile();
    BusyCaption caption(*this, "データ解析中");
    FileOutcome outcome = runConversion(job, loadedRecording(), progress, std::make_unique<OutputFiles>(Label1.text));
    showOutcome(job, outcome);
    return outcome;
}

void Form1Model::showOutcome(const ConversionJob& job, const FileOutcome& outcome) {
    for (const FileProblem& problem : outcome.problems) host_->reportWarning(problem.message);
    if (outcome.reverseRotation) select(Option4[*outcome.reverseRotation ? 1 : 0]);
    switch (job.processing) {
        case Processing::RawData:
            // The range as the run corrected it: a start below 0 is 0, an end beyond the
            // recording its last sample.
            if (valOf(Text2[0]) < 0) setText(Text2[0], "0");
            if (SampleCount() <= valOf(Text2[1])) setText(Text2[1], formD(SampleCount() - 1));
            break;
        case Processing::TimeOfDayStatistics:
            host_->reportWarning(
                tr("{0}: 時刻統計 is collected only by 全ﾌｧｲﾙ処理; nothing was written", {Label1.text}));
            break;
        default:
            break;
    }
}

}  // namespace pqwave
