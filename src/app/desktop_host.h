// The desktop program's host: the Qt host of the main window, which also shows the waveform
// and vector windows in its place and runs the phase check on the vector window.
#pragma once

#include <filesystem>

#include "control/qt/qt_host.h"

namespace pqwave {

class Form1;
class Form2;
class Form02;

class Form1Model;

class DesktopHost : public QtHost {
public:
    // The windows the host switches between; each display window brings the main one back.
    void setWindows(Form1* main, Form2* waveform, Form02* vector);

    void showWaveformWindow() override;
    void showVectorWindow() override;

private:
    Form1* main_ = nullptr;
    Form2* waveform_ = nullptr;
    Form02* vector_ = nullptr;
};

// `pqwave FILE` opens with FILE's folder listed and FILE clicked, as a desktop's "open with"
// does; `pqwave FOLDER` opens with that folder listed. Focus goes to the file list.
void openGivenPath(Form1Model& model, Form1& window, const std::filesystem::path& given);

}  // namespace pqwave
