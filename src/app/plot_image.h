// The PNG files of `pqwave-cli plot`: a display window's picture painted by the windows'
// own painter on Qt's offscreen platform, so no display is needed. The file appears under
// its name only when it is complete.
#pragma once

#include <filesystem>
#include <string>

namespace pqwave {

struct Picture;

// False, with a message naming the file in `problem`, when the file cannot be written. The
// output follows TextOutputFile's rules: a link is written at its target, "-" is standard output.
bool writePicturePng(const Picture& picture, int width, int height, const std::filesystem::path& output,
                     std::string& problem);

// The same for an SVG picture (a trend of the report), `pixelWidth` wide.
bool writeSvgPng(const std::string& svg, int pixelWidth, const std::filesystem::path& output, std::string& problem);

}  // namespace pqwave
