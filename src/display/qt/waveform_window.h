// Form2 "波形表示画面": a view of Form2Model. The parts sit where the model's layout puts
// them for the window's size (twips converted with the screen's dots per inch); the check
// boxes take their trace's colour as the legend. Play yields through processEvents(), which
// repaints and takes the stop click.
#pragma once

#include <QWidget>
#include <functional>

#include "display/display_host.h"
#include "display/qt/control_views.h"
#include "display/waveform_model.h"

class QGroupBox;
class QFrame;

namespace pqwave {

class PictureBox;

class Form2 : public QWidget, public DisplayHost {
public:
    explicit Form2(Form2Model& model, QWidget* parent = nullptr);

    // "波形表示" in the main window: the model opens on the recording in memory, the window shows.
    void openFromMainWindow();
    void setReturnToMainWindow(std::function<void()> show) { showMainWindow_ = std::move(show); }

    void refresh();
    QWidget* widgetFor(const Control& control) const { return views_.widgetFor(control); }
    PictureBox* picture() const { return picture_; }

    // DisplayHost
    void processEvents() override;
    void setWaitCursor(bool on) override;
    void returnToMainWindow() override;
    void copyPicture() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void act(const std::function<void()>& action);
    void placeParts();

    Form2Model& model_;
    ControlViews views_;
    PictureBox* picture_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    QGroupBox* frame2_ = nullptr;
    std::function<void()> showMainWindow_;
    bool waitCursorOn_ = false;
};

}  // namespace pqwave
