// pqwave: the desktop program. `pqwave` opens on the folder of the executable, where the
// instrument's files are usually copied; `pqwave FILE` opens on FILE's folder with FILE
// clicked, as a desktop's "open with" does; `pqwave FOLDER` opens on that folder.
#include <QApplication>
#include <QDate>
#include <QListWidget>
#include <filesystem>

#include "app/desktop_host.h"
#include "control/form1_model.h"
#include "control/qt/form1_window.h"
#include "display/qt/vector_window.h"
#include "display/qt/waveform_window.h"
#include "display/vector_model.h"
#include "display/waveform_model.h"

namespace {

void openGivenPath(pqwave::Form1Model& model, pqwave::Form1& window, const std::filesystem::path& given) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path path = fs::absolute(given, ec).lexically_normal();
    try {
        if (fs::is_directory(path, ec)) {
            model.Dir1_Change(path.string());
        } else if (fs::exists(path, ec)) {
            model.Dir1_Change(path.parent_path().string());
            model.File1_Click(path.filename().string());
        } else {
            model.host().reportError(pqwave::ErrorKind::CannotRead, path.string() + ": no such file or folder");
        }
    } catch (const std::exception& error) {
        model.host().reportError(pqwave::ErrorKind::CannotRead, path.string() + ": " + error.what());
    }
    window.refresh();
    window.fileList()->setFocus();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pqwave"));
    pqwave::useJapaneseCapableFont(application);

    pqwave::DesktopHost host;
    pqwave::Form1Model model(std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()), &host);
    pqwave::Form1 window(model);
    pqwave::Form2Model waveformModel(model);
    pqwave::Form2 waveform(waveformModel);
    pqwave::Form02Model vectorModel(model);
    pqwave::Form02 vector(vectorModel);
    host.setWindows(&window, &waveform, &vector);
    host.setRefreshView([&window] { window.refresh(); });
    host.setProgressView([&window](double fraction) { window.showProgress(fraction); });
    host.setDialogParent(&window);

    // The window is up before the information message, so the message has something to sit on.
    window.show();
    window.load(QDate::currentDate().year());
    // Qt has taken its own options out of argv by now.
    if (argc > 1) openGivenPath(model, window, argv[1]);
    return application.exec();
}
