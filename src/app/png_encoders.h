// The PNG encoders of pqwave-cli's pictures: a display window's picture painted by the windows'
// own painter, and the report's SVG pictures, both on Qt's offscreen platform. They sit in a
// module of their own (pqwave-pictures.so) that pqwave-cli loads when it draws its first
// picture, so a conversion never pays for starting Qt's libraries.
#pragma once

#include <string>

namespace pqwave {

struct Picture;

struct PngEncoders {
    // False when Qt cannot paint or encode the picture; `png` holds the file's bytes.
    bool (*picture)(const Picture& picture, int width, int height, std::string& png);
    bool (*svg)(const std::string& svg, int pixelWidth, std::string& png);
};

}  // namespace pqwave

// The module's one entry, looked up by name.
extern "C" const pqwave::PngEncoders* pqwavePngEncoders();
