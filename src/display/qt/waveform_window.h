// Form2 "波形表示画面": a view of Form2Model. The parts sit where the model's layout puts
// them for the window's size (twips converted with the screen's dots per inch); the check
// boxes take their trace's colour as the legend. Play yields through processEvents(), which
// repaints and takes the stop click.
#pragma once

#include "display/qt/display_window.h"
#include "display/waveform_model.h"

class QGroupBox;
class QFrame;

namespace pqwave {

class Form2 : public DisplayWindow {
public:
    explicit Form2(Form2Model& model, QWidget* parent = nullptr);

    // "波形表示" in the main window: the model opens on the recording in memory, the window shows.
    void openFromMainWindow();
    // The check boxes take their trace's colour as the legend.
    void refresh() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void unloadModel() override { model_.Form_Unload(); }

private:
    void placeParts();

    Form2Model& model_;
    QGroupBox* frame1_ = nullptr;
    QGroupBox* frame2_ = nullptr;
};

}  // namespace pqwave
