// The main window driven through its real widgets on the offscreen platform: the view must
// show every control of the model as the model holds it, and every user action must reach
// the model's handler and bring the whole window up to date.
#include "control/qt/form1_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

#include "common/error.h"
#include "control/form1_model.h"
#include "control/qt/qt_host.h"
#include "tools/recording_generator.h"

namespace pqwave {
namespace {

namespace fs = std::filesystem;

struct RecordingHost : Form1Host {
    struct Message {
        std::string title, text;
    };
    std::vector<Message> messages;
    std::vector<std::pair<ErrorKind, std::string>> errors;
    std::vector<std::string> warnings;
    int endProgramCalls = 0;

    void showMessage(const std::string& title, const std::string& text) override { messages.push_back({title, text}); }
    void reportError(ErrorKind kind, const std::string& message) override { errors.emplace_back(kind, message); }
    void reportWarning(const std::string& message) override { warnings.push_back(message); }
    void endProgram() override { ++endProgramCalls; }
};

struct ChannelBlock {
    std::string number;
    std::string range;
};

// A block-header recording as an 8841 writes it, 2000 samples at 5 ms per division, made by
// the project's recording generator.
void writeBlockHeaderFile(const fs::path& file, const std::vector<ChannelBlock>& channels) {
    gen::RecordingSpec spec;
    spec.sampleCount = 2000;
    spec.channels.clear();
    for (const ChannelBlock& block : channels) {
        gen::ChannelSpec channel;
        channel.number = block.number;
        channel.range = block.range;
        spec.channels.push_back(channel);
    }
    gen::writeRecording(spec, file);
}

void writeTextFile(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

// Where a user clicks a check box or an option button: on its indicator, which is inside
// the button whatever width the layout gives it.
QPoint indicatorOf(QWidget* button) {
    return QPoint(6, button->height() / 2);
}

QString shownText(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text().replace("&&", "&");
    if (auto* frame = qobject_cast<QGroupBox*>(widget)) return frame->title().replace("&&", "&");
    if (auto* combo = qobject_cast<QComboBox*>(widget)) return combo->currentText();
    return {};
}

QStringList itemTexts(QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    return texts;
}

// Controls the model keeps for its rules alone: the range label at index 16 only carries a
// change rule, and Text9(2) is read by no computation.
const std::set<std::string> kModelOnly = {"Label14(16)", "Text9(2)"};

class Form1WindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

    fs::path folder() const { return fs::path(folder_.path().toStdString()); }

    // Opens the window on the test folder, as the program opens on its own folder.
    void open() {
        model_ = std::make_unique<Form1Model>(folder(), &host_);
        window_ = std::make_unique<Form1>(*model_);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        window_->load(2024);
    }

    template <typename W = QWidget>
    W* widget(const char* name) {
        W* found = window_->findChild<W*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    bool shown(const char* name) { return widget(name)->isVisible(); }

    void clickButton(const char* name) {
        QWidget* button = widget(name);
        QTest::mouseClick(button, Qt::LeftButton, {}, indicatorOf(button));
    }

    void typeInto(const char* name, const QString& text) {
        auto* edit = widget<QLineEdit>(name);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
    }

    QListWidgetItem* itemNamed(QListWidget* list, const QString& text) {
        auto items = list->findItems(text, Qt::MatchExactly);
        EXPECT_EQ(items.size(), 1) << text.toStdString();
        return items.isEmpty() ? nullptr : items.front();
    }

    void clickFile(const QString& name) {
        QListWidget* list = window_->fileList();
        QListWidgetItem* item = itemNamed(list, name);
        ASSERT_NE(item, nullptr);
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    }

    void doubleClickItem(QListWidget* list, const QString& text) {
        QListWidgetItem* item = itemNamed(list, text);
        ASSERT_NE(item, nullptr);
        list->scrollToItem(item);
        QPoint at = list->visualItemRect(item).center();
        // A user's double click is a click followed by a second press the system marks as double.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }

    QTemporaryDir folder_;
    RecordingHost host_;
    std::unique_ptr<Form1Model> model_;
    std::unique_ptr<Form1> window_;
};

// ---- What the window shows when it opens

using Form1Startup = Form1WindowTest;

TEST_F(Form1Startup, GivesEveryControlAWidgetNamedAfterIt) {
    open();
    for (const Control* control : model_->controls()) {
        if (kModelOnly.count(control->name)) continue;
        QWidget* shownBy = window_->widgetFor(*control);
        ASSERT_NE(shownBy, nullptr) << control->name;
        EXPECT_EQ(shownBy->objectName().toStdString(), control->name);
        EXPECT_EQ(window_->findChild<QWidget*>(shownBy->objectName()), shownBy) << control->name;
    }
}

TEST_F(Form1Startup, ShowsEachControlsCaptionTextAndState) {
    open();
    for (const Control* control : model_->controls()) {
        if (kModelOnly.count(control->name)) continue;
        QWidget* shownBy = window_->widgetFor(*control);
        EXPECT_EQ(shownText(shownBy).toStdString(), control->text) << control->name;
        EXPECT_EQ(shownBy->isEnabled(), control->enabled) << control->name;
        EXPECT_EQ(!shownBy->isHidden(), control->visible) << control->name;
        if (auto* button = qobject_cast<QAbstractButton*>(shownBy); button && button->isCheckable()) {
            EXPECT_EQ(button->isChecked(), control->value != 0) << control->name;
        }
    }
}

TEST_F(Form1Startup, ShowsTheCaptionsOfTheMainWindow) {
    open();
    EXPECT_EQ(window_->windowTitle(), "pqwave");
    const std::pair<const char*, const char*> captions[] = {
        {"Command1", "CSV変換"},
        {"Command3", "全ﾌｧｲﾙ処理"},
        {"Command2", "波形表示"},
        {"Command4", "ﾍﾞｸﾄﾙ表示"},
        {"Command10", "終了"},
        {"Frame2", "処理内容"},
        {"Frame1", "データ"},
        {"Frame3", "実効値演算"},
        {"Frame4", "生データ出力"},
        {"Frame8", "時間移動FFT"},
        {"Option1(2)", "自動"},
        {"Option2(3)", "CHデータFFT"},
        {"Check16", "Ch入替・個別反転"},
        {"Check17(15)", "反転"},
        {"Label12(15)", "ch16ﾚﾝｼﾞ"},
        {"Label6", "測定開始年月日"},
        {"Label29", "乗率"},
        {"Label10", "データ解析中"},
        {"Frame5(6)", "回路7"},
        {"Check8(0)", "Y-Δ+30"},
        {"Label13(0)", "ＰＴ比"},
    };
    for (const auto& [name, caption] : captions) EXPECT_EQ(shownText(widget(name)), QString::fromUtf8(caption)) << name;
    for (const char* fixed : {"ドライブ", "ディレクトリー", "ファイル", "選択ファイル名", "年"}) {
        bool found = false;
        for (QLabel* label : window_->findChildren<QLabel*>())
            found = found || label->text() == QString::fromUtf8(fixed);
        EXPECT_TRUE(found) << fixed;
    }
    auto* combo = widget<QComboBox>("Combo1(3)");
    ASSERT_EQ(combo->count(), 16);
    EXPECT_EQ(combo->itemText(0), "Ch 1");
    EXPECT_EQ(combo->itemText(9), "Ch10");
    EXPECT_EQ(combo->itemText(15), "Ch16");
}

TEST_F(Form1Startup, StartsWithTheDefaultSettings) {
    open();
    EXPECT_TRUE(widget<QRadioButton>("Option1(2)")->isChecked());
    for (const char* other : {"Option1(0)", "Option1(1)", "Option1(3)", "Option1(4)"})
        EXPECT_FALSE(widget<QRadioButton>(other)->isChecked()) << other;
    EXPECT_TRUE(widget<QRadioButton>("Option2(0)")->isChecked());
    for (const char* command : {"Command1", "Command2", "Command3", "Command4"})
        EXPECT_FALSE(widget(command)->isEnabled()) << command;
    EXPECT_TRUE(widget("Command10")->isEnabled());
    EXPECT_TRUE(shown("Frame3"));
    EXPECT_FALSE(shown("Frame4"));
    EXPECT_FALSE(shown("Check4"));
    EXPECT_FALSE(shown("Text5"));
    EXPECT_FALSE(shown("Label10"));
    EXPECT_EQ(widget<QLineEdit>("Text1")->text(), "20");
    EXPECT_EQ(widget<QLineEdit>("Text7(0)")->text(), "60");
    EXPECT_EQ(widget<QLineEdit>("Text7(7)")->text(), "200");
    EXPECT_EQ(widget<QLineEdit>("Text6")->text(), "2024");
    EXPECT_FALSE(widget("Check11")->isEnabled());
    for (int j = 0; j < kPositions; ++j) {
        std::string name = "Combo1(" + std::to_string(j) + ")";
        EXPECT_EQ(widget<QComboBox>(name.c_str())->currentIndex(), j);
        EXPECT_FALSE(shown(name.c_str()));
    }
}

TEST_F(Form1Startup, ShowsTheInformationMessageOnce) {
    open();
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].title, "ソフトウェアについて");
    EXPECT_EQ(host_.messages[0].text, Form1Model::kInformationText);
}

TEST_F(Form1Startup, ListsTheFilesAndFoldersOfTheProgramFolder) {
    writeTextFile(folder() / "B.MEM", "x");
    writeTextFile(folder() / "a.wav", "x");
    fs::create_directory(folder() / "card");
    fs::create_directory(folder() / ".hidden");
    open();
    EXPECT_EQ(itemTexts(window_->fileList()), QStringList({"a.wav", "B.MEM"}));
    EXPECT_EQ(itemTexts(window_->folderList()), QStringList({"..", "card"}));
    EXPECT_EQ(widget<QLabel>("Dir1.Path")->text().toStdString(), folder().string());
    QComboBox* drives = window_->driveList();
    EXPECT_EQ(drives->count(), static_cast<int>(model_->Drive1.drives.size()));
    EXPECT_EQ(drives->currentText().toStdString(), model_->Drive1.drive);
}

TEST_F(Form1Startup, CaptionsUseAFontWithJapaneseGlyphs) {
    open();
    QFontMetrics metrics(widget("Frame2")->font());
    for (char32_t c : {U'処', U'ﾌ', U'ァ', U'Δ'}) EXPECT_TRUE(metrics.inFontUcs4(c)) << static_cast<unsigned>(c);
}

// On a 1024 x 768 screen every control the window shows lies in view, whichever processing's
// options are showing: nothing needs the scroll bars.
TEST_F(Form1Startup, ShowsEveryControlInViewOnA1024By768Screen) {
    std::vector<ChannelBlock> channels;
    for (int k = 1; k <= 16; ++k) channels.push_back({std::to_string(k), k <= 2 ? "100V" : "50mV"});
    writeBlockHeaderFile(folder() / "06D13-45-30_A_LONG_NAME.MEM", channels);
    open();
    clickFile("06D13-45-30_A_LONG_NAME.MEM");
    window_->resize(1024, 768);
    auto* scroll = qobject_cast<QScrollArea*>(window_->centralWidget());
    ASSERT_NE(scroll, nullptr);
    auto allInView = [&](const char* state) {
        QApplication::processEvents();
        const QRect view = scroll->viewport()->rect();
        int shown = 0;
        for (const Control* control : model_->controls()) {
            QWidget* widget = window_->widgetFor(*control);
            if (!widget || !widget->isVisible()) continue;
            ++shown;
            const QRect at(widget->mapTo(scroll->viewport(), QPoint(0, 0)), widget->size());
            EXPECT_TRUE(view.contains(at)) << state << ": " << control->name << " at " << at.x() << "," << at.y() << " "
                                           << at.width() << "x" << at.height();
        }
        EXPECT_GT(shown, 100) << state;
        EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible()) << state;
        EXPECT_FALSE(scroll->verticalScrollBar()->isVisible()) << state;
    };
    allInView("実効値演算");
    clickButton("Check12(0)");
    clickButton("Check12(1)");
    allInView("補償前電圧, 理論補償値");
    clickButton("Option2(1)");
    clickButton("Check16");
    allInView("生データ出力, Ch入替");
    clickButton("Option2(3)");
    clickButton("Check4");
    allInView("CHデータFFT, 時間移動FFT");
}

// ---- Processing choice and its options

using Form1ProcessingChoice = Form1WindowTest;

TEST_F(Form1ProcessingChoice, RawDataOutputShowsFrame4AndTheMultipliers) {
    open();
    clickButton("Option2(1)");
    EXPECT_EQ(model_->Option2[1].value, 1);
    EXPECT_TRUE(widget<QRadioButton>("Option2(1)")->isChecked());
    EXPECT_FALSE(widget<QRadioButton>("Option2(0)")->isChecked());
    EXPECT_TRUE(shown("Frame4"));
    EXPECT_FALSE(shown("Frame3"));
    EXPECT_TRUE(shown("Label29"));
    EXPECT_TRUE(shown("Text3(15)"));
    EXPECT_FALSE(shown("Text7(0)"));
    EXPECT_FALSE(shown("Label13(0)"));

    clickButton("Option2(0)");
    EXPECT_TRUE(shown("Frame3"));
    EXPECT_FALSE(shown("Frame4"));
    EXPECT_TRUE(shown("Text7(0)"));
    EXPECT_FALSE(shown("Text3(0)"));
}

TEST_F(Form1ProcessingChoice, ChannelFftShowsCheck4AndClearsTimeStatistics) {
    open();
    clickButton("Option1(3)");
    ASSERT_TRUE(widget("Check11")->isEnabled());
    clickButton("Check11");
    ASSERT_TRUE(widget<QCheckBox>("Check11")->isChecked());

    clickButton("Option2(3)");
    EXPECT_TRUE(shown("Check4"));
    EXPECT_FALSE(widget<QCheckBox>("Check11")->isChecked());
    EXPECT_FALSE(widget("Check11")->isEnabled());
    EXPECT_EQ(model_->Check11.value, 0);
    EXPECT_FALSE(shown("Frame3"));
    EXPECT_FALSE(shown("Frame4"));
    EXPECT_FALSE(shown("Frame8"));

    clickButton("Check4");
    EXPECT_TRUE(shown("Frame8"));
    clickButton("Check4");
    EXPECT_FALSE(shown("Frame8"));
}

TEST_F(Form1ProcessingChoice, ClickingTheSelectedOptionKeepsItSelected) {
    open();
    clickButton("Option2(0)");
    EXPECT_TRUE(widget<QRadioButton>("Option2(0)")->isChecked());
    EXPECT_EQ(model_->Option2[0].value, 1);
}

TEST_F(Form1ProcessingChoice, OptionsOfDifferentGroupsDoNotExcludeEachOther) {
    open();
    clickButton("Option5(1)");
    clickButton("Option4(1)");
    EXPECT_TRUE(widget<QRadioButton>("Option5(1)")->isChecked());
    EXPECT_TRUE(widget<QRadioButton>("Option4(1)")->isChecked());
    EXPECT_TRUE(widget<QRadioButton>("Option3(0)")->isChecked());
    EXPECT_TRUE(widget<QRadioButton>("Option2(0)")->isChecked());
}

TEST_F(Form1ProcessingChoice, SupplyFrequencyRewritesTheOutputInterval) {
    open();
    clickButton("Option5(1)");
    EXPECT_EQ(widget<QLineEdit>("Text1")->text(), "16.6666666666667");
    EXPECT_FALSE(widget("Check5")->isEnabled());
    clickButton("Option5(0)");
    EXPECT_EQ(widget<QLineEdit>("Text1")->text(), "20");
    EXPECT_TRUE(widget("Check5")->isEnabled());
}

TEST_F(Form1ProcessingChoice, RmsOptionsShowAndEnableWhatTheyGovern) {
    open();
    clickButton("Check6");
    EXPECT_TRUE(shown("Frame7"));
    clickButton("Check2");
    EXPECT_FALSE(widget("Option4(0)")->isEnabled());
    EXPECT_FALSE(widget("Option4(1)")->isEnabled());
    clickButton("Check12(1)");
    EXPECT_TRUE(shown("Frame6(1)"));
    EXPECT_FALSE(shown("Frame6(0)"));
    clickButton("Check8(2)");
    EXPECT_FALSE(widget("Check9(2)")->isEnabled());
    EXPECT_TRUE(widget("Check9(3)")->isEnabled());
}

// ---- Text boxes

using Form1TextBoxes = Form1WindowTest;

TEST_F(Form1TextBoxes, TypedTextReachesTheModel) {
    open();
    typeInto("Text7(0)", "110");
    EXPECT_EQ(model_->Text7[0].text, "110");
    typeInto("Text5", "/tmp/out.csv");
    EXPECT_EQ(model_->Text5.text, "/tmp/out.csv");
}

TEST_F(Form1TextBoxes, AZeroOutputIntervalBecomesOne) {
    open();
    typeInto("Text1", "0");
    EXPECT_EQ(widget<QLineEdit>("Text1")->text(), "1");
    EXPECT_EQ(model_->Text1.text, "1");
}

TEST_F(Form1TextBoxes, LeavingTheStepBoxRecountsTheRawOutputRows) {
    open();
    clickButton("Option2(1)");
    typeInto("Text2(0)", "0");
    typeInto("Text2(1)", "9");
    typeInto("Text4", "3");
    EXPECT_EQ(widget<QLabel>("Label24")->text(),
              "10");  // the step applies only when the box is left
    QTest::keyClick(widget("Text4"), Qt::Key_Return);
    EXPECT_EQ(widget<QLabel>("Label24")->text(), "3");

    typeInto("Text4", "0.5");
    QTest::keyClick(widget("Text4"), Qt::Key_Return);
    EXPECT_EQ(widget<QLineEdit>("Text4")->text(), "1");
    EXPECT_EQ(widget<QLabel>("Label24")->text(), "10");
}

// ---- Channel assignment

using Form1ChannelAssignment = Form1WindowTest;

TEST_F(Form1ChannelAssignment, TickingCheck16ShowsTheListsInPlaceOfTheNames) {
    open();
    clickButton("Check16");
    for (const char* name : {"Combo1(0)", "Check17(0)", "Combo1(15)", "Check17(15)"}) EXPECT_TRUE(shown(name)) << name;
    EXPECT_FALSE(shown("Label12(0)"));
    EXPECT_FALSE(shown("Label12(15)"));
    clickButton("Check16");
    EXPECT_FALSE(shown("Combo1(0)"));
    EXPECT_TRUE(shown("Label12(0)"));
}

TEST_F(Form1ChannelAssignment, ChoosingAChannelMovesItsFormerPosition) {
    open();
    clickButton("Check16");
    auto* first = widget<QComboBox>("Combo1(0)");
    QTest::keyClick(first, Qt::Key_Down);  // "Ch 2"
    EXPECT_EQ(model_->ChannelSelection[0], 1);
    EXPECT_EQ(first->currentText(), "Ch 2");
    EXPECT_EQ(widget<QComboBox>("Combo1(1)")->currentText(), "Ch 1");
    EXPECT_EQ(model_->ChannelMap[0], 1);
}

// ---- File selection

using Form1FileSelection = Form1WindowTest;

TEST_F(Form1FileSelection, ClickingABlockHeaderFileShowsItsHeader) {
    writeBlockHeaderFile(folder() / "REC0001.MEM", {{"1", "100V"}, {"2", "20A"}});
    open();
    clickFile("REC0001.MEM");
    EXPECT_TRUE(host_.errors.empty());
    EXPECT_EQ(widget<QLabel>("Label15(4)")->text(), "8841");
    EXPECT_EQ(widget<QLabel>("Label15(0)")->text(), "2024/05/06");
    EXPECT_EQ(widget<QLabel>("Label15(1)")->text(), "13:45:30");
    EXPECT_EQ(widget<QLabel>("Label15(2)")->text(), "5ms/DIV");
    EXPECT_EQ(widget<QLabel>("Label21")->text(), "20000");
    EXPECT_EQ(widget<QLabel>("LabASn")->text(), "2000");
    EXPECT_EQ(widget<QLabel>("T_Div")->text(), "100");
    EXPECT_EQ(widget<QLabel>("V_Div")->text(), "1600");
    EXPECT_EQ(widget<QLabel>("Label14(0)")->text(), "100V/DIV");
    EXPECT_EQ(widget<QLabel>("Label14(1)")->text(), "20A/DIV");
    EXPECT_EQ(widget<QLabel>("Label12(2)")->text(), "ch--ﾚﾝｼﾞ");
    EXPECT_FALSE(widget("Label14(2)")->isEnabled());
    EXPECT_EQ(widget<QLabel>("Label1")->text().toStdString(), (folder() / "REC0001.MEM").string());
    EXPECT_TRUE(shown("Text5"));
    EXPECT_TRUE(shown("Label11"));
    EXPECT_TRUE(widget<QLineEdit>("Text5")->text().endsWith("06D13-45-30.csv"));
    EXPECT_TRUE(widget<QRadioButton>("Option1(1)")->isChecked());
    EXPECT_TRUE(widget("Command1")->isEnabled());
    EXPECT_TRUE(widget("Command4")->isEnabled());
    ASSERT_NE(window_->fileList()->currentItem(), nullptr);
    EXPECT_EQ(window_->fileList()->currentItem()->text(), "REC0001.MEM");
}

TEST_F(Form1FileSelection, ClickingAn8840FileOrALoggerFileShowsItsHeader) {
    gen::RecordingSpec wave;
    wave.layout = 40;
    wave.channels.assign(3, gen::ChannelSpec{});
    wave.timePerDivision = "50ms";
    gen::writeRecording(wave, folder() / "WAVE.WAV");
    gen::RecordingSpec logger;
    logger.layout = 20;
    logger.timePerDivision = "1s";
    logger.channels.assign(2, gen::ChannelSpec{});
    for (auto& channel : logger.channels) channel.range = "1V";
    gen::writeRecording(logger, folder() / "LOG.MEM");
    open();

    clickFile("WAVE.WAV");
    EXPECT_EQ(widget<QLabel>("Label15(4)")->text(), "8840");
    EXPECT_EQ(widget<QLabel>("V_Div")->text(), "80");
    EXPECT_EQ(widget<QLabel>("Label21")->text(), "2000");
    EXPECT_EQ(widget<QLabel>("Label14(2)")->text(), "100V/DIV  ");
    EXPECT_EQ(widget<QLabel>("Label12(7)")->text(), "ch8ﾚﾝｼﾞ");
    EXPECT_TRUE(widget<QRadioButton>("Option1(0)")->isChecked());

    select(model_->Option1[2]);  // back to "自動", which lists every file
    window_->refresh();
    clickFile("LOG.MEM");
    EXPECT_EQ(widget<QLabel>("Label9")->text(), "ｻﾝﾌﾟﾘﾝｸﾞ間隔");
    EXPECT_EQ(widget<QLabel>("Label15(4)")->text(), "8420");
    EXPECT_EQ(widget<QLabel>("Label21")->text(), "1");
    EXPECT_EQ(widget<QLabel>("Label14(1)")->text(), "1V/fs");
    EXPECT_TRUE(widget<QRadioButton>("Option1(4)")->isChecked());
    EXPECT_TRUE(widget<QRadioButton>("Option2(1)")->isChecked());
    EXPECT_FALSE(widget("Frame2")->isEnabled());
}

TEST_F(Form1FileSelection, ClickingAnUnrecognisedFileEmptiesTheHeader) {
    writeBlockHeaderFile(folder() / "REC0001.MEM", {{"1", "100V"}});
    writeTextFile(folder() / "NOTES.MEM", std::string(1024, 'x'));
    open();
    clickFile("REC0001.MEM");
    clickFile("NOTES.MEM");
    EXPECT_TRUE(host_.errors.empty());
    EXPECT_FALSE(shown("Text5"));
    EXPECT_FALSE(widget("Command1")->isEnabled());
    EXPECT_FALSE(widget("Command2")->isEnabled());
    EXPECT_EQ(widget<QLabel>("Label15(0)")->text(), "");
    EXPECT_EQ(widget<QLabel>("Label14(0)")->text(), "");
}

TEST_F(Form1FileSelection, AShortHeaderIsReportedAndThePreviousFileStays) {
    writeBlockHeaderFile(folder() / "REC0001.MEM", {{"1", "100V"}});
    writeBlockHeaderFile(folder() / "REC0002.MEM", {{"1", "500mV"}, {"2", "20A"}, {"3", "20A"}});
    fs::resize_file(folder() / "REC0002.MEM", 700);
    open();
    clickFile("REC0001.MEM");
    clickFile("REC0002.MEM");
    ASSERT_EQ(host_.errors.size(), 1u);
    EXPECT_EQ(host_.errors[0].first, ErrorKind::Malformed);
    EXPECT_NE(host_.errors[0].second.find("REC0002.MEM"), std::string::npos);
    EXPECT_EQ(widget<QLabel>("Label14(0)")->text(), "100V/DIV");
    EXPECT_TRUE(widget<QLabel>("Label1")->text().endsWith("REC0001.MEM"));
}

TEST_F(Form1FileSelection, DoubleClickingAFileReadsItAndStartsTheConversion) {
    writeBlockHeaderFile(folder() / "REC0001.MEM", {{"1", "100V"}});
    open();
    doubleClickItem(window_->fileList(), "REC0001.MEM");
    EXPECT_EQ(widget<QLabel>("Label15(4)")->text(), "8841");
    for (auto& e : host_.errors) ADD_FAILURE() << e.second;
    EXPECT_TRUE(fs::exists(model_->Text5.text));
}

TEST_F(Form1FileSelection, TheDataKindChoosesWhichFilesAreListed) {
    writeTextFile(folder() / "A.WAV", "x");
    writeTextFile(folder() / "B.MEM", "x");
    writeTextFile(folder() / "C.RMS", "x");
    open();
    EXPECT_EQ(window_->fileList()->count(), 3);
    clickButton("Option1(0)");
    EXPECT_EQ(itemTexts(window_->fileList()), QStringList({"A.WAV"}));
    clickButton("Option1(3)");
    EXPECT_EQ(itemTexts(window_->fileList()), QStringList({"C.RMS"}));
}

TEST_F(Form1FileSelection, ChoosingAFolderListsItsFilesAndGoesBackUp) {
    fs::create_directory(folder() / "card");
    writeBlockHeaderFile(folder() / "card" / "REC0001.MEM", {{"1", "100V"}});
    writeTextFile(folder() / "top.txt", "x");
    open();
    clickButton("Option1(0)");
    doubleClickItem(window_->folderList(), "card");
    EXPECT_EQ(model_->Dir1.path, (folder() / "card").string());
    EXPECT_EQ(itemTexts(window_->fileList()), QStringList({"REC0001.MEM"}));
    EXPECT_EQ(itemTexts(window_->folderList()), QStringList({".."}));
    EXPECT_TRUE(widget<QRadioButton>("Option1(2)")->isChecked());

    doubleClickItem(window_->folderList(), "..");
    EXPECT_EQ(model_->Dir1.path, folder().string());
    EXPECT_EQ(itemTexts(window_->fileList()), QStringList({"top.txt"}));
}

TEST_F(Form1FileSelection, ChoosingADriveOpensItsTopFolder) {
    open();
    QComboBox* drives = window_->driveList();
    int root = drives->findText("/");
    ASSERT_GE(root, 0);
    drives->setCurrentIndex(root);
    emit drives->activated(root);
    EXPECT_EQ(model_->Dir1.path, "/");
    EXPECT_FALSE(itemNamed(window_->folderList(), "usr") == nullptr);
    EXPECT_TRUE(window_->folderList()->findItems("..", Qt::MatchExactly).isEmpty());
}

// ---- Commands and the way failures come out

using Form1Commands = Form1WindowTest;

TEST_F(Form1Commands, Command10EndsTheProgram) {
    open();
    QTest::mouseClick(widget("Command10"), Qt::LeftButton);
    EXPECT_EQ(host_.endProgramCalls, 1);
}

TEST_F(Form1Commands, ThePowerQualityCommandWritesItsFilesBesideTheRecording) {
    gen::ThreePhaseSupply supply;
    supply.circuits = {{}};
    gen::RecordingSpec spec;
    spec.timePerDivision = "10ms";  // 10 kHz, 2 s
    spec.sampleCount = 20000;
    spec.channels = gen::threePhaseChannels(supply);
    gen::writeRecording(spec, folder() / "REC.MEM");
    open();
    clickFile("REC.MEM");
    typeInto("PqVolts", "110");
    auto* interval = widget<QComboBox>("PqInterval");
    EXPECT_EQ(interval->currentText(), "10min");
    interval->setCurrentIndex(1);
    emit interval->activated(1);
    QTest::mouseClick(widget("PqCommand"), Qt::LeftButton);
    ASSERT_TRUE(host_.errors.empty()) << host_.errors[0].second;
    EXPECT_EQ(model_->PqInterval.text, "3s");
    for (const char* name :
         {"06D13-45-30_PQ.csv", "06D13-45-30_PQharm.csv", "06D13-45-30_PQevents.csv", "06D13-45-30_PQflicker.csv"})
        EXPECT_TRUE(fs::exists(folder() / name)) << name;
    EXPECT_FALSE(widget<QProgressBar>("Progress")->isVisible());
}

TEST_F(Form1Commands, ADisabledCommandDoesNothing) {
    open();
    QTest::mouseClick(widget("Command1"), Qt::LeftButton);
    EXPECT_TRUE(host_.errors.empty());
    EXPECT_TRUE(host_.warnings.empty());
}

TEST_F(Form1Commands, AFailureInAHandlerIsReportedAndTheWindowStillFollowsTheModel) {
    open();
    model_->Command3.enabled = true;
    model_->Command3.onClick = [this] {
        model_->Label10.visible = true;
        throw Error(ErrorKind::CannotWrite, "/data/PQp-pDT.csv: disk full");
    };
    window_->refresh();
    QTest::mouseClick(widget("Command3"), Qt::LeftButton);
    ASSERT_EQ(host_.errors.size(), 1u);
    EXPECT_EQ(host_.errors[0].first, ErrorKind::CannotWrite);
    EXPECT_EQ(host_.errors[0].second, "/data/PQp-pDT.csv: disk full");
    EXPECT_TRUE(shown("Label10"));

    // Running out of memory, or anything else a handler throws, is a message, never an abort.
    model_->Command3.onClick = [] { throw std::bad_alloc(); };
    QTest::mouseClick(widget("Command3"), Qt::LeftButton);
    model_->Command3.onClick = [] { throw 42; };
    QTest::mouseClick(widget("Command3"), Qt::LeftButton);
    ASSERT_EQ(host_.errors.size(), 3u);
    EXPECT_NE(host_.errors[1].second.find("not enough memory"), std::string::npos);
    EXPECT_NE(host_.errors[2].second.find("failed"), std::string::npos);
}

// ---- The view follows the model

using Form1Refresh = Form1WindowTest;

TEST_F(Form1Refresh, CopiesEveryKindOfChangeIntoTheWidgets) {
    open();
    model_->Label15[4].text = "MR8880";
    model_->Text1.text = "40";
    model_->Check1.value = 1;
    model_->Option3[0].value = 0;
    model_->Option3[1].value = 1;
    model_->Combo1[4].value = 9;
    model_->Frame8.visible = true;
    model_->Command2.enabled = true;
    model_->Frame2.text = "処理";
    model_->Command10.text = "A&B";
    window_->refresh();
    EXPECT_EQ(widget<QLabel>("Label15(4)")->text(), "MR8880");
    EXPECT_EQ(widget<QLineEdit>("Text1")->text(), "40");
    EXPECT_TRUE(widget<QCheckBox>("Check1")->isChecked());
    EXPECT_FALSE(widget<QRadioButton>("Option3(0)")->isChecked());
    EXPECT_TRUE(widget<QRadioButton>("Option3(1)")->isChecked());
    EXPECT_EQ(widget<QComboBox>("Combo1(4)")->currentIndex(), 9);
    EXPECT_FALSE(widget("Frame8")->isHidden());
    EXPECT_TRUE(widget("Command2")->isEnabled());
    EXPECT_EQ(widget<QGroupBox>("Frame2")->title(), "処理");
    EXPECT_EQ(shownText(widget("Command10")), "A&B");
}

TEST_F(Form1Refresh, TheProgressBarShowsOnlyDuringARun) {
    open();
    auto* bar = widget<QProgressBar>("Progress");
    EXPECT_FALSE(bar->isVisible());
    model_->progress.begin();
    model_->progress.advance(0.25);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->value(), 250);
    model_->progress.end();
    EXPECT_FALSE(bar->isVisible());
}

