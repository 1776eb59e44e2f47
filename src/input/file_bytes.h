// Reading an instrument file, or a part of it, into memory. Failures become an Error of
// kind CannotRead naming the file and the operating system's reason. Only regular files are
// read: a FIFO or a device would block the read or never end, so it is refused by its kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

namespace pqwave {

struct OpenedFile {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file{nullptr, &std::fclose};
    std::uintmax_t size = 0;
};

// Opened without waiting for a writer, so that a FIFO is refused instead of blocking.
OpenedFile openRegularFile(const std::filesystem::path& path);

std::uintmax_t fileSizeOf(const std::filesystem::path& path);

// Up to `maxBytes` bytes from `offset` on (fewer when the file ends first).
std::vector<std::byte> readFileRange(const std::filesystem::path& path, std::uintmax_t offset, std::size_t maxBytes);

}  // namespace pqwave
