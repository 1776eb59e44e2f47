// Reading an instrument file, or a part of it, into memory. Failures become an Error of
// kind CannotRead naming the file and the operating system's reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace pqwave {

std::uintmax_t fileSizeOf(const std::filesystem::path& path);

// Up to `maxBytes` bytes from `offset` on (fewer when the file ends first).
std::vector<std::byte> readFileRange(const std::filesystem::path& path, std::uintmax_t offset, std::size_t maxBytes);

}  // namespace pqwave