// A three-phase recording long enough for the analysis to report progress many times.
void writeLongPowerRecording(const fs::path& file) {
    gen::ThreePhaseSupply supply;
    supply.circuits = {{100, 0, 200, {}}};
    gen::RecordingSpec spec;
    spec.timePerDivision = "50ms";
    spec.sampleCount = 200000;
    spec.channels = gen::threePhaseChannels(supply);
    gen::writeRecording(spec, file);
}

using Form1Runs = Form1WindowTest;

TEST_F(Form1Runs, EveryRunEndsWithItsProgressHiddenWhetherItSucceedsOrFails) {
    writeLongPowerRecording(folder() / "LONG.MEM");
    open();
    clickFile("LONG.MEM");
    auto* bar = widget<QProgressBar>("Progress");
    setText(model_->Text5, (folder() / "out.csv").string());
    window_->refresh();
    clickButton("Command1");
    EXPECT_TRUE(host_.errors.empty());
    EXPECT_TRUE(fs::exists(folder() / "out.csv"));
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(widget("Label10")->isVisible());

    setText(model_->Text5, (folder() / "missing" / "out.csv").string());
    window_->refresh();
    clickButton("Command1");
    ASSERT_EQ(host_.errors.size(), 1u);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(model_->progress.running());
}

TEST_F(Form1Runs, EscapeDuringARunCancelsItAndKeepsTheEarlierOutput) {
    writeLongPowerRecording(folder() / "LONG.MEM");
    writeTextFile(folder() / "out.csv", "earlier");
    open();
    clickFile("LONG.MEM");
    setText(model_->Text5, (folder() / "out.csv").string());
    window_->refresh();
    // The key waits in the queue until the run lets the window see its events.
    QCoreApplication::postEvent(window_.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    clickButton("Command1");
    ASSERT_EQ(host_.errors.size(), 1u);
    EXPECT_EQ(host_.errors[0].first, ErrorKind::Cancelled);
    EXPECT_NE(host_.errors[0].second.find("LONG.MEM"), std::string::npos);
    std::ifstream kept(folder() / "out.csv");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "earlier");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 2);  // nothing left over
    EXPECT_FALSE(widget<QProgressBar>("Progress")->isVisible());

    // The next run is not cancelled by the Escape of the last one.
    clickButton("Command1");
    EXPECT_EQ(host_.errors.size(), 1u);
}

