// What the waveform and vector windows share as views of their models: a model action runs
// through act(), which reports what escapes it and refreshes the window; a yield repaints and
// takes the stop click; "前画面" and closing bring the main window back; the picture goes to
// the clipboard.
#pragma once

#include <QWidget>
#include <functional>

#include "control/qt/control_views.h"
#include "control/qt/wait_cursor.h"
#include "display/display_host.h"

namespace pqwave {

class PictureBox;

class DisplayWindow : public QWidget, public DisplayHost {
public:
    void setReturnToMainWindow(std::function<void()> show) { showMainWindow_ = std::move(show); }

    // Copies every control of the model into its widget and repaints the picture.
    virtual void refresh();
    QWidget* widgetFor(const Control& control) const { return views_.widgetFor(control); }
    PictureBox* picture() const { return picture_; }

    // DisplayHost
    void processEvents() override;
    void setWaitCursor(bool on) override { waitCursor_.set(on); }
    void returnToMainWindow() override;
    void copyPicture() override;

protected:
    explicit DisplayWindow(QWidget* parent);
    void act(const std::function<void()>& action);
    void closeEvent(QCloseEvent* event) override;
    // The model's own rule for closing the window.
    virtual void unloadModel() = 0;

    ControlViews views_;
    PictureBox* picture_ = nullptr;

private:
    std::function<void()> showMainWindow_;
    WaitCursor waitCursor_;
};

}  // namespace pqwave
