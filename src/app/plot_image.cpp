#include "app/plot_image.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdio>
#include <memory>
#include <string_view>

#include "common/error.h"
#include "common/messages.h"
#include "common/text_output_file.h"
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

// Encoded in memory first: QImage::save reports success even when its last write to a full
// disk failed, while the output file checks every write and the rename.
bool writePng(const QImage& image, const std::filesystem::path& output, std::string& problem) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) {
        problem = tr("{0}: the picture could not be encoded as PNG", {output.string()});
        return false;
    }
    try {
        TextOutputFile file(output);
        file.writeBytes(std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
        file.commit();
    } catch (const Error& error) {
        problem = error.what();
        return false;
    }
    return true;
}

}  // namespace

bool writePicturePng(const Picture& picture, int width, int height, const std::filesystem::path& output,
                     std::string& problem) {
    ensureGuiApplication();
    return writePng(renderPicture(picture, QSize(width, height)), output, problem);
}

bool writeSvgPng(const std::string& svg, int pixelWidth, const std::filesystem::path& output, std::string& problem) {
    ensureGuiApplication();
    return writePng(renderSvg(svg, pixelWidth), output, problem);
}

}  // namespace pqwave
