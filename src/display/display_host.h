// What a display window's model asks of whoever shows it: the Qt window, the command line
// or a test. The default does nothing, so a model runs and draws without any window.
#pragma once

namespace pqwave {

class DisplayHost {
public:
    virtual ~DisplayHost() = default;

    // The play loop yields once per step: repaint the window and take the user's clicks
    // (the stop button among them).
    virtual void processEvents() {}
    virtual void setWaitCursor(bool /*on*/) {}
    // "前画面" and closing the window: the main window comes back, this one is hidden.
    virtual void returnToMainWindow() {}
    // "画面ｺﾋﾟｰ", "ベクトルコピー": the window's picture onto the clipboard.
    virtual void copyPicture() {}
};

}  // namespace pqwave
