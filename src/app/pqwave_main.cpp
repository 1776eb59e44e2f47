// pqwave: the desktop program. It takes no arguments; the file list starts in the folder
// of the executable, where the instrument's files are usually copied beside it.
#include <QApplication>
#include <QDate>
#include <filesystem>

#include "control/form1_model.h"
#include "control/qt/form1_window.h"
#include "control/qt/qt_host.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pqwave"));
    pqwave::useJapaneseCapableFont(application);

    pqwave::QtHost host;
    pqwave::Form1Model model(std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()), &host);
    pqwave::Form1 window(model);
    host.setRefreshView([&window] { window.refresh(); });
    host.setDialogParent(&window);

    // The window is up before the information message, so the message has something to sit on.
    window.show();
    window.load(QDate::currentDate().year());
    return application.exec();
}