// ---- The file list's context menu

using Form1FileMenu = Form1WindowTest;

TEST_F(Form1FileMenu, RightClickingAFileWritesItsComtradePairBesideIt) {
    writeBlockHeaderFile(folder() / "A.MEM", {{"1", "100V"}, {"2", "100V"}});
    writeTextFile(folder() / "NOTES.TXT", std::string(600, 'n'));
    open();
    auto* menu = widget<QMenu>("File1.Menu");
    auto exportByMenu = [&](const QString& name) {
        QListWidget* list = window_->fileList();
        QListWidgetItem* item = itemNamed(list, name);
        ASSERT_NE(item, nullptr);
        list->scrollToItem(item);
        QPoint at = list->viewport()->mapTo(window_.get(), list->visualItemRect(item).center());
        QTest::mouseClick(window_->windowHandle(), Qt::RightButton, {}, at);
        ASSERT_TRUE(menu->isVisible());
        QAction* action = menu->actions().value(0);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), QStringLiteral("COMTRADE形式で書き出し…"));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        EXPECT_FALSE(menu->isVisible());
    };

    exportByMenu("A.MEM");
    EXPECT_TRUE(host_.errors.empty());
    EXPECT_TRUE(fs::exists(folder() / "A.cfg"));
    EXPECT_EQ(fs::file_size(folder() / "A.dat"), 2000u * (8 + 2 * 2));
    EXPECT_EQ(shownText(widget("Label1")).toStdString(), (folder() / "A.MEM").string());  // the file was clicked

    clickButton("Option1(2)");  // 自動 lists every file again
    exportByMenu("NOTES.TXT");
    ASSERT_EQ(host_.errors.size(), 1u);
    EXPECT_EQ(host_.errors[0].first, ErrorKind::NotRecognized);
    EXPECT_NE(host_.errors[0].second.find("NOTES.TXT"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder() / "NOTES.cfg"));
}

