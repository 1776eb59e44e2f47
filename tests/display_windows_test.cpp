// The waveform and vector windows through their real widgets on the offscreen platform,
// opened from the main window as the program wires them: the buttons, the scroll bars, play
// and stop, the clipboard copies, the way back, and the phase check before a conversion.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <memory>

#include "app/desktop_host.h"
#include "common/palette.h"
#include "control/form1_model.h"
#include "control/qt/form1_window.h"
#include "display/qt/picture_box.h"
#include "display/qt/picture_painter.h"
#include "display/qt/vector_window.h"
#include "display/qt/waveform_window.h"
#include "display/vector_model.h"
#include "display/waveform_model.h"
#include "support/analysis_run.h"
#include "tools/recording_generator.h"

namespace pqwave {
namespace {

namespace fs = std::filesystem;

// Records what would come up as message boxes instead of blocking on them.
struct TestHost : DesktopHost {
    std::vector<std::string> errors, warnings;
    void showMessage(const std::string&, const std::string&) override {}
    void reportError(ErrorKind, const std::string& message) override { errors.push_back(message); }
    void reportWarning(const std::string& message) override { warnings.push_back(message); }
};

class DisplayWindows : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        gen::writeRecording(pqwave::testing::displayRecording(), folder() / "REC.WAV");
        gen::writeRecording(pqwave::testing::displayRecording(true), folder() / "REV.WAV");
        model_ = std::make_unique<Form1Model>(folder(), &host_);
        main_ = std::make_unique<Form1>(*model_);
        waveModel_ = std::make_unique<Form2Model>(*model_);
        wave_ = std::make_unique<Form2>(*waveModel_);
        vectorModel_ = std::make_unique<Form02Model>(*model_);
        vector_ = std::make_unique<Form02>(*vectorModel_);
        host_.setWindows(main_.get(), wave_.get(), vector_.get());
        main_->show();
        main_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main_.get()));
        main_->load(2024);
    }
    fs::path folder() const { return fs::path(folder_.path().toStdString()); }

    void clickFile(const char* name) {
        QListWidget* list = main_->fileList();
        auto items = list->findItems(QString::fromUtf8(name), Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.front()).center());
    }
    template <typename W = QWidget>
    W* in(QWidget* window, const char* name) {
        W* found = window->findChild<W*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void press(QWidget* window, const char* name) { QTest::mouseClick(in(window, name), Qt::LeftButton); }
    void tick(QWidget* window, const char* name) {
        QWidget* box = in(window, name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    int nonWhitePixels(const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) != qRgb(255, 255, 255);
        return count;
    }

    QTemporaryDir folder_;
    TestHost host_;
    std::unique_ptr<Form1Model> model_;
    std::unique_ptr<Form1> main_;
    std::unique_ptr<Form2Model> waveModel_;
    std::unique_ptr<Form2> wave_;
    std::unique_ptr<Form02Model> vectorModel_;
    std::unique_ptr<Form02> vector_;
};

TEST_F(DisplayWindows, TheWaveformWindowShowsTicksScrollsCopiesAndGoesBack) {
    clickFile("REC.WAV");
    press(main_.get(), "Command2");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wave_.get()));
    EXPECT_FALSE(main_->isVisible());
    EXPECT_EQ(wave_->windowTitle(), "波形表示画面");
    EXPECT_TRUE(in(wave_.get(), "Check1(3)")->isEnabled());
    EXPECT_FALSE(in(wave_.get(), "Check1(4)")->isEnabled());  // four channels recorded

    tick(wave_.get(), "Check1(0)");
    EXPECT_EQ(waveModel_->picture().all<PicturePolyline>().size(), 1u);  // drawn as it is ticked
    tick(wave_.get(), "Check1(1)");
    EXPECT_EQ(waveModel_->picture().all<PicturePolyline>().size(), 2u);
    press(wave_.get(), "Command3");
    EXPECT_EQ(waveModel_->picture().all<PicturePolyline>().size(), 2u);
    auto* ch2 = in<QCheckBox>(wave_.get(), "Check1(1)");
    EXPECT_EQ(ch2->palette().color(QPalette::WindowText), paletteColour(9));  // the legend

    auto* bar = in<QScrollBar>(wave_.get(), "HScroll1");
    EXPECT_EQ(bar->maximum(), 498);  // 10 s x 50 - 2
    bar->setValue(5);
    EXPECT_EQ(waveModel_->HScroll1.value, 5);
    EXPECT_EQ(in<QLabel>(wave_.get(), "Label2")->text(), "0.1");

    QGuiApplication::clipboard()->clear();
    press(wave_.get(), "Command2");
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), wave_->picture()->size());
    EXPECT_GT(nonWhitePixels(copied), 1000);

    press(wave_.get(), "Command1");
    EXPECT_FALSE(wave_->isVisible());
    EXPECT_TRUE(main_->isVisible());
}

