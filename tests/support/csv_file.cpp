#include "support/csv_file.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "common/text.h"

namespace pqwave::testing {

CsvFile::CsvFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("no file " + path.string());
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            crLfOnly = false;
            end = bytes.size();
        }
        std::string line = bytes.substr(start, end - start);
        if (line.empty() || line.back() != '\r')
            crLfOnly = false;
        else
            line.pop_back();
        lines.push_back(cp932ToUtf8(line));
        start = end + 1;
    }
    for (const std::string& line : lines) {
        std::vector<std::string> fields;
        std::size_t from = 0;
        for (std::size_t comma; (comma = line.find(',', from)) != std::string::npos; from = comma + 1)
            fields.push_back(line.substr(from, comma - from));
        fields.push_back(line.substr(from));
        rows.push_back(fields);
    }
}

double CsvFile::number(std::size_t line, std::size_t field) const {
    const std::string& text = rows.at(line).at(field);
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    while (*end == ' ') ++end;
    if (text.empty() || *end != '\0') throw std::runtime_error("not a number: \"" + text + "\"");
    return value;
}

}  // namespace pqwave::testing