// ---- The Qt host

// Runs `action`, which opens a modal box, and returns that box's title and text once it is up.
std::pair<QString, QString> captureModalBox(const std::function<void()>& action) {
    std::pair<QString, QString> seen;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen = {box->windowTitle(), box->text()};
            box->accept();
        }
    });
    action();
    return seen;
}

TEST(QtHost, ShowsAMessageWithItsTitleAndLineBreaks) {
    QtHost host;
    auto [title, text] = captureModalBox([&] { host.showMessage("ソフトウェアについて", "一行目\r二行目\r\n三行目"); });
    EXPECT_EQ(title, "ソフトウェアについて");
    EXPECT_EQ(text, "一行目\n二行目\n三行目");
}

TEST(QtHost, ReportsAnErrorWithAMessageNamingTheFile) {
    QtHost host;
    auto [title, text] =
        captureModalBox([&] { host.reportError(ErrorKind::CannotRead, "/card/REC0001.MEM: no such file"); });
    EXPECT_EQ(title, errorTitle(ErrorKind::CannotRead));
    EXPECT_EQ(text, "/card/REC0001.MEM: no such file");
}

TEST(QtHost, TheAllFilesRunsProblemsComeInOneMessageAtItsEnd) {
    QtHost host;
    // Nothing is shown while the run goes on: a box would block it.
    host.reportFileProblem({true, ErrorKind::Malformed, "/card/B.MEM: header promises 400 samples"});
    host.reportFileProblem({false, ErrorKind::Arithmetic, "/card/C.MEM: 3 analysis steps could not be computed"});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    AllFilesTally tally;
    tally.converted = tally.failed = 1;
    auto [title, text] = captureModalBox([&] { host.allFilesRunEnded(tally); });
    EXPECT_TRUE(title.startsWith("1 "));
    EXPECT_EQ(text,
              "× /card/B.MEM: header promises 400 samples\n! /card/C.MEM: 3 analysis steps could not be computed");
    host.allFilesRunEnded(tally);  // the list was emptied: no second box (it would block here)
}

