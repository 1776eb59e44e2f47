// "レポート" and "トレンド" pressed in the real window, and pqwave-cli plot trend: the report is
// written beside the recording and handed to the desktop's browser, the trend window zooms
// about the time under the pointer and reads out the values there, and each trend is a PNG.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <sstream>

#include "app/cli.h"
#include "app/desktop_host.h"
#include "app/plot_image.h"
#include "control/form1_model.h"
#include "control/qt/form1_window.h"
#include "report/qt/trend_window.h"
#include "support/report_survey.h"
#include "support/test_folder.h"

namespace pqwave {
namespace {

namespace fs = std::filesystem;
using testing::TestFolder;

// The desktop host with its browser and message boxes replaced by notes.
struct NotingHost : DesktopHost {
    NotingHost() {
        setUrlOpener([this](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
    }
    void reportError(ErrorKind, const std::string& message) override { errors.push_back(message); }
    void reportWarning(const std::string& message) override { errors.push_back(message); }
    void showMessage(const std::string&, const std::string&) override {}
    std::vector<QUrl> opened;
    std::vector<std::string> errors;
};

class ReportWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new TestFolder;
        folder_->write("SURVEY.MEM", testing::surveyRecording({1500, true, "13:49:55"}));
    }
    static void TearDownTestSuite() { delete folder_; }

    void SetUp() override {
        model_ = std::make_unique<Form1Model>(folder_->path(), &host_);
        window_ = std::make_unique<Form1>(*model_);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        window_->load(2024);
        QListWidget* list = window_->fileList();
        const auto items = list->findItems(QStringLiteral("SURVEY.MEM"), Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.front()).center());
    }

    void press(const char* name) {
        QWidget* button = window_->findChild<QWidget*>(QString::fromUtf8(name));
        ASSERT_NE(button, nullptr) << name;
        ASSERT_TRUE(button->isEnabled()) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }

    static TestFolder* folder_;
    NotingHost host_;
    std::unique_ptr<Form1Model> model_;
    std::unique_ptr<Form1> window_;
};

TestFolder* ReportWindow::folder_ = nullptr;

TEST_F(ReportWindow, WritesTheReportBesideTheRecordingAndOpensIt) {
    press("ReportCommand");
    ASSERT_TRUE(host_.errors.empty()) << host_.errors.front();
    const fs::path report = folder_->file("06D13-49-55_PQreport.html");
    EXPECT_TRUE(fs::exists(report));
    ASSERT_EQ(host_.opened.size(), 1u);
    EXPECT_EQ(host_.opened.front(), QUrl::fromLocalFile(QString::fromStdString(report.string())));
}

// The pointer moved over a widget, as the window system delivers it.
void movePointer(QWidget* widget, const QPointF& at) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

TEST_F(ReportWindow, ZoomsAboutThePointerAndReadsOutTheValuesThere) {
    press("TrendCommand");
    ASSERT_TRUE(host_.errors.empty()) << host_.errors.front();
    TrendWindow* trends = host_.trendWindow();
    ASSERT_NE(trends, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(trends));
    QWidget* picture = trends->findChild<QWidget*>(QStringLiteral("TrendPicture"));
    ASSERT_NE(picture, nullptr);
    picture->repaint();

    const auto whole = trends->shownRange();
    EXPECT_NEAR(whole.second - whole.first, 1500, 1);
    const QPointF middle(picture->width() / 2.0, picture->height() / 2.0);
    movePointer(picture, middle);
    const QString readout = trends->readout();
    EXPECT_TRUE(readout.contains(QStringLiteral("U12"))) << readout.toStdString();
    EXPECT_TRUE(readout.contains(QStringLiteral(" V"))) << readout.toStdString();

    QWheelEvent wheel(middle, picture->mapToGlobal(middle), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(picture, &wheel);
    const auto zoomed = trends->shownRange();
    EXPECT_NEAR(zoomed.second - zoomed.first, 0.75 * 1500, 1);
    // The time under the pointer stays where it was.
    const double anchorBefore = whole.first + 0.5 * (whole.second - whole.first);
    EXPECT_GT(anchorBefore, zoomed.first);
    EXPECT_LT(anchorBefore, zoomed.second);

    trends->setQuantity(TrendQuantity::Frequency);
    movePointer(picture, middle + QPointF(1, 0));
    EXPECT_TRUE(trends->readout().contains(QStringLiteral("Hz"))) << trends->readout().toStdString();
}

TEST_F(ReportWindow, PlotTrendWritesEachTrendAsAPicture) {
    setPngEncoderSource([](std::string&) { return pqwavePngEncoders(); });
    const std::string file = folder_->file("SURVEY.MEM").string();
    for (const char* quantity : {"U", "f", "u2", "THD", "Pst", "P", "Q", "PF"}) {
        const fs::path png = folder_->file(std::string("trend_") + quantity + ".png");
        std::ostringstream out, err;
        ASSERT_EQ(runCli({"plot", "trend", file, "--quantity", quantity, "--width", "900", "-o", png.string()},
                         folder_->path(), out, err),
                  0)
            << err.str();
        const QImage image(QString::fromStdString(png.string()));
        ASSERT_FALSE(image.isNull()) << quantity;
        EXPECT_EQ(image.width(), 900);
        int dark = 0, grey = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const int v = qGray(image.pixel(x, y));
                dark += v<60, grey += v> 150 && v < 235;
            }
        EXPECT_GT(dark, 2000) << quantity;  // lines, frame, ticks, text
        EXPECT_GT(grey, 2000) << quantity;  // grid, bands, flagged intervals
    }
    std::ostringstream out, err;
    EXPECT_EQ(runCli({"plot", "trend", file, "-o", "x.png"}, folder_->path(), out, err), 2);
    EXPECT_NE(err.str().find("--quantity"), std::string::npos);
}

}  // namespace
}  // namespace pqwave
