// `pqwave-cli report` and `pqwave-cli plot trend` draw their pictures without Qt in the
// command-line library; the program that links Qt hands them the SVG-to-PNG writer.
#pragma once

#include <filesystem>
#include <string>

namespace pqwave {

// Writes an SVG picture as a PNG `pixelWidth` wide; false, with a message naming the file in
// `problem`, when it cannot. plot trend needs one; the program that links Qt sets it.
using SvgPngWriter = bool (*)(const std::string& svg, int pixelWidth, const std::filesystem::path& output,
                              std::string& problem);
void setSvgPngWriter(SvgPngWriter writer);

}  // namespace pqwave
