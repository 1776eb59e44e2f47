// A click on a file: its header is read and shown in the labels of the main window, the
// time axis is derived, the channel table filled, the output name proposed and the
// commands that fit the file enabled. Later steps read these labels back as numbers.
#include <cmath>
#include <variant>

#include "common/datetime.h"
#include "common/error.h"
#include "common/numbers.h"
#include "common/text.h"
#include "common/textforms.h"
#include "control/file_lists.h"
#include "control/form1_model.h"
#include "input/load_request.h"

namespace pqwave {

void Form1Model::File1_Click(const std::string& fileName) {
    File1.fileName = fileName;
    RecordingFacts facts;
    try {
        facts = readRecordingFacts(selectedFilePath());
    } catch (const Error& error) {
        host_->reportError(error.kind(), error.what());  // the previous file's state stays as it was
        return;
    }
    setText(Label1, selectedFilePath().string());
    setText(Label9, "時間軸");
    // A file that is no recording leaves the module values of the one before, as they were.
    if (!facts.recognized()) {
        showUnrecognized();
        return;
    }
    facts_ = std::move(facts);
    switch (facts_.kind) {
        case RecordingKind::Waveform8840:
            show8840Header();
            break;
        case RecordingKind::Logger:
            showLoggerHeader();
            break;
        default:
            showBlockHeader();
            break;
    }
    completeRecognizedHeader();
}

void Form1Model::selectOptionWhenAutomatic(int index) {
    if (isSelected(Option1[2])) select(Option1[index]);
}

void Form1Model::applyCommand1RuleForBlockFiles() {
    if (!isChecked(Check10) && !isSelected(Option1[4])) Command1.enabled = true;
}

void Form1Model::showDerivedTimeAxis() {
    setText(Lab1OutN, formD(facts_.samplesPerIntervalOf(valOf(Text1))));
    showSampleCountAndRate();
}

void Form1Model::showSampleCountAndRate() {
    // The caption shows the count as a single, which drops digits above 10^7; the runs take
    // the exact count.
    setText(LabASn, formS(static_cast<float>(facts_.layout.sampleCount)));
    setText(Label21, formD(facts_.samplingHz));
}

void Form1Model::showStartAndTimeAxis() {
    setText(Label15[0], facts_.startDate);
    setText(Label15[1], facts_.startTime);
    setText(Label15[3], facts_.recordLength);
    setText(Label15[2], facts_.timeAxis);
}

// Position u of the recording goes to the column the channel assignment gives it.
void Form1Model::showChannelTable() {
    for (int u = 0; u < kPositions; ++u) {
        const RecordingChannel& channel = facts_.channels[u];
        setText(Label12[u], channel.name);
        Control& range = Label14[ChannelMap[u]];
        setText(range, channel.range);
        range.enabled = channel.recorded;
    }
}

void Form1Model::showRecognized() {
    FileRecognized = -1;
    Label11.visible = Text5.visible = true;
    PqCommand.enabled = ReportCommand.enabled = TrendCommand.enabled = true;
    setText(T_Div, formD(facts_.samplesPerDivision));
    setText(V_Div, formD(facts_.countsPerDivision));
}

void Form1Model::show8840Header() {
    setText(Label15[4], facts_.model);
    selectOptionWhenAutomatic(0);
    showRecognized();
    Command1.enabled = !isSelected(Option1[4]);
    Command2.enabled = true;
    showStartAndTimeAxis();
    showChannelTable();
    showDerivedTimeAxis();
    setText(LabSTim, formD(facts_.recordSeconds));
    setText(Label26, formD(facts_.preTrigger));
}

void Form1Model::showBlockHeader() {
    setText(Label15[4], facts_.model);
    selectOptionWhenAutomatic(facts_.rms() ? 3 : 1);
    showRecognized();
    applyCommand1RuleForBlockFiles();
    Command2.enabled = true;
    showStartAndTimeAxis();
    showDerivedTimeAxis();
    setText(LabSTim, formD(facts_.recordSeconds));
    setText(Label26, formD(facts_.preTrigger));
    showChannelTable();
}

void Form1Model::showLoggerHeader() {
    setText(Label15[4], facts_.model);
    setText(Label9, "ｻﾝﾌﾟﾘﾝｸﾞ間隔");
    select(Option1[4]);
    showRecognized();
    applyCommand1RuleForBlockFiles();
    Command2.enabled = true;
    showStartAndTimeAxis();
    showChannelTable();
    setText(LabSTim, formD(facts_.recordSeconds));
    setText(Lab1OutN, "1");
    showSampleCountAndRate();
    setText(Label26, formD(facts_.preTrigger));
}

void Form1Model::showUnrecognized() {
    FileRecognized = 0;
    Label11.visible = Text5.visible = false;
    PqCommand.enabled = ReportCommand.enabled = TrendCommand.enabled = false;
    if (!isSelected(Option1[4])) Command1.enabled = false;
    Command2.enabled = false;
    for (int i = 0; i < kPositions; ++i) setText(Label14[ChannelMap[i]], "");
    for (int i = 0; i < 4; ++i) setText(Label15[i], "");
}

void Form1Model::completeRecognizedHeader() {
    setText(Text2[1], formD(facts_.sampleCount - 1));
    setText(Text5, joinFolder(File1.path, facts_.proposedOutputName()));
    updateCommand4();
    refreshFftDerivedValues();
}

}  // namespace pqwave
