// The main window as a plain model: every control with its caption, value and state, the
// drive, folder and file lists, and the module values the header reader, the loader and the
// analyses share. Event handlers are named after the control and the event, and run the
// same cascades the window runs; the Qt window, the CLI and the tests all drive this model.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/progress.h"
#include "control/control.h"
#include "control/host.h"
#include "input/recording.h"
#include "power/power_settings.h"

namespace pqwave {

class TextOutputFile;

inline constexpr int kPositions = 16;  // channel positions and SampleTable columns ch1..ch16

struct DriveListBox {
    std::string drive;                // the mounted volume shown
    std::vector<std::string> drives;  // every mounted volume
};

struct DirListBox {
    std::string path;
};

struct FileListBox {
    std::string path;
    std::string pattern = "*.*";
    std::vector<std::string> names;  // files of `path` matching `pattern`, sorted
    std::string fileName;            // the selected file, empty when none
};

class Form1Model {
public:
    explicit Form1Model(std::filesystem::path programFolder, Form1Host* host = nullptr);
    Form1Model(const Form1Model&) = delete;
    Form1Model& operator=(const Form1Model&) = delete;
    ~Form1Model();

    static const std::string kInformationTitle;
    static const std::string kInformationText;

    // ---- File selection and header display
    Control Label1, Label6, Label7, Label8, Label9, Label10, Label11, Label19, Label20, Label21, Label22, Label24,
        Label26, Label27, Label29, Label32, Label33, LabelAN, LabelN, LabelT, LabelmS, Label13a;
    Control T_Div, V_Div, LabASn, Lab1OutN, LabSTim;
    Control Text1, Text4, Text5, Text6, Text11, Text12;
    std::array<Control, 16> Label12;
    std::array<Control, 17> Label14;  // index 16 exists only for its change rule
    std::array<Control, 5> Label15;
    std::array<Control, 1> Label17;
    std::array<Control, 2> Label25;
    std::array<Control, 8> Label13, Label16, Text7;
    std::array<Control, 16> Text3, Label30;
    std::array<Control, 4> Label23, Label34, Label35, Label37;  // not every index exists
    std::array<Control, 3> Label36;
    std::array<Control, 2> Label38;
    std::array<Control, 2> Text2, Text8;
    std::array<Control, 4> Text9;
    std::array<Control, 3> Text10;

    // ---- Frames, options, check boxes, combo boxes, commands
    Control Frame1, Frame2, Frame3, Frame4, Frame7, Frame8;
    std::array<Control, 7> Frame5;
    std::array<Control, 2> Frame6;
    std::array<Control, 5> Option1;
    std::array<Control, 4> Option2;
    std::array<Control, 2> Option3, Option4, Option5;
    Control Check1, Check2, Check3, Check4, Check5, Check6, Check10, Check11, Check13, Check14, Check15, Check16;
    std::array<Control, 7> Check7, Check8, Check9;
    std::array<Control, 2> Check12;
    std::array<Control, 16> Check17;
    std::array<Control, 16> Combo1;
    Control Command1, Command2, Command3, Command4, Command10;
    // "電力品質解析" and its choices: Udin in volts (empty: chosen from the first 10 s) and the
    // aggregation interval.
    Control PqCommand, PqVoltsLabel, PqVolts, PqIntervalLabel, PqInterval;
    // "レポート" and "トレンド": the same measurement as a report in the browser, or as trends in
    // a window.
    Control ReportCommand, TrendCommand;

    DriveListBox Drive1;
    DirListBox Dir1;
    FileListBox File1;

