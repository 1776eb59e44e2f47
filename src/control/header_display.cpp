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
namespace {

// A derived value that the header cannot give (a time axis of 0, say) shows as 0, so that
// nothing of the previous file is left standing; the run that needs it refuses clearly.
std::string derivedText(double value) {
    return std::isfinite(value) ? formD(value) : "0";
}

double timeUnitFactorOfBlockHeader(const std::string& timeAxis) {
    if (contains(timeAxis, "ms")) return 1000;
    if (contains(timeAxis, "us")) return 1000000;
    if (contains(timeAxis, "min")) return 1.0 / 60;
    return 1;
}

std::string channelName(const std::string& numberField) {
    double rounded = roundHalfEven(Val(numberField));
    long n = fitsInt32(rounded) ? static_cast<long>(rounded) : 0;
    if (n > 100) return "ch" + std::to_string(n / 100) + "-" + std::to_string(n % 100) + "ﾚﾝｼﾞ";
    return "ch" + numberField + "ﾚﾝｼﾞ";
}

// The start time as "hh-mm-ss" for the proposed file name; a text that is no time is kept,
// without the characters a file name cannot hold.
std::string timeForFileName(const std::string& startTime) {
    if (auto time = TimeValue(startTime)) return formatHhMmSs(*time);
    std::string kept = startTime;
    for (char& c : kept)
        if (c == '/' || c == '\\' || c == ':') c = '-';
    return kept;
}

}  // namespace

void Form1Model::File1_Click(const std::string& fileName) {
    File1.fileName = fileName;
    InstrumentHeader header;
    try {
        header = readHeader(selectedFilePath());
    } catch (const Error& error) {
        host_->reportError(error.kind(), error.what());  // the previous file's state stays as it was
        return;
    }
    setText(Label1, selectedFilePath().string());
    LogicChannelCount = 0;
    setText(Label9, "時間軸");
    if (std::holds_alternative<UnrecognizedHeader>(header)) {
        showUnrecognized();
        return;
    }
    std::visit(
        [this](const auto& h) {
            if constexpr (!std::is_same_v<std::decay_t<decltype(h)>, UnrecognizedHeader>) showHeader(h);
        },
        header);
    completeRecognizedHeader();
}

void Form1Model::selectOptionWhenAutomatic(int index) {
    if (isSelected(Option1[2])) select(Option1[index]);
}

void Form1Model::applyCommand1RuleForBlockFiles() {
    if (!isChecked(Check10) && !isSelected(Option1[4])) Command1.enabled = true;
}

void Form1Model::showDerivedTimeAxis(double sampleCount) {
    double d = timePerDivisionNumber();
    setText(Lab1OutN, derivedText(Int(valOf(T_Div) * (valOf(Text1) / d) / 1000 * TimeUnitFactor * 1000 + 0.5) / 1000));
    showSampleCountAndRate(sampleCount);
}

void Form1Model::showSampleCountAndRate(double sampleCount) {
    double d = timePerDivisionNumber();
    double samplesPerDivision = valOf(T_Div);
    // The caption shows the count as a single, which drops digits above 10^7; the runs take
    // the exact count.
    setText(LabASn, formS(static_cast<float>(sampleCount)));
    SampleCount = roundHalfEven(sampleCount);
    setText(Label21, derivedText(Int(samplesPerDivision * (1 / d) * TimeUnitFactor * 10 + 0.5) / 10));
    double period = d / samplesPerDivision / TimeUnitFactor;
    SamplePeriod = std::isfinite(period) ? static_cast<float>(period) : 0.0f;
    double periodAtLoad = (d / TimeUnitFactor) / samplesPerDivision;
    SamplePeriodAtLoad = std::isfinite(periodAtLoad) ? periodAtLoad : 0.0;
}

void Form1Model::clearChannelPositionsFrom(int first, std::array<bool, kPositions>& channelPresent) {
    for (int i = std::max(first, 0); i < kPositions; ++i) {
        channelPresent[i] = false;
        setText(Label12[i], "ch--ﾚﾝｼﾞ");
        Control& range = Label14[ChannelMap[i]];
        setText(range, "--");
        range.enabled = false;
    }
}

void Form1Model::showHeader(const Header8840& h) {
    setText(Label15[4], "8840");
    setText(T_Div, "100");
    setText(V_Div, "80");
    selectOptionWhenAutomatic(0);
    FormatCode = 40;
    FileRecognized = -1;
    Label11.visible = Text5.visible = true;
    Command1.enabled = !isSelected(Option1[4]);
    Command2.enabled = true;

    const RecordingLayout layout = recordingLayoutOf(h);
    HeaderBlocks = layout.headerBlocks;
    setText(Label15[0], h.startDate);
    setText(Label15[1], h.startTime);
    setText(Label15[3], h.recordLength);
    setText(Label15[2], h.timePerDivision);

    std::array<bool, kPositions> channelPresent = layout.channelPresent;
    ChannelCount = layout.channelCount;
    for (int k = 0; k < 8; ++k) setText(Label12[k], "ch" + std::to_string(k + 1) + "ﾚﾝｼﾞ");
    for (int k = 0; k < 8; ++k) {
        Control& range = Label14[ChannelMap[k]];
        setText(range, h.ranges[k]);
        range.enabled = channelPresent[k];
    }
    // An 8840 file has eight positions; the rest must not keep a previous file's channels.
    clearChannelPositionsFrom(8, channelPresent);

    const std::string& timeAxis = Label15[2].text;
    TimeUnitFactor = contains(timeAxis, "m") ? 1000 : contains(timeAxis, "u") ? 1000000 : 1;
    showDerivedTimeAxis(layout.sampleCount);
    setText(LabSTim, derivedText((valOf(LabASn) - 1) / valOf(Label21)));
    setText(Label26, formD(Val(h.preTrigger)));
    RmsDataFile = 0;
}

