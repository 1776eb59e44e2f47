// The main window as a plain model: every control with its caption, value and state, the
// drive, folder and file lists, and the module values the header reader, the loader and the
// analyses share. Event handlers are named after the control and the event, and run the
// same cascades the window runs; the Qt window, the CLI and the tests all drive this model.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "batch/file_statistics.h"
#include "batch/rms_statistics.h"
#include "common/progress.h"
#include "control/control.h"
#include "control/host.h"
#include "input/header.h"
#include "input/sample_table.h"
#include "power/power_settings.h"
#include "spectrum/moving_fft.h"

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

    DriveListBox Drive1;
    DirListBox Dir1;
    FileListBox File1;

    // ---- Recording in memory (header reader and loader)
    RawSampleTable SampleTable;
    std::array<float, kPositions> ChannelScale{};
    std::array<float, 48> ChannelCalibration{};
    int ChannelCount = 0;
    int LogicChannelCount = 0;
    int RmsDataFile = 0;
    int FormatCode = 0;
    double SampleCount = 0;  // samples per channel, exactly as the header gives them
    int HeaderBlocks = 0;
    int LoggerExtraFlag = 0;
    double TimeUnitFactor = 1;
    float SamplePeriod = 0;
    double SamplePeriodAtLoad = 0;
    int FileRecognized = 0;
    int LastActiveChannel = 0;
    std::string LoadedFileName;
    int LoadCount = 0;  // loads into SampleTable so far; views rebuild what they derive from it
    std::array<std::int16_t, kPositions> ChannelSelection{};
    std::array<std::int16_t, kPositions> ChannelMap{};

    // ---- Analysis state
    // The running command's progress and cancel flag, read by the window and the CLI.
    Progress progress;
    float SupplyFrequency = 50;
    float RawOutputStep = 1;
    int BatchMode = 0;
    std::int32_t IntervalCount = 0;
    // The statistics the all-files run keeps of the file just converted.
    PowerFileStatistics FileStatistics;  // VStat, IStat, ... of the RMS and power analyses
    RmsFileStatistics RmsStatistics;     // RmsStat of an RMS recording's raw-data conversion
    std::vector<float> IntervalFrequency;
    // The moving-FFT summary files the all-files run has started; it clears this when it starts,
    // so each run heads its summary files afresh.
    MovingFftSummaries movingFftSummaries;

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

    // The data loader: reads the samples of the file in Label1 into SampleTable.
    void DTLood();
    // DTLood unless the file in Label1 is the one in memory.
    void loadSelectedFile();
    // Refuses a loaded recording that no conversion can scale: no analog channel, or a count
    // per division (V_Div) of 0 or no number.
    void requireConvertibleRecording() const;

    // ---- Names, for the CLI and the tests
    const std::vector<Control*>& controls() const { return controls_; }
    Control* findControl(std::string_view name);
    Form1Host& host() { return *host_; }
    void setHost(Form1Host* host);
    const std::filesystem::path& programFolder() const { return programFolder_; }

    // The selected file's full path, as Label1 shows it.
    std::filesystem::path selectedFilePath() const;
    void refreshFileList();

    // The conversion run of "CSV変換" on the selected file. Returns its output file, complete
    // but not yet renamed into place (nothing when the run writes none): the caller commits it,
    // so the all-files run can put outputs in place in the file list's order.
    std::unique_ptr<TextOutputFile> convertSelectedFile();

private:
    void createControls();
    void bindEvents();
    void registerControl(Control& control, std::string name, ControlKind kind, std::string text = "");
    template <std::size_t N>
    void registerArray(std::array<Control, N>& array, std::string_view name, ControlKind kind,
                       const std::string& text = "");
    template <std::size_t N>
    void registerIndexes(std::array<Control, N>& array, std::string_view name, ControlKind kind,
                         std::initializer_list<int> indexes, const std::string& text = "");

    // Header display (the File1 click)
    void showHeader(const Header8840& header);
    void showHeader(const BlockHeader& header);
    void showHeader(const LoggerHeader& header);
    void showUnrecognized();
    void selectOptionWhenAutomatic(int index);
    void completeRecognizedHeader();
    void applyCommand1RuleForBlockFiles();
    void showDerivedTimeAxis(double sampleCount);
    void showSampleCountAndRate(double sampleCount);
    void clearChannelPositionsFrom(int first, std::array<bool, kPositions>& channelPresent);
    void updateCommand4();
    void refreshFftDerivedValues();
    double timePerDivisionNumber() const;

    std::filesystem::path programFolder_;
    Form1Host defaultHost_;
    Form1Host* host_;
    std::vector<Control*> controls_;
};

}  // namespace pqwave
