// `pqwave-cli report FILE|FOLDER` and `pqwave-cli plot trend FILE|FOLDER`: the power-quality
// report of one recording or of the recordings of a folder as one HTML file, and one of its
// trend charts as a PNG, both from the same measurement the "レポート" command makes.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace pqwave {

// "report ..." and "plot trend ...", the commands runReportCommand takes.
bool isReportCommand(const std::vector<std::string>& args);

// `args` starts with "report" or "plot"; returns the exit status as every command does.
int runReportCommand(const std::vector<std::string>& args, const std::filesystem::path& programFolder,
                     std::ostream& out, std::ostream& err);

// Writes an SVG picture as a PNG `pixelWidth` wide; false, with a message naming the file in
// `problem`, when it cannot. plot trend needs one; the program that links Qt sets it.
using SvgPngWriter = bool (*)(const std::string& svg, int pixelWidth, const std::filesystem::path& output,
                              std::string& problem);
void setSvgPngWriter(SvgPngWriter writer);

}  // namespace pqwave
