// The desktop program's host: the Qt host of the main window, which also shows the waveform
// and vector windows in its place and runs the phase check on the vector window.
#pragma once

#include <QUrl>
#include <filesystem>
#include <functional>
#include <memory>

#include "control/qt/qt_host.h"

namespace pqwave {

class Form1;
class Form2;
class Form02;
class TrendWindow;

class Form1Model;

class DesktopHost : public QtHost {
public:
    // The windows the host switches between; each display window brings the main one back.
    void setWindows(Form1* main, Form2* waveform, Form02* vector);

    void showWaveformWindow() override;
    void showVectorWindow() override;
    // The report is written, then opened by the desktop's browser (or `opener`, for tests).
    void showReport(const PqSurvey& survey, const std::filesystem::path& output) override;
    void showTrends(std::shared_ptr<const PqSurvey> survey) override;
    void setUrlOpener(std::function<bool(const QUrl&)> opener) { opener_ = std::move(opener); }
    TrendWindow* trendWindow() const { return trends_.get(); }

    DesktopHost();
    ~DesktopHost() override;

private:
    std::function<bool(const QUrl&)> opener_;
    std::unique_ptr<TrendWindow> trends_;
    Form1* main_ = nullptr;
    Form2* waveform_ = nullptr;
    Form02* vector_ = nullptr;
};

// `pqwave FILE` opens with FILE's folder listed and FILE clicked, as a desktop's "open with"
// does; `pqwave FOLDER` opens with that folder listed. Focus goes to the file list.
void openGivenPath(Form1Model& model, Form1& window, const std::filesystem::path& given);

}  // namespace pqwave
