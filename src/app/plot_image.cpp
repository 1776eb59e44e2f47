#include "app/plot_image.h"

#include <mutex>
#include <string_view>

#include "common/error.h"
#include "common/messages.h"
#include "common/text_output_file.h"

namespace pqwave {
namespace {

PngEncoderSource encoderSource = nullptr;

const PngEncoders* encoders(const std::filesystem::path& output, std::string& problem) {
    static std::mutex mutex;
    static const PngEncoders* loaded = nullptr;
    static std::string whyNot;
    std::lock_guard lock(mutex);
    if (!loaded && whyNot.empty() && encoderSource) loaded = encoderSource(whyNot);
    if (!loaded) problem = tr("{0}: the picture cannot be drawn: {1}", {output.string(), whyNot});
    return loaded;
}

bool writePng(bool encoded, const std::string& png, const std::filesystem::path& output, std::string& problem) {
    if (!encoded) {
        problem = tr("{0}: the picture could not be encoded as PNG", {output.string()});
        return false;
    }
    try {
        TextOutputFile file(output);
        file.writeBytes(std::string_view(png));
        file.commit();
    } catch (const Error& error) {
        problem = error.what();
        return false;
    }
    return true;
}

}  // namespace

void setPngEncoderSource(PngEncoderSource source) {
    encoderSource = source;
}

bool canDrawPictures() {
    return encoderSource != nullptr;
}

bool writePicturePng(const Picture& picture, int width, int height, const std::filesystem::path& output,
                     std::string& problem) {
    const PngEncoders* with = encoders(output, problem);
    std::string png;
    return with && writePng(with->picture(picture, width, height, png), png, output, problem);
}

bool writeSvgPng(const std::string& svg, int pixelWidth, const std::filesystem::path& output, std::string& problem) {
    const PngEncoders* with = encoders(output, problem);
    std::string png;
    return with && writePng(with->svg(svg, pixelWidth, png), png, output, problem);
}

}  // namespace pqwave
