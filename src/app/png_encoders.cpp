#include "app/png_encoders.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdio>
#include <memory>

#include "display/picture.h"
#include "display/qt/picture_painter.h"
#include "report/qt/svg_image.h"

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

// Encoded in memory: QImage::save reports success even when its last write to a full disk
// failed, while the caller's output file checks every write and the rename.
bool encoded(const QImage& image, std::string& png) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) return false;
    png.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

bool encodePicture(const Picture& picture, int width, int height, std::string& png) {
    ensureGuiApplication();
    return encoded(renderPicture(picture, QSize(width, height)), png);
}

bool encodeSvg(const std::string& svg, int pixelWidth, std::string& png) {
    ensureGuiApplication();
    return encoded(renderSvg(svg, pixelWidth), png);
}

}  // namespace
}  // namespace pqwave

extern "C" const pqwave::PngEncoders* pqwavePngEncoders() {
    static const pqwave::PngEncoders encoders{&pqwave::encodePicture, &pqwave::encodeSvg};
    return &encoders;
}
