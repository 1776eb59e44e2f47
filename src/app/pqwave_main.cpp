// pqwave: the desktop program. `pqwave` opens on the folder of the executable, where the
// instrument's files are usually copied; `pqwave FILE` opens on FILE's folder with FILE
// clicked, as a desktop's "open with" does; `pqwave FOLDER` opens on that folder. --help and
// --version answer before any window is thought of, and without a display it says so.
#include <QApplication>
#include <QDate>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "app/desktop_host.h"
#include "common/messages.h"
#include "common/program_folder.h"
#include "control/form1_model.h"
#include "control/qt/form1_window.h"
#include "display/qt/vector_window.h"
#include "display/qt/waveform_window.h"
#include "display/vector_model.h"
#include "display/waveform_model.h"

namespace {

const char* const kUsage = pqwave::N_(
    "usage: pqwave [FILE|FOLDER]\n"
    "\n"
    "Opens the main window on the folder of the program, or on FOLDER, or on FILE's folder with FILE\n"
    "clicked. Qt's own options (-platform NAME, ...) may come first. pqwave-cli does the same work\n"
    "without a window: pqwave-cli help.\n"
    "\n"
    "  -h, --help       this help\n"
    "  -V, --version    the version\n");

bool given(int argc, char** argv, const char* shortName, const char* longName) {
    for (int k = 1; k < argc; ++k)
        if (std::strcmp(argv[k], shortName) == 0 || std::strcmp(argv[k], longName) == 0) return true;
    return false;
}

// Qt aborts when it finds no display to open a window on; this is the same question asked first.
bool displayGiven(int argc, char** argv) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* value = std::getenv(name); value && *value) return true;
    return given(argc, argv, "-platform", "--platform");
}

// While the application starts, Qt's messages are held back: when it gives up (a DISPLAY
// nobody answers), the first of them is the one line said, and the exit is 1; otherwise they
// are said as Qt would have.
QStringList startupComplaints;

void startupMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    startupComplaints.append(message);
    if (type != QtFatalMsg) return;
    std::cerr << "pqwave: "
              << pqwave::tr("no display to open the window on: {0}; pqwave-cli works without one",
                            {startupComplaints.front().toStdString()})
              << std::endl;
    std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    // What is said on the terminal before the window is up follows the locale, as pqwave-cli does.
    pqwave::useLanguage(pqwave::languageOfEnvironment(), pqwave::executableFolder());
    if (given(argc, argv, "-h", "--help")) {
        std::cout << pqwave::tr(kUsage);
        return 0;
    }
    if (given(argc, argv, "-V", "--version")) {
        std::cout << "pqwave " << PQWAVE_VERSION << "\n";
        return 0;
    }
    if (!displayGiven(argc, argv)) {
        std::cerr << "pqwave: "
                  << pqwave::tr(
                         "no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set); "
                         "pqwave-cli works without one")
                  << "\n";
        return 1;
    }
    const QtMessageHandler previousHandler = qInstallMessageHandler(startupMessages);
    QApplication application(argc, argv);
    qInstallMessageHandler(previousHandler);
    for (const QString& message : startupComplaints) std::cerr << message.toStdString() << "\n";
    QApplication::setApplicationName(QStringLiteral("pqwave"));
    // The window speaks Japanese, its messages included, whatever the locale.
    pqwave::useLanguage(pqwave::Language::Japanese, QCoreApplication::applicationDirPath().toStdString());
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
