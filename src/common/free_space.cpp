#include "common/free_space.h"

#include <cstdio>

#include "common/error.h"
#include "common/messages.h"

namespace pqwave {

std::string byteSizeText(std::uintmax_t bytes) {
    static const char* const kUnits[] = {"kB", "MB", "GB", "TB", "PB"};
    if (bytes < 1000) return tr("{0} bytes", {std::to_string(bytes)});
    double value = static_cast<double>(bytes);
    int unit = -1;
    while (value >= 1000 && unit < 4) {
        value /= 1000;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, value < 10 ? "%.1f %s" : "%.0f %s", value, kUnits[unit]);
    return text;
}

void requireFreeSpace(const std::filesystem::path& folder, std::uintmax_t plannedBytes, const std::string& what) {
    std::error_code ec;
    const std::filesystem::space_info space = std::filesystem::space(folder.empty() ? "." : folder, ec);
    if (ec || plannedBytes <= space.available) return;  // a folder that cannot be asked is left to the writes
    throw Error(ErrorKind::CannotWrite,
                tr("{0} would write up to {1}, but only {2} are free in {3}",
                   {what, byteSizeText(plannedBytes), byteSizeText(space.available), folder.string()}));
}

}  // namespace pqwave