TEST_F(DisplayWindows, TheWaveformWindowKeepsItsPartsAtTheirDistancesFromTheEdges) {
    clickFile("REC.WAV");
    press(main_.get(), "Command2");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wave_.get()));
    wave_->resize(900, 600);
    QApplication::processEvents();
    const double pixel = kTwipsPerInch / wave_->logicalDpiX();  // twips a pixel
    QWidget* picture = wave_->picture();
    EXPECT_EQ(picture->width(), static_cast<int>((900 * pixel - 1535) / pixel));
    EXPECT_EQ(picture->height(), static_cast<int>(std::lround((600 * pixel - 600) / pixel)));
    EXPECT_EQ(in(wave_.get(), "Frame1")->x(), static_cast<int>(std::lround((900 * pixel - 1410) / pixel)));
    EXPECT_EQ(in(wave_.get(), "Frame2")->y(), static_cast<int>(std::lround((600 * pixel - 645) / pixel)));
    EXPECT_EQ(waveModel_->picturePixelWidth(), picture->width());
}

TEST_F(DisplayWindows, PlayRunsUntilStopIsPressedAndThePhaseShowsWhereClicked) {
    clickFile("REC.WAV");
    press(main_.get(), "Command2");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wave_.get()));
    tick(wave_.get(), "Check1(8)");
    press(wave_.get(), "Command3");
    EXPECT_TRUE(in(wave_.get(), "Label4")->isVisible());

    bool stopShown = false, playBordered = false;
    QTimer::singleShot(50, [&] {
        auto* stop = in<QToolButton>(wave_.get(), "Image2");
        stopShown = stop->isVisible();
        playBordered = !in<QToolButton>(wave_.get(), "Image1")->autoRaise();
        QTest::mouseClick(stop, Qt::LeftButton);
    });
    press(wave_.get(), "Image1");
    EXPECT_TRUE(stopShown);
    EXPECT_TRUE(playBordered);
    EXPECT_GT(waveModel_->HScroll1.value, 0);
    EXPECT_LT(waveModel_->HScroll1.value, waveModel_->HScroll1.max);
    EXPECT_FALSE(in(wave_.get(), "Image2")->isVisible());
    EXPECT_TRUE(in<QToolButton>(wave_.get(), "Image1")->autoRaise());

    QWidget* picture = wave_->picture();
    QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(picture->width() / 3, picture->height() / 2));
    bool number = false;
    const int angle = in<QLabel>(wave_.get(), "Label4")->text().toInt(&number);
    EXPECT_TRUE(number);
    EXPECT_GE(angle, 1);
    EXPECT_LE(angle, 180);

    wave_->close();
    EXPECT_TRUE(main_->isVisible());
}

