// What the main-window model asks of whoever shows it: the Qt window, the CLI or a test.
// The model never talks to a toolkit; it calls these, and the default does nothing.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "batch/all_files_run.h"
#include "batch/file_outcome.h"
#include "common/error.h"

namespace pqwave {

struct PqSurvey;

class Form1Host {
public:
    virtual ~Form1Host() = default;

    // A modal message with an OK button. The text may hold carriage returns as line breaks.
    virtual void showMessage(const std::string& /*title*/, const std::string& /*text*/) {}
    // A failure or a warning, one line naming the file.
    virtual void reportError(ErrorKind /*kind*/, const std::string& /*message*/) {}
    virtual void reportWarning(const std::string& /*message*/) {}
    // The all-files run's problems with single files, in the file list's order, and then the
    // end of that run; the desktop lists them in one message at the end.
    virtual void reportFileProblem(const FileProblem& problem) {
        if (problem.failed)
            reportError(problem.kind, problem.message);
        else
            reportWarning(problem.message);
    }
    virtual void allFilesRunEnded(const AllFilesTally& /*tally*/) {}
    // A file a command has put in place (not standard output), named as it was written.
    virtual void reportFileWritten(const std::filesystem::path& /*path*/) {}
    // The hourglass pointer during loads and runs.
    virtual void setWaitCursor(bool /*on*/) {}
    // Let the window system repaint; the model has just changed its progress caption.
    virtual void processEvents() {}
    // "波形表示" and "ﾍﾞｸﾄﾙ表示" with the samples in memory: show that window, hide the main one.
    virtual void showWaveformWindow() {}
    virtual void showVectorWindow() {}
    virtual void endProgram() {}
    // "レポート": write the report of the measured survey at `output` and open it in the
    // desktop's browser (throws Error when it cannot be written).
    virtual void showReport(const PqSurvey& /*survey*/, const std::filesystem::path& /*output*/) {}
    // "トレンド": show the survey's trends in a window.
    virtual void showTrends(std::shared_ptr<const PqSurvey> /*survey*/) {}
};

// Every file of a conversion put in place, told to the host; standard output is no file.
inline void reportWritten(Form1Host& host, const OutputFiles& outputs) {
    for (const TextOutputFile* file : outputs.files())
        if (file->path() != "-") host.reportFileWritten(file->path());
}

}  // namespace pqwave
