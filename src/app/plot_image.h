// The PNG files of `pqwave-cli plot` and `plot trend`. The file appears under its name only when
// it is complete, and follows TextOutputFile's rules: a link is written at its target, "-" is
// standard output.
#pragma once

#include <filesystem>
#include <string>

#include "app/png_encoders.h"

namespace pqwave {

// Where the encoders come from, asked on the first picture: null with the reason in `problem`
// when they cannot be had. Without a source (a build without Qt) no picture can be drawn.
using PngEncoderSource = const PngEncoders* (*)(std::string& problem);
void setPngEncoderSource(PngEncoderSource source);
bool canDrawPictures();

// False, with a message naming the file in `problem`, when the file cannot be written.
bool writePicturePng(const Picture& picture, int width, int height, const std::filesystem::path& output,
                     std::string& problem);
// The same for an SVG picture (a trend of the report), `pixelWidth` wide.
bool writeSvgPng(const std::string& svg, int pixelWidth, const std::filesystem::path& output, std::string& problem);

}  // namespace pqwave
