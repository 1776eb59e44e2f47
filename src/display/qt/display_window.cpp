#include "display/qt/display_window.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMessageBox>

#include "common/failure.h"
#include "display/qt/picture_box.h"

namespace pqwave {

DisplayWindow::DisplayWindow(QWidget* parent)
    : QWidget(parent), views_([this](const std::function<void()>& action) { act(action); }) {}

void DisplayWindow::act(const std::function<void()>& action) {
    // Qt cannot carry an exception through its event loop; the user learns of it here.
    reportingFailure("pqwave", action, [this](const Failure& failure) {
        setWaitCursor(false);
        QMessageBox::warning(this, QStringLiteral("pqwave"), QString::fromStdString(failure.message));
    });
    refresh();
}

void DisplayWindow::refresh() {
    views_.refresh();
    if (picture_) picture_->update();
}

void DisplayWindow::closeEvent(QCloseEvent* event) {
    act([&] { unloadModel(); });
    event->accept();
}

void DisplayWindow::processEvents() {
    refresh();
    if (picture_) picture_->repaint();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void DisplayWindow::returnToMainWindow() {
    if (showMainWindow_) showMainWindow_();
    hide();
}

void DisplayWindow::copyPicture() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    if (picture_) clipboard->setImage(picture_->image());
}

}  // namespace pqwave
