#include "app/plot_image.h"

#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdio>
#include <memory>

#include "display/picture.h"
#include "display/qt/picture_painter.h"

namespace pqwave {
namespace {

// Fonts need a GUI application; the command line has none until it paints its first picture,
// and then takes the offscreen platform whatever display the environment names.
void ensureGuiApplication() {
    if (QCoreApplication::instance()) return;
    // Qt's remarks about the session (no runtime folder, no window manager) are not the
    // user's business; the command line's stderr carries one line per failure of its own.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    static int argc = 3;
    static char name[] = "pqwave-cli", option[] = "-platform", platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    static std::unique_ptr<QGuiApplication> application = std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

bool writePicturePng(const Picture& picture, int width, int height, const std::filesystem::path& output,
                     std::string& problem) {
    ensureGuiApplication();
    const QImage image = renderPicture(picture, QSize(width, height));
    std::filesystem::path partial = output;
    partial += ".part" + std::to_string(::getpid());
    if (!image.save(QString::fromStdString(partial.string()), "PNG")) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        problem = "cannot write the picture there";
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(partial, output, ec);
    if (ec) {
        problem = "cannot put the picture in place: " + ec.message();
        std::filesystem::remove(partial, ec);
        return false;
    }
    return true;
}

}  // namespace pqwave
