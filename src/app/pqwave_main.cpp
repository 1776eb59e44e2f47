// pqwave: the desktop program. `pqwave` opens on the folder of the executable, where the
// instrument's files are usually copied; `pqwave FILE` opens on FILE's folder with FILE
// clicked, as a desktop's "open with" does; `pqwave FOLDER` opens on that folder.
#include <QApplication>
#include <QDate>
#include <filesystem>

#include "app/desktop_host.h"
#include "control/form1_model.h"
#include "control/qt/form1_window.h"
#include "display/qt/vector_window.h"
#include "display/qt/waveform_window.h"
#include "display/vector_model.h"
#include "display/waveform_model.h"

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
    host.setDialogParent(&window);

    // The window is up before the information message, so the message has something to sit on.
    window.show();
    window.load(QDate::currentDate().year());
    // Qt has taken its own options out of argv by now.
    if (argc > 1) pqwave::openGivenPath(model, window, argv[1]);
    return application.exec();
}
