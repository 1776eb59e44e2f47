// pqwave-cli run in the test's own process: its exit status and what it printed.
#pragma once

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli.h"

namespace pqwave::testing {

struct CliRun {
    int status = 0;
    std::string out, err;

    bool says(const std::string& part) const { return err.find(part) != std::string::npos; }
    // `line` stands as a whole line of standard output.
    bool has(const std::string& line) const { return out.find("\n" + line + "\n") != std::string::npos; }
    int errLines() const { return static_cast<int>(std::count(err.begin(), err.end(), '\n')); }
    std::vector<std::string> lines() const {
        std::vector<std::string> all;
        std::istringstream in(err);
        for (std::string line; std::getline(in, line);) all.push_back(line);
        return all;
    }
};

inline CliRun cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = runCli(args, std::filesystem::temp_directory_path(), out, err);
    return {status, out.str(), err.str()};
}

}  // namespace pqwave::testing
