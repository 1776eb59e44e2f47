// The PNG files of `pqwave-cli plot`: a display window's picture painted by the windows'
// own painter on Qt's offscreen platform, so no display is needed. The file appears under
// its name only when it is complete.
#pragma once

#include <filesystem>
#include <string>

namespace pqwave {

struct Picture;

// False, with the reason in `problem`, when the file cannot be written.
bool writePicturePng(const Picture& picture, int width, int height, const std::filesystem::path& output,
                     std::string& problem);

}  // namespace pqwave