TEST(QtHost, TheWaitCursorIsSetOnceAndRestored) {
    QtHost host;
    host.setWaitCursor(true);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    host.setWaitCursor(true);
    host.setWaitCursor(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    host.setWaitCursor(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QtHost, AMessageDuringARunIsAnsweredWithTheNormalPointer) {
    QtHost host;
    host.setWaitCursor(true);
    bool waitCursorOverBox = true;
    QTimer::singleShot(0, [&] {
        waitCursorOverBox = QApplication::overrideCursor() != nullptr;
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    host.reportWarning("/card/REC0001.MEM: 3 steps failed");
    EXPECT_FALSE(waitCursorOverBox);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    host.setWaitCursor(false);
}

TEST(QtHost, YieldingRefreshesTheViewFirst) {
    QtHost host;
    int refreshes = 0;
    host.setRefreshView([&] { ++refreshes; });
    host.processEvents();
    EXPECT_EQ(refreshes, 1);
}

TEST(QtHost, EndingTheProgramClosesItsWindows) {
    QtHost host;
    QWidget window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    host.endProgram();
    EXPECT_FALSE(window.isVisible());
}

TEST(QtHost, TheStartUpMessageAppearsOverTheFilledWindow) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    writeTextFile(fs::path(folder.path().toStdString()) / "REC0001.MEM", "x");
    QtHost host;
    Form1Model model(fs::path(folder.path().toStdString()), &host);
    Form1 window(model);
    host.setRefreshView([&] { window.refresh(); });
    window.show();
    int filesListedWhileShown = -1;
    QString title;
    QTimer::singleShot(0, [&] {
        filesListedWhileShown = window.fileList()->count();
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            box->accept();
        }
    });
    window.load(2024);
    EXPECT_EQ(title, "ソフトウェアについて");
    EXPECT_EQ(filesListedWhileShown, 1);
    EXPECT_EQ(window.findChild<QLineEdit*>("Text6")->text(), "2024");
}

}  // namespace
}  // namespace pqwave
