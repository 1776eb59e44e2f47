#include "app/desktop_host.h"

#include <QListWidget>

#include "common/messages.h"
#include "control/form1_model.h"
#include "control/qt/form1_window.h"
#include "display/qt/vector_window.h"
#include "display/qt/waveform_window.h"

namespace pqwave {

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
