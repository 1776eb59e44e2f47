// pqwave-cli: the main-window model without a window, for scripts and tests.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace pqwave {

// Runs one command line (without the program name) and returns the exit status:
// 0 done, 1 a file could not be read or written or a run failed, 2 usage error,
// 3 the file is not recognised or the command is not available with these settings.
int runCli(const std::vector<std::string>& args, const std::filesystem::path& programFolder, std::ostream& out,
           std::ostream& err);

std::filesystem::path executableFolder();

}  // namespace pqwave
