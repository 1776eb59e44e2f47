// What the main-window model asks of whoever shows it: the Qt window, the CLI or a test.
// The model never talks to a toolkit; it calls these, and the default does nothing.
#pragma once

#include <string>

#include "common/error.h"

namespace pqwave {

class Form1Host {
public:
    virtual ~Form1Host() = default;

    // A modal message with an OK button. The text may hold carriage returns as line breaks.
    virtual void showMessage(const std::string& /*title*/, const std::string& /*text*/) {}
    // A failure or a warning, one line naming the file.
    virtual void reportError(ErrorKind /*kind*/, const std::string& /*message*/) {}
    virtual void reportWarning(const std::string& /*message*/) {}
    // The hourglass pointer during loads and runs.
    virtual void setWaitCursor(bool /*on*/) {}
    // Let the window system repaint; the model has just changed its progress caption.
    virtual void processEvents() {}
    // Progress of a long run, from 0 to 1.
    virtual void reportProgress(double /*fraction*/) {}
    // "波形表示" and "ﾍﾞｸﾄﾙ表示" with the samples in memory: show that window, hide the main one.
    virtual void showWaveformWindow() {}
    virtual void showVectorWindow() {}
    // The phase check ("自動位相確認") before an analysis: the vector window is shown and hidden
    // again, and its phase-sequence detection selects the rotation in the main window.
    virtual void showVectorWindowBriefly() {}
    virtual void endProgram() {}
};

}  // namespace pqwave
