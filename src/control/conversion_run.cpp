// The conversion run behind "CSV変換" and a double click on a file: load the samples unless
// they are in memory, open the output file, write its first line and hand over to the chosen
// processing. A failure anywhere is reported with its text; the output file is then not
// renamed into place, so an earlier file of that name stays as it was.
#include <memory>

#include "common/error.h"
#include "common/failure.h"
#include "common/numbers.h"
#include "common/text_output_file.h"
#include "control/form1_model.h"
#include "control/power_runs.h"
#include "control/raw_data.h"
#include "control/spectrum_runs.h"
#include "input/output_target.h"
#include "power/result_layout.h"

namespace pqwave {
namespace {

enum class Processing {
    MovingFft,
    IntervalAnalysis,
    SlidingAnalysis,
    RawData,
    TimeOfDayStatistics,
    PqFft,
    ChannelFft,
    Nothing,
};

// The processing the settings choose, first match wins.
Processing chosenProcessing(const Form1Model& f) {
    if (isSelected(f.Option2[3]) && isChecked(f.Check4)) return Processing::MovingFft;
    if (isSelected(f.Option2[0]))
        return isChecked(f.Check13) && f.Check13.enabled ? Processing::SlidingAnalysis : Processing::IntervalAnalysis;
    bool timeOfDay = isChecked(f.Check11);
    if (isSelected(f.Option2[1]) && !timeOfDay) return Processing::RawData;
    if (timeOfDay && isSelected(f.Option2[1]) && (isSelected(f.Option1[3]) || isSelected(f.Option1[4])))
        return Processing::TimeOfDayStatistics;
    if (isSelected(f.Option2[2])) return Processing::PqFft;
    if (isSelected(f.Option2[3])) return Processing::ChannelFft;
    return Processing::Nothing;
}

// The hourglass and the progress caption for the length of a run, however it ends.
class RunCaption {
public:
    explicit RunCaption(Form1Model& form) : form_(form) {}
    void show() {
        form_.host().setWaitCursor(true);
        setText(form_.Label10, "データ解析中");
        form_.Label10.visible = true;
        form_.host().processEvents();
        shown_ = true;
    }
    ~RunCaption() {
        if (!shown_) return;
        form_.Label10.visible = false;
        form_.host().setWaitCursor(false);
    }

private:
    Form1Model& form_;
    bool shown_ = false;
};

}  // namespace

void Form1Model::Command1_Click() {
    reportingFailure(
        Label1.text,
        [this] {
            if (std::unique_ptr<TextOutputFile> output = convertSelectedFile()) output->commit();
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

std::unique_ptr<TextOutputFile> Form1Model::convertSelectedFile() {
    const Processing processing = chosenProcessing(*this);
    if (processing == Processing::MovingFft) {
        ch移動FFT(*this);  // writes and puts in place its own files
        return nullptr;
    }
    if (processing == Processing::Nothing)
        throw Error(ErrorKind::NotAvailable, "CSV変換: these settings choose no processing");

    if (isSelected(Option1[4]) && Val(Label15[4].text) != 8420) return nullptr;
    // Only the all-files run with 統計処理のみ出力 gets here with a file the header reader refused.
    if (FileRecognized != -1) throw Error(ErrorKind::NotRecognized, Label1.text + ": not a recording pqwave knows");

    ProgressScope scope(progress);
    loadSelectedFile();
    requireConvertibleRecording();
    if (isChecked(Check2) && Frame3.visible) host_->showVectorWindowBriefly();

    RunCaption caption(*this);
    caption.show();
    const bool statisticsOnly = isChecked(Check10);
    const PowerSettings power =
        processing == Processing::SlidingAnalysis ? slidingSettingsOf(*this) : powerSettingsOf(*this);
    std::unique_ptr<TextOutputFile> output;
    if (processing != Processing::TimeOfDayStatistics && !statisticsOnly && !isChecked(Check4)) {
        refuseRecordingAsOutput(Text5.text, Label1.text);
        output = std::make_unique<TextOutputFile>(Text5.text);
        std::string firstLine = Label15[0].text + "," + Label15[1].text;
        if (isSelected(Option2[0])) firstLine += rmsScalingInformation(power);
        output->writeLine(firstLine);
    }
    TextOutputFile* file = output.get();

    switch (processing) {
        case Processing::IntervalAnalysis:
            if (file) file->writeLine(rmsResultHeader(power));
            runIntervalAnalysis(*this, power, file);
            break;
        case Processing::SlidingAnalysis:
            if (file) file->writeLine(rmsResultHeader(power));
            runSlidingAnalysis(*this, power, file);
            break;
        case Processing::RawData:
            writeRawData(*this, file);
            break;
        case Processing::TimeOfDayStatistics:
            // The hours of the year pool every recording of an all-files run, which folds them.
            host_->reportWarning(Label1.text + ": 時刻統計 is collected only by 全ﾌｧｲﾙ処理; nothing was written");
            break;
        case Processing::PqFft:
            if (file) VIPQFFT処理(*this, *file);
            break;
        case Processing::ChannelFft:
            if (file) ChFFT処理(*this, *file);
            break;
        default:
            break;
    }
    // A cancel that comes too late for the run's own checks still keeps its output away.
    progress.throwIfCancelled();
    return output;
}

}  // namespace pqwave
