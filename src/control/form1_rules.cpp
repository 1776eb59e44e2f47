// The rules that keep the main window consistent: derived displays, enabled and visible
// states, the data-kind choice, folder navigation and the channel-assignment editor.
#include <cmath>

#include "common/numbers.h"
#include "common/text.h"
#include "common/textforms.h"
#include "control/file_lists.h"
#include "control/form1_model.h"

namespace pqwave {
namespace {

void showAll(auto& controls, bool visible) {
    for (Control& control : controls) control.visible = visible;
}

}  // namespace

// ---- Folder navigation and the data kind

void Form1Model::Drive1_Change(const std::string& drive) {
    Drive1.drive = drive;
    std::error_code ec;
    if (!std::filesystem::is_directory(drive, ec)) return;  // a drive that is not ready is ignored
    Dir1_Change(drive);
}

void Form1Model::Dir1_Change(const std::string& path) {
    Dir1.path = path;
    File1.path = path;
    refreshFileList();
    select(Option1[2]);
}

void Form1Model::refreshFileList() {
    File1.names = listMatchingFiles(File1.path, File1.pattern);
    bool stillListed = false;
    for (const std::string& name : File1.names) stillListed = stillListed || name == File1.fileName;
    if (!stillListed) File1.fileName.clear();
}

std::filesystem::path Form1Model::selectedFilePath() const {
    return joinFolder(File1.path, File1.fileName);
}

void Form1Model::Option1_Click(int index) {
    Command3.enabled = true;
    Option2[0].enabled = Option2[2].enabled = true;
    Frame2.enabled = true;
    double model = valOf(Label15[4]);
    static const char* const kPatterns[] = {"*.wav", "*.mem", "*.*", "*.rms", "*.mem"};
    bool commandsEnabled = false;
    switch (index) {
        case 0:
            commandsEnabled = model == 8840;
            break;
        case 1:
            commandsEnabled = RmsDataFile() == 0 &&
                              (model == 8835 || model == 8841 || model == 8807 || model == 8880 || model == 8861);
            break;
        case 2:
            Command3.enabled = false;
            break;
        case 3:
            commandsEnabled = RmsDataFile() == 1;
            Option2[0].enabled = Option2[2].enabled = false;
            if (isSelected(Option2[0]) || isSelected(Option2[2])) select(Option2[1]);
            break;
        case 4:
            commandsEnabled = model == 8420;
            select(Option2[1]);
            Frame2.enabled = false;
            break;
    }
    Command1.enabled = Command2.enabled = commandsEnabled;
    File1.pattern = kPatterns[index];
    refreshFileList();
    if (index == 3 || index == 4) {
        Check11.enabled = true;
    } else {
        setValue(Check11, 0);
        Check11.enabled = false;
    }
    updateCommand4();
    if (model != 8420 && index == 4) Command1.enabled = false;
}

void Form1Model::updateCommand4() {
    Command4.enabled = isSelected(Option2[0]) && Command1.enabled;
}

// ---- Processing choice and its options

void Form1Model::Option2_Click(int index) {
    const bool rms = index == 0, raw = index == 1, pq = index == 2, channelFft = index == 3;
    Frame3.visible = rms || pq;
    Frame4.visible = raw;
    if (rms) Text1.enabled = Check1.enabled = Check3.enabled = true;
    if (pq || channelFft) Text1.enabled = Check1.enabled = Check3.enabled = false;
    showAll(Frame5, rms || pq);
    for (int i = 0; i < 2; ++i) {
        Check12[i].visible = rms;
        if (!rms) setValue(Check12[i], 0);
    }
    Check4.visible = channelFft;
    if (!channelFft) setValue(Check4, 0);

    bool scalingShown = index % 2 == 0;
    showAll(Text7, scalingShown);
    showAll(Label13, scalingShown);
    showAll(Label16, scalingShown);
    Label29.visible = !scalingShown;
    showAll(Text3, !scalingShown);
    showAll(Label30, !scalingShown);

    if (channelFft) {
        setValue(Check11, 0);
        Check11.enabled = false;
    } else {
        Check11.enabled = isSelected(Option1[3]) || isSelected(Option1[4]);
    }
    updateCommand4();
}

void Form1Model::Option4_Click(int index) {
    bool reverse = index == 1;
    for (int i = 0; i < kMaxCircuits; ++i) {
        Check8[i].text = reverse ? "Y-Δ-30" : "Y-Δ+30";
        Check9[i].text = reverse ? "Y-Δ+30" : "Y-Δ-30";
    }
}

void Form1Model::Option5_Click(int index) {
    if (index == 1) {
        setText(Text1, formD(1000.0 / 60.0));
        SupplyFrequency = 60;
    } else {
        setText(Text1, "20");
        SupplyFrequency = 50;
    }
}

// ---- Derived displays

double Form1Model::timePerDivisionNumber() const {
    return Val(leftChars(Label15[2].text, 3));
}

void Form1Model::Text1_Change() {
    if (valOf(Text1) == 0) setText(Text1, "1");
    double d = timePerDivisionNumber();
    if (d > 0) setText(Lab1OutN, formD(valOf(T_Div) * (valOf(Text1) / d) / 1000 * TimeUnitFactor()));
    Check5.enabled = valOf(Text1) == 20;
}

void Form1Model::Lab1OutN_Change() {
    setText(Lab1OutN, formS(static_cast<float>(valOf(Lab1OutN))));
}

void Form1Model::Text4_LostFocus() {
    double step = valOf(Text4);
    if (step < 1) {
        setText(Text4, "1");
        RawOutputStep = 1;
    } else {
        RawOutputStep = static_cast<float>(step);
    }
    Text2_Change();
}

void Form1Model::Text2_Change() {
    double count = Int((valOf(Text2[1]) - valOf(Text2[0]) + 1) / RawOutputStep);
    setText(Label24, formD(count));
}

void Form1Model::Text11_Change() {
    refreshFftDerivedValues();
}

void Form1Model::refreshFftDerivedValues() {
    double fs = valOf(Label21);
    if (!(fs > 0)) return;
    setText(Label38[1], formD(std::pow(2.0, valOf(Text11))));
    setText(Label38[0], formD((1000 / fs) * valOf(Label38[1])));
    if (!isChecked(Check14)) setText(Text10[2], formD(1 / valOf(Label38[0])));
}

void Form1Model::Label21_Change() {
    Check13.enabled = valOf(Label21) >= 200;
    setText(Text10[1], formD(valOf(Label21) / 2000));
}

void Form1Model::Label14_Change(int index) {
    if (index == 16) setText(Text2[1], formD(SampleCount() - 1));
}

void Form1Model::Label26_Change() {
    if (FormatCode() == 20) {
        setText(Text2[0], "0");
        return;
    }
    double start = valOf(Label26) * (valOf(LabASn) / 100) - valOf(Label21) / 25;
    if (roundHalfEven(start) > 0) setText(Text2[0], "0");
}

// ---- Check boxes

void Form1Model::Check2_Click() {
    Option4[0].enabled = Option4[1].enabled = !isChecked(Check2);
}

void Form1Model::Check4_Click() {
    Frame8.visible = isChecked(Check4);
}

void Form1Model::Check6_Click() {
    Frame7.visible = isChecked(Check6);
}

void Form1Model::Check8_Click(int index) {
    Check9[index].enabled = !isChecked(Check8[index]);
}

void Form1Model::Check9_Click(int index) {
    Check8[index].enabled = !isChecked(Check9[index]);
}

void Form1Model::Check10_Click() {
    Command1.enabled = isChecked(Check10) ? false : !Label1.text.empty();
}

void Form1Model::Check12_Click(int index) {
    Frame6[index].visible = isChecked(Check12[index]);
}

void Form1Model::Check13_Click() {
    bool on = isChecked(Check13);
    for (Control* box : {&Check1, &Check3, &Check5}) {
        if (on) setValue(*box, 0);
        box->enabled = !on;
    }
}

void Form1Model::Check14_Click() {
    Text10[2].enabled = isChecked(Check14);
}

// ---- Channel assignment

void Form1Model::Check16_Click() {
    bool editing = isChecked(Check16);
    for (int j = 0; j < kPositions; ++j) {
        Combo1[j].visible = Check17[j].visible = editing;
        Label12[j].visible = !editing;
    }
    if (editing) return;
    bool changed = false;
    for (int j = 0; j < kPositions; ++j) {
        changed = changed || ChannelSelection[j] != j;
        ChannelSelection[j] = ChannelMap[j] = static_cast<std::int16_t>(j);
        Combo1[j].value = j;
        Combo1[j].text = Combo1[j].items[j];
    }
    // The box also decides the block order of 8840 files, so the samples must be read again.
    forgetLoadedSamples();
    if (changed && !File1.fileName.empty()) File1_Click(File1.fileName);
}

void Form1Model::Check17_Click(int) {
    forgetLoadedSamples();
}

void Form1Model::Combo1_Click(int index) {
    int chosen = Combo1[index].value;
    int previous = ChannelSelection[index];
    for (int i = 0; i < kPositions; ++i)
        if (i != index && ChannelSelection[i] == chosen) setListIndex(Combo1[i], previous);
    ChannelSelection[index] = static_cast<std::int16_t>(chosen);
    for (int j = 0; j < kPositions; ++j)
        if (ChannelSelection[j] >= 0 && ChannelSelection[j] < kPositions)
            ChannelMap[ChannelSelection[j]] = static_cast<std::int16_t>(j);
    // The samples in memory were stored under the old assignment.
    forgetLoadedSamples();
    if (!File1.fileName.empty()) File1_Click(File1.fileName);
}

// ---- Commands that belong to later parts of the program

void Form1Model::Command10_Click() {
    host_->endProgram();
}

}  // namespace pqwave
