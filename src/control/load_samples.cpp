// DTLood: the samples of the file in Label1 into SampleTable, with the progress caption and
// the hourglass. The table in memory is replaced only by a complete load, so a file that
// turns out to be damaged leaves the previous recording usable.
#include <cmath>

#include "common/error.h"
#include "common/numbers.h"
#include "control/form1_model.h"
#include "input/channel_scale.h"
#include "input/load_request.h"
#include "input/loader.h"

namespace pqwave {
namespace {

// Restores the pointer and hides the caption however the load ends.
class LoadProgress {
public:
    explicit LoadProgress(Form1Model& form) : form_(form) {
        setText(form.Label10, "データ読込中");
        form.Label10.visible = true;
        form.host().setWaitCursor(true);
        form.host().processEvents();
    }
    ~LoadProgress() {
        form_.host().setWaitCursor(false);
        form_.Label10.visible = false;
    }

private:
    Form1Model& form_;
};

}  // namespace

void Form1Model::DTLood() {
    RecordingLayout layout;
    layout.formatCode = FormatCode;
    layout.headerBlocks = HeaderBlocks;
    layout.rmsDataFile = RmsDataFile;
    layout.sampleCount = SampleCount;
    layout.channelCount = ChannelCount;
    layout.logicChannelCount = LogicChannelCount;
    layout.loggerExtraFlag = LoggerExtraFlag;
    ChannelSettings settings;
    settings.channelMap = ChannelMap;
    settings.swapFirstBlocks = isChecked(Check16);
    for (int p = 0; p < kPositions; ++p) {
        settings.invertedColumn[p] = isChecked(Check17[p]);
        layout.channelPresent[p] = Label14[ChannelMap[p]].enabled;
    }
    LastActiveChannel = lastActiveChannelOf(layout.channelPresent, LastActiveChannel);
    LoadRequest request = loadRequestFor(layout, settings, LastActiveChannel, Label1.text);

    LoadProgress progress(*this);
    FileByteSource source(Label1.text);
    LoadResult result = loadSamples(source, request);
    // Without its data part the file has nothing to convert or show; the previous recording
    // stays in memory.
    if (!result.hasData)
        throw Error(ErrorKind::Malformed, Label1.text + ": no sample data found (" + result.missingData + " missing)");
    SampleTable = std::move(result.table);
    ++LoadCount;
    ChannelCalibration = result.calibration;
    for (int c = 0; c < kPositions; ++c) {
        if (FormatCode != 86) {
            ChannelScale[c] = channelScaleFromRange(Label14[c].text, Label1.text);
            continue;
        }
        // The calibration belongs to the file's channel, which the assignment may have moved.
        ChannelScale[ChannelMap[c]] =
            calibratedChannelScale(Val(V_Div.text), ChannelCalibration[c], ChannelCalibration[32 + c]);
    }
    if (result.clippedValues > 0)
        host_->reportWarning(Label1.text + ": " + std::to_string(result.clippedValues) +
                             " sample codes beyond 16 bits were stored at the limit");
    LoadedFileName = Label1.text;
}

void Form1Model::loadSelectedFile() {
    if (Label1.text != LoadedFileName) DTLood();
}

void Form1Model::requireConvertibleRecording() const {
    if (ChannelCount < 1) throw Error(ErrorKind::NotAvailable, Label1.text + ": no analog channel recorded");
    const double countsPerDivision = valOf(V_Div);
    if (countsPerDivision == 0 || !std::isfinite(countsPerDivision))
        throw ArithmeticError(Label1.text + ": the count per division (V_Div) is \"" + V_Div.text +
                              "\", so the values cannot be scaled");
}

}  // namespace pqwave
