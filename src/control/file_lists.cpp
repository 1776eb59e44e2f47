#include "control/file_lists.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "common/text.h"

namespace pqwave {
namespace {

bool isRealVolume(const std::string& device, const std::string& mountPoint) {
    return mountPoint == "/" || startsWith(device, "/dev/") || startsWith(device, "//") ||
           device.find(':') != std::string::npos;
}

// /proc/mounts escapes blanks in mount points as octal.
std::string unescapeMountPoint(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            out += static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0'));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool globMatch(std::string_view name, std::string_view pattern) {
    std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++n, ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

std::vector<std::string> mountedVolumes() {
    std::vector<std::string> volumes;
    std::ifstream mounts("/proc/mounts");
    std::string line;
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint;
        fields >> device >> mountPoint;
        mountPoint = unescapeMountPoint(mountPoint);
        if (isRealVolume(device, mountPoint) && std::find(volumes.begin(), volumes.end(), mountPoint) == volumes.end())
            volumes.push_back(mountPoint);
    }
    if (std::find(volumes.begin(), volumes.end(), "/") == volumes.end()) volumes.insert(volumes.begin(), "/");
    std::sort(volumes.begin(), volumes.end());
    return volumes;
}

std::string volumeOf(const std::filesystem::path& path, const std::vector<std::string>& volumes) {
    std::string best = "/";
    std::string text = path.string();
    for (const std::string& volume : volumes) {
        bool inside = text == volume || startsWith(text, volume == "/" ? volume : volume + "/");
        if (inside && volume.size() > best.size()) best = volume;
    }
    return best;
}

bool matchesPattern(std::string_view name, std::string_view pattern) {
    std::string lowerName = toLowerAscii(name);
    std::string lowerPattern = toLowerAscii(pattern);
    if (globMatch(lowerName, lowerPattern)) return true;
    bool anyExtension = lowerPattern.size() >= 2 && lowerPattern.compare(lowerPattern.size() - 2, 2, ".*") == 0;
    return anyExtension && lowerName.find('.') == std::string::npos &&
           globMatch(lowerName, std::string_view(lowerPattern).substr(0, lowerPattern.size() - 2));
}

std::vector<std::string> listMatchingFiles(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        std::string name = it->path().filename().string();
        if (matchesPattern(name, pattern)) names.push_back(name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return toLowerAscii(a) < toLowerAscii(b); });
    return names;
}

std::vector<std::string> listSubfolders(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.' || !it->is_directory(typeError)) continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return toLowerAscii(a) < toLowerAscii(b); });
    return names;
}

std::string joinFolder(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

}  // namespace pqwave