void Form1Model::showHeader(const BlockHeader& h) {
    const HeaderBlock& g = h.general;
    const RecordingLayout layout = recordingLayoutOf(h);
    HeaderBlocks = layout.headerBlocks;
    setText(Label15[4], g[2]);

    // The option's click handler runs at once and still sees the previous file's RmsDataFile.
    selectOptionWhenAutomatic(layout.rmsDataFile == 1 ? 3 : 1);
    RmsDataFile = layout.rmsDataFile;
    FormatCode = layout.formatCode;
    FileRecognized = -1;
    Label11.visible = Text5.visible = true;
    applyCommand1RuleForBlockFiles();
    Command2.enabled = true;

    setText(T_Div, FormatCode == 80 ? "100" : formD(Val(g[10])));
    setText(V_Div, formD(Val(g[14])));
    auto date = DateValue(g[7]);
    setText(Label15[0], date ? formT(*date) : g[7]);
    setText(Label15[1], leftChars(g[8], 8));
    setText(Label15[3], formD(Val(g[5])));
    setText(Label15[2], g[11] + "/DIV");

    TimeUnitFactor = timeUnitFactorOfBlockHeader(Label15[2].text);
    showDerivedTimeAxis(layout.sampleCount);
    double d = timePerDivisionNumber();
    // The whole number: its first four characters alone would make a record of 12000
    // divisions last a tenth of its time, and the runs that take the measurement time from
    // here would leave nine tenths of it out.
    double recordLength = Val(Label15[3].text);
    setText(LabSTim, derivedText(Int(d * recordLength / TimeUnitFactor * 100 + 0.5) / 100));
    setText(Label26, formD(Val(g[19])));

    std::array<bool, kPositions> channelPresent = layout.channelPresent;
    ChannelCount = layout.channelCount;  // more than 16 the loader refuses with a message
    LogicChannelCount = layout.logicChannelCount;
    int u = 0;
    for (; u < kPositions && channelPresent[u]; ++u) {
        const HeaderBlock& block = h.channelBlocks[layout.sourceOfPosition[u]];
        setText(Label12[u], channelName(block[1]));
        Control& range = Label14[ChannelMap[u]];
        setText(range, block[4] + "/DIV");
        range.enabled = true;
    }
    clearChannelPositionsFrom(u, channelPresent);
}

void Form1Model::showHeader(const LoggerHeader& h) {
    const RecordingLayout layout = recordingLayoutOf(h);
    HeaderBlocks = layout.headerBlocks;
    setText(Label15[4], h.general[2]);
    setText(Label9, "ｻﾝﾌﾟﾘﾝｸﾞ間隔");
    select(Option1[4]);
    RmsDataFile = layout.rmsDataFile;
    FormatCode = layout.formatCode;
    FileRecognized = -1;
    Label11.visible = Text5.visible = true;
    applyCommand1RuleForBlockFiles();
    Command2.enabled = true;
    setText(T_Div, "1");
    setText(V_Div, "20000");

    setText(Label15[0], h.startDate);
    setText(Label15[1], h.startTime);
    setText(Label15[3], h.recordLength);
    setText(Label15[2], h.samplingInterval);
    ChannelCount = layout.channelCount;
    LogicChannelCount = layout.logicChannelCount;
    LoggerExtraFlag = layout.loggerExtraFlag;

    // Each recorded channel takes the next position, as in block-header files, so that a
    // switched-off channel between two recorded ones leaves no gap in the channel table.
    std::array<bool, kPositions> channelPresent = layout.channelPresent;
    int u = 0;
    for (; u < kPositions && channelPresent[u]; ++u) {
        const LoggerChannelBlock& block = h.channels[layout.sourceOfPosition[u]];
        setText(Label12[u], "ch" + formD(Val(block.number)) + "ﾚﾝｼﾞ");
        Control& range = Label14[ChannelMap[u]];
        setText(range, block.range + "/fs");
        range.enabled = true;
    }
    clearChannelPositionsFrom(u, channelPresent);

    TimeUnitFactor = timeUnitFactorOfBlockHeader(Label15[2].text);
    double d = timePerDivisionNumber();
    double recordLength = Val(leftChars(Label15[3].text, 4));
    setText(LabSTim, derivedText(Int(d * recordLength / TimeUnitFactor * 100 + 0.5) / 100));
    setText(Lab1OutN, "1");
    showSampleCountAndRate(layout.sampleCount);
    setText(Label26, formD(Val(h.preTrigger)));
}

void Form1Model::showUnrecognized() {
    FileRecognized = 0;
    Label11.visible = Text5.visible = false;
    if (!isSelected(Option1[4])) Command1.enabled = false;
    Command2.enabled = false;
    for (int i = 0; i < kPositions; ++i) setText(Label14[ChannelMap[i]], "");
    for (int i = 0; i < 4; ++i) setText(Label15[i], "");
}

void Form1Model::completeRecognizedHeader() {
    if (BatchMode == 0) setText(Text2[1], formD(SampleCount - 1));
    std::string name = rightChars(Label15[0].text, 2) + "D" + timeForFileName(Label15[1].text) + ".csv";
    setText(Text5, joinFolder(File1.path, name));
    updateCommand4();
    refreshFftDerivedValues();
}

}  // namespace pqwave