TEST_F(DisplayWindows, TheVectorWindowShowsTheSupplyAndItsControlsWork) {
    clickFile("REC.WAV");
    press(main_.get(), "Command4");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(vector_.get()));
    EXPECT_FALSE(main_->isVisible());
    EXPECT_EQ(in<QLabel>(vector_.get(), "Label4")->text(), "相回転＝正回転");
    EXPECT_TRUE(in<QLabel>(vector_.get(), "Label2")->text().startsWith("入力電圧,Vr-s= 6"));
    EXPECT_EQ(in<QLabel>(vector_.get(), "Label2")->text().count('\n'), 1);

    auto* bar = in<QScrollBar>(vector_.get(), "HScroll1");
    EXPECT_EQ(bar->maximum(), 499);  // 20000 samples of 40 a cycle
    bar->setValue(100);
    EXPECT_EQ(in<QLabel>(vector_.get(), "Label5")->text(), "2.00");
    tick(vector_.get(), "Option1(1)");
    EXPECT_EQ(vectorModel_->VecFreq, 60);
    EXPECT_EQ(bar->maximum(), 599);  // 33.333 samples a cycle

    auto* voltage = in<QLineEdit>(vector_.get(), "Text1(0)");
    const double before = vectorModel_->picture().all<PictureLine>().size();
    QTest::keyClick(voltage, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(voltage, "3");
    EXPECT_EQ(vectorModel_->Text1[0].text, "3");
    EXPECT_EQ(vectorModel_->picture().all<PictureLine>().size(), before);

    QGuiApplication::clipboard()->clear();
    press(vector_.get(), "Vcopy");
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), vector_->picture()->size());

    bool backDisabled = false;
    QTimer::singleShot(50, [&] {
        backDisabled = !in(vector_.get(), "Command4(2)")->isEnabled();
        press(vector_.get(), "Image2");
    });
    press(vector_.get(), "Image1");
    EXPECT_TRUE(backDisabled);
    EXPECT_TRUE(in(vector_.get(), "Command4(2)")->isEnabled());

    press(vector_.get(), "Command4(2)");
    EXPECT_FALSE(vector_->isVisible());
    EXPECT_TRUE(main_->isVisible());
}

TEST_F(DisplayWindows, ThePhaseCheckSelectsTheRotationBeforeTheConversion) {
    clickFile("REV.WAV");
    tick(main_.get(), "Check2");
    ASSERT_FALSE(main_->findChild<QRadioButton*>("Option4(1)")->isChecked());
    press(main_.get(), "Command1");
    EXPECT_TRUE(host_.errors.empty());
    EXPECT_TRUE(main_->findChild<QRadioButton*>("Option4(1)")->isChecked());
    EXPECT_TRUE(isSelected(model_->Option4[1]));
    EXPECT_FALSE(vector_->isVisible());
    EXPECT_TRUE(fs::exists(model_->Text5.text));
}

TEST_F(DisplayWindows, TheProgramOpensOnAFileOrAFolderNamedOnItsCommandLine) {
    fs::create_directory(folder() / "card");
    gen::writeRecording(pqwave::testing::displayRecording(), folder() / "card" / "C.WAV");
    openGivenPath(*model_, *main_, folder() / "card" / "C.WAV");
    EXPECT_EQ(model_->Dir1.path, (folder() / "card").string());
    EXPECT_EQ(model_->File1.fileName, "C.WAV");
    EXPECT_EQ(model_->Label15[4].text, "8840");  // the header was read, as a click reads it
    ASSERT_NE(main_->fileList()->currentItem(), nullptr);
    EXPECT_EQ(main_->fileList()->currentItem()->text(), "C.WAV");
    EXPECT_EQ(QApplication::focusWidget(), main_->fileList());

    openGivenPath(*model_, *main_, folder());
    EXPECT_EQ(model_->Dir1.path, folder().string());
    EXPECT_EQ(main_->fileList()->count(), 2);

    openGivenPath(*model_, *main_, folder() / "NONE.WAV");
    ASSERT_EQ(host_.errors.size(), 1u);
    EXPECT_NE(host_.errors[0].find("NONE.WAV"), std::string::npos);
}

TEST_F(DisplayWindows, TheNewWindowsAnswerToKeyboardAndAssistiveTechnology) {
    for (QRadioButton* option : vector_->findChildren<QRadioButton*>())
        EXPECT_EQ(QAccessible::queryAccessibleInterface(option)->role(), QAccessible::RadioButton);
    auto name = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    EXPECT_EQ(name(in(vector_.get(), "Text1(0)")), "電圧表示倍率");
    EXPECT_EQ(name(in(vector_.get(), "Text1(1)")), "電流表示倍率");
    EXPECT_EQ(name(in(wave_.get(), "Text1(2)")), "ch3 表示倍率");
    EXPECT_EQ(name(in(wave_.get(), "Text2")), "表示区間数");
    EXPECT_EQ(name(in(wave_.get(), "Image1")), "再生");
    EXPECT_EQ(name(in(wave_.get(), "HScroll1")), "表示開始位置");
}

}  // namespace
}  // namespace pqwave
