#include "app/desktop_host.h"

#include <QDesktopServices>
#include <QListWidget>

#include "common/messages.h"
#include "control/form1_model.h"
#include "control/qt/form1_window.h"
#include "display/qt/vector_window.h"
#include "display/qt/waveform_window.h"
#include "report/qt/trend_window.h"
#include "report/report_file.h"

namespace pqwave {

DesktopHost::DesktopHost() : opener_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {}

DesktopHost::~DesktopHost() = default;

void DesktopHost::showReport(const PqSurvey& survey, const std::filesystem::path& output) {
    ReportOptions options;  // the window speaks Japanese and judges by EN 50160
    options.generatedAt = localTimeNow();
    writeReportFile(survey, options, output);
    if (!opener_(QUrl::fromLocalFile(QString::fromStdString(output.string()))))
        reportWarning(tr("{0}: the report is written, but no browser of the desktop opened it", {output.string()}));
}

void DesktopHost::showTrends(std::shared_ptr<const PqSurvey> survey) {
    if (!trends_) trends_ = std::make_unique<TrendWindow>(main_);
    trends_->showSurvey(std::move(survey));
    trends_->show();
    trends_->raise();
    trends_->activateWindow();
}

void DesktopHost::setWindows(Form1* main, Form2* waveform, Form02* vector) {
    main_ = main;
    waveform_ = waveform;
    vector_ = vector;
    auto bringBack = [this] {
        main_->show();
        main_->raise();
        main_->activateWindow();
    };
    waveform_->setReturnToMainWindow(bringBack);
    vector_->setReturnToMainWindow(bringBack);
}

void DesktopHost::showWaveformWindow() {
    if (!waveform_) return;
    waveform_->openFromMainWindow();
    main_->hide();
}

void DesktopHost::showVectorWindow() {
    if (!vector_) return;
    vector_->openFromMainWindow();
    main_->hide();
}

void openGivenPath(Form1Model& model, Form1& window, const std::filesystem::path& given) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path path = fs::absolute(given, ec).lexically_normal();
    try {
        if (fs::is_directory(path, ec)) {
            model.Dir1_Change(path.string());
        } else if (fs::exists(fs::symlink_status(path, ec))) {
            // Whatever is there, a FIFO or a loop of links included, the header read names it.
            model.Dir1_Change(path.parent_path().string());
            model.File1_Click(path.filename().string());
        } else {
            model.host().reportError(ErrorKind::CannotRead, tr("{0}: no such file or folder", {path.string()}));
        }
    } catch (const std::exception& error) {
        model.host().reportError(ErrorKind::CannotRead, path.string() + ": " + error.what());
    }
    window.refresh();
    window.fileList()->setFocus(Qt::OtherFocusReason);
}

}  // namespace pqwave
