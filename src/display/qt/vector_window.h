// Form02 "ベクトル表示": a view of Form02Model. The phasor picture fills the top of the window
// and grows with it; the values, the cycle bar and the settings sit below.
#pragma once

#include <QWidget>
#include <functional>

#include "display/display_host.h"
#include "display/qt/control_views.h"
#include "display/vector_model.h"

namespace pqwave {

class PictureBox;

class Form02 : public QWidget, public DisplayHost {
public:
    explicit Form02(Form02Model& model, QWidget* parent = nullptr);

    // "ﾍﾞｸﾄﾙ表示" in the main window: shown and activated on the recording in memory.
    void openFromMainWindow();
    // The phase check before an analysis: shown, activated (which selects the rotation in the
    // main window when "自動位相確認" is ticked) and hidden again.
    void showBriefly();
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
    void closeEvent(QCloseEvent* event) override;

private:
    void act(const std::function<void()>& action);

    Form02Model& model_;
    ControlViews views_;
    PictureBox* picture_ = nullptr;
    std::function<void()> showMainWindow_;
    bool waitCursorOn_ = false;
};

}  // namespace pqwave
