// The program's own folder: the folder of the running executable, where the sample recordings
// and the message catalogue (locale/) lie beside it.
#pragma once

#include <filesystem>

namespace pqwave {

std::filesystem::path executableFolder();

}  // namespace pqwave
