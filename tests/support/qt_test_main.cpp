// main() of the window tests: they run without a display unless a developer asks for one, on
// an application whose font holds Japanese, as the program's own.
#include <gtest/gtest.h>

#include <QApplication>

#include "control/qt/qt_host.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform says on every window that it cannot pass size hints to a window
    // manager it does not have; that line would bury the test output.
    static const QtMessageHandler previous = qInstallMessageHandler(nullptr);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (!message.contains(QLatin1String("propagateSizeHints"))) previous(type, context, message);
    });
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    pqwave::useJapaneseCapableFont(application);
    return RUN_ALL_TESTS();
}
