// A CSV file as the program writes it, read back for checking: the raw bytes, and the
// lines (CR LF removed, CP932 decoded) split into fields.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pqwave::testing {

struct CsvFile {
    explicit CsvFile(const std::filesystem::path& path);
    std::string bytes;
    std::vector<std::string> lines;
    std::vector<std::vector<std::string>> rows;  // every line split at ","
    bool crLfOnly = true;                        // every line ends in CR LF, no bare LF

    double number(std::size_t line, std::size_t field) const;
};

}  // namespace pqwave::testing