    // ---- The recording: the facts of the file clicked last, and the samples in memory
    const RecordingFacts& selectedRecording() const { return facts_; }
    // The recording whose samples are in memory, when they are those of the file in Label1 as
    // the channel settings store them; nothing otherwise.
    std::shared_ptr<const Recording> loadedRecording() const;
    // The module values the window's rules read, from those facts and samples.
    int ChannelCount() const { return facts_.layout.channelCount; }
    int LogicChannelCount() const { return facts_.layout.logicChannelCount; }
    int RmsDataFile() const { return facts_.layout.rmsDataFile; }
    int FormatCode() const { return facts_.layout.formatCode; }
    double SampleCount() const { return facts_.sampleCount; }
    int HeaderBlocks() const { return facts_.layout.headerBlocks; }
    int LoggerExtraFlag() const { return facts_.layout.loggerExtraFlag; }
    double TimeUnitFactor() const { return facts_.timeUnitFactor; }
    float SamplePeriod() const { return facts_.samplePeriod; }
    double SamplePeriodAtLoad() const { return facts_.samplePeriodAtLoad; }
    const RawSampleTable& SampleTable() const;
    const std::array<float, kPositions>& ChannelScale() const;
    int LastActiveChannel() const { return recording_ ? recording_->lastActiveChannel : 0; }
    std::string LoadedFileName() const { return recording_ ? recording_->facts.fileName : std::string(); }
    int LoadCount() const { return loadCount_; }  // loads so far; views rebuild what they derive from them
    int FileRecognized = 0;
    std::array<std::int16_t, kPositions> ChannelSelection{};
    std::array<std::int16_t, kPositions> ChannelMap{};

    // ---- Analysis state
    // The running command's progress and cancel flag, read by the window and the CLI.
    Progress progress;
    float SupplyFrequency = 50;
    float RawOutputStep = 1;

    // ---- Events
    void Form_Load(int currentYear);
    void Drive1_Change(const std::string& drive);
    void Dir1_Change(const std::string& path);
    void File1_Click(const std::string& fileName);
    void File1_DblClick();
    void Option1_Click(int index);
    void Option2_Click(int index);
    void Option4_Click(int index);
    void Option5_Click(int index);
    void Text1_Change();
    void Text2_Change();
    void Text4_LostFocus();
    void Text11_Change();
    void Label14_Change(int index);
    void Label21_Change();
    void Label26_Change();
    void Lab1OutN_Change();
    void Check2_Click();
    void Check4_Click();
    void Check6_Click();
    void Check8_Click(int index);
    void Check9_Click(int index);
    void Check10_Click();
    void Check12_Click(int index);
    void Check13_Click();
    void Check14_Click();
    void Check16_Click();
    void Check17_Click(int index);
    void Combo1_Click(int index);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command10_Click();
    void PqCommand_Click();
    void ReportCommand_Click();
    void TrendCommand_Click();

    // The data loader: reads the samples of the file in Label1 into memory.
    void DTLood();
    // The samples in memory no longer fit the channel settings: the next use loads again.
    void forgetLoadedSamples();
    // DTLood unless the file in Label1 is the one in memory.
    void loadSelectedFile();

    // ---- Names, for the CLI and the tests
    const ControlSet& controls() const { return controls_; }
    Control* findControl(std::string_view name) const { return controls_.find(name); }
    Form1Host& host() { return *host_; }
    void setHost(Form1Host* host);
    const std::filesystem::path& programFolder() const { return programFolder_; }

    // The selected file's full path, as Label1 shows it.
    std::filesystem::path selectedFilePath() const;
    void refreshFileList();

    // The conversion run of "CSV変換" on the selected file. Returns its outcome, whose files are
    // complete but not yet put in place: the caller commits them.
    FileOutcome convertSelectedFile();
    // What the last "CSV変換" came to (its files in place): interval count, statistics, warnings.
    const FileOutcome* lastConversion() const { return lastConversion_ ? &*lastConversion_ : nullptr; }

private:
    void createControls();
    void placeControlsInFrames();
    void showOutcome(const struct ConversionJob& job, const FileOutcome& outcome);
    void bindEvents();
    // Header display (the File1 click)
    void showUnrecognized();
    void selectOptionWhenAutomatic(int index);
    void completeRecognizedHeader();
    void applyCommand1RuleForBlockFiles();
    void showDerivedTimeAxis();
    void showSampleCountAndRate();
    void updateCommand4();
    void refreshFftDerivedValues();
    double timePerDivisionNumber() const;

    void show8840Header();
    void showBlockHeader();
    void showLoggerHeader();
    void showRecognized();
    void showStartAndTimeAxis();
    void showChannelTable();
    ChannelSettings channelSettings() const;

    RecordingFacts facts_;
    std::optional<FileOutcome> lastConversion_;
    std::shared_ptr<const Recording> recording_;
    int loadCount_ = 0;
    std::filesystem::path programFolder_;
    Form1Host defaultHost_;
    Form1Host* host_;
    ControlSet controls_;
};

}  // namespace pqwave
