// The main window by keyboard and assistive technology, through its real widgets on the
// offscreen platform: where focus starts, files opened from the keyboard, option groups as
// one Tab stop announced as radio buttons, and every text box named by its caption.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <memory>
#include <set>

#include "control/form1_model.h"
#include "control/qt/form1_window.h"
#include "control/qt/qt_host.h"
#include "tools/recording_generator.h"

namespace pqwave {
namespace {

namespace fs = std::filesystem;

struct QuietHost : Form1Host {
    std::vector<std::string> errors;
    void reportError(ErrorKind, const std::string& message) override { errors.push_back(message); }
};

class Form1Keyboard : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        gen::RecordingSpec spec;
        spec.sampleCount = 2000;
        gen::writeRecording(spec, folder() / "A.MEM");
        gen::writeRecording(spec, folder() / "B.MEM");
        model_ = std::make_unique<Form1Model>(folder(), &host_);
        window_ = std::make_unique<Form1>(*model_);
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        window_->load(2024);
    }
    fs::path folder() const { return fs::path(folder_.path().toStdString()); }
    template <typename W = QWidget>
    W* widget(const char* name) {
        return window_->findChild<W*>(QString::fromUtf8(name));
    }
    QString accessibleName(QWidget* widget) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
        return a ? a->text(QAccessible::Name) : QString();
    }

    QTemporaryDir folder_;
    QuietHost host_;
    std::unique_ptr<Form1Model> model_;
    std::unique_ptr<Form1> window_;
};

TEST_F(Form1Keyboard, FocusStartsOnTheFileListAndTheKeyboardOpensFiles) {
    EXPECT_EQ(QApplication::focusWidget(), window_->fileList());
    // The list's cursor starts on the first file; moving it reads the header, as a click does.
    QTest::keyClick(window_->fileList(), Qt::Key_Down);
    EXPECT_EQ(model_->File1.fileName, "B.MEM");
    EXPECT_EQ(model_->Label15[4].text, "8841");
    QTest::keyClick(window_->fileList(), Qt::Key_Up);
    EXPECT_EQ(model_->File1.fileName, "A.MEM");
    QTest::keyClick(window_->fileList(), Qt::Key_Down);
    EXPECT_FALSE(fs::exists(model_->Text5.text));
    QTest::keyClick(window_->fileList(), Qt::Key_Return);  // converts, as a double click does
    EXPECT_TRUE(host_.errors.empty());
    EXPECT_TRUE(fs::exists(model_->Text5.text));
    EXPECT_EQ(model_->LoadedFileName(), (folder() / "B.MEM").string());
}

TEST_F(Form1Keyboard, OptionGroupsAreRadioButtonsWithOneTabStopEach) {
    for (QRadioButton* option : window_->findChildren<QRadioButton*>()) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(option);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->role(), QAccessible::RadioButton) << option->objectName().toStdString();
    }
    // Tab once round the window: of each group only the selected option takes focus.
    std::set<QString> reached;
    QWidget* start = QApplication::focusWidget();
    for (int i = 0; i < 400; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() == start) break;
        reached.insert(QApplication::focusWidget()->objectName());
    }
    EXPECT_TRUE(reached.count("Option2(0)"));
    EXPECT_TRUE(reached.count("Option1(2)"));
    for (const char* other : {"Option2(1)", "Option2(2)", "Option1(0)", "Option5(1)", "Option4(1)"})
        EXPECT_FALSE(reached.count(other)) << other;
    EXPECT_TRUE(reached.count("Text1"));
}

TEST_F(Form1Keyboard, ArrowKeysSelectTheNextOptionOfTheGroup) {
    auto* raw = widget<QRadioButton>("Option2(0)");
    raw->setFocus();
    QTest::keyClick(raw, Qt::Key_Down);
    EXPECT_EQ(model_->Option2[1].value, 1);
    EXPECT_TRUE(widget<QRadioButton>("Option2(1)")->isChecked());
    EXPECT_TRUE(widget("Frame4")->isVisible());  // the option's own rule ran
    EXPECT_EQ(QApplication::focusWidget(), widget("Option2(1)"));
    // Another group in the same frame is not disturbed.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    EXPECT_EQ(model_->Option2[0].value, 1);
    EXPECT_EQ(model_->Option5[0].value, 1);
}

TEST_F(Form1Keyboard, EveryTextBoxIsNamedByItsCaption) {
    EXPECT_EQ(accessibleName(widget("Text1")), "出力間隔 (ms)");  // not the frame's "実効値演算"
    EXPECT_EQ(accessibleName(widget("Text7(0)")), "ＰＴ比 (倍)");
    EXPECT_EQ(accessibleName(widget("Text7(3)")), "電流ｸﾗﾝﾌﾟ 回路3 (A/fs(0.2V))");
    EXPECT_EQ(accessibleName(widget("Text5")), "出力ファイル名");
    EXPECT_EQ(accessibleName(window_->fileList()), "ファイル");
    std::set<QString> names;
    int boxes = 0;
    for (QLineEdit* box : window_->findChildren<QLineEdit*>()) {
        if (box->objectName() == "Text9(2)") continue;
        ++boxes;
        QString name = accessibleName(box);
        EXPECT_FALSE(name.isEmpty()) << box->objectName().toStdString();
        names.insert(name);
    }
    EXPECT_EQ(static_cast<int>(names.size()), boxes);  // no two boxes read out alike
}

}  // namespace
}  // namespace pqwave
