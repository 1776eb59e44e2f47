// The drive, folder and file lists of the main window on this platform: drives are the
// mounted volumes, and file patterns match case-insensitively, since instruments write
// upper-case names on their cards.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pqwave {

std::vector<std::string> mountedVolumes();
// The mounted volume among `volumes` that holds `path`.
std::string volumeOf(const std::filesystem::path& path, const std::vector<std::string>& volumes);

// A pattern of '*' and '?' over the whole name, case-insensitively; as on the card's own
// system, a pattern ending in ".*" also matches a name without an extension.
bool matchesPattern(std::string_view name, std::string_view pattern);

// The regular files of `folder` that match `pattern`, sorted; nothing when it cannot be read.
std::vector<std::string> listMatchingFiles(const std::string& folder, const std::string& pattern);

// The folders directly inside `folder`, sorted, without hidden ones (a name starting with
// "."), which would bury a card's few folders under a home folder's settings.
std::vector<std::string> listSubfolders(const std::string& folder);

// folder + separator + name, without doubling a separator the folder already ends with.
std::string joinFolder(const std::string& folder, const std::string& name);

}  // namespace pqwave
