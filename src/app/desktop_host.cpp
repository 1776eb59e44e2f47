#include "app/desktop_host.h"

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

void DesktopHost::showVectorWindowBriefly() {
    if (vector_) vector_->showBriefly();
}

}  // namespace pqwave
