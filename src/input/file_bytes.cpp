#include "input/file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "common/error.h"

namespace pqwave {
namespace {

[[noreturn]] void cannotRead(const std::filesystem::path& path, int error) {
    throw Error(ErrorKind::CannotRead, path.string() + ": " + std::strerror(error));
}

}  // namespace

std::uintmax_t fileSizeOf(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) cannotRead(path, EISDIR);
    std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) throw Error(ErrorKind::CannotRead, path.string() + ": " + ec.message());
    return size;
}

std::vector<std::byte> readFileRange(const std::filesystem::path& path, std::uintmax_t offset, std::size_t maxBytes) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) cannotRead(path, errno);
    std::uintmax_t size = fileSizeOf(path);
    if (offset >= size) return {};
    std::size_t length = static_cast<std::size_t>(std::min<std::uintmax_t>(maxBytes, size - offset));
    std::vector<std::byte> bytes(length);
    if (fseeko(file.get(), static_cast<off_t>(offset), SEEK_SET) != 0) cannotRead(path, errno);
    std::size_t got = std::fread(bytes.data(), 1, length, file.get());
    if (got != length) {
        if (std::ferror(file.get())) cannotRead(path, errno);
        bytes.resize(got);  // the file shrank while we read it
    }
    return bytes;
}

}  // namespace pqwave
