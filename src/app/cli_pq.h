// `pqwave-cli pq FILE|FOLDER`: the power-quality measurement ("電力品質解析") of one recording, or
// of every recording of a folder that the chosen data kind lists, each writing its four files.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace pqwave {

// `args` starts with "pq"; returns the exit status as every command does.
int runPqCommand(const std::vector<std::string>& args, const std::filesystem::path& programFolder, std::ostream& out,
                 std::ostream& err);

}  // namespace pqwave
