// Form02 "ベクトル表示": a view of Form02Model. The phasor picture fills the top of the window
// and grows with it; the values, the cycle bar and the settings sit below.
#pragma once

#include "display/qt/display_window.h"
#include "display/vector_model.h"

namespace pqwave {

class Form02 : public DisplayWindow {
public:
    explicit Form02(Form02Model& model, QWidget* parent = nullptr);

    // "ﾍﾞｸﾄﾙ表示" in the main window: shown and activated on the recording in memory.
    void openFromMainWindow();
    // The phase check before an analysis: shown, activated (which selects the rotation in the
    // main window when "自動位相確認" is ticked) and hidden again.

protected:
    void unloadModel() override { model_.Form_Unload(); }

private:
    Form02Model& model_;
};

}  // namespace pqwave
