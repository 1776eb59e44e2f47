// pqwave-cli: the main-window model without a window, for scripts and tests.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace pqwave {

// Runs one command line (without the program name) and returns the exit status:
// 0 done, 1 a file could not be read or written or a run failed, 2 usage error,
// 3 the file is not recognised, the command is not available with these settings or a
// setting names a control a user cannot reach now,
// 128 + the signal's number when SIGINT, SIGTERM or SIGHUP cancelled the run.
int runCli(const std::vector<std::string>& args, const std::filesystem::path& programFolder, std::ostream& out,
           std::ostream& err);

}  // namespace pqwave
