#include "input/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "common/error.h"
#include "common/file_kind.h"
#include "common/messages.h"

namespace pqwave {
namespace {

[[noreturn]] void cannotRead(const std::filesystem::path& path, const std::string& why) {
    throw Error(ErrorKind::CannotRead, path.string() + ": " + why);
}

std::string notRegular(const struct stat& st) {
    return tr("not a regular file ({0})", {fileKindOf(st.st_mode)});
}

}  // namespace

OpenedFile openRegularFile(const std::filesystem::path& path) {
    // Looked at first so that a device is never opened (opening some has effects of its own),
    // and again once open, in case the name changed hands in between.
    fileSizeOf(path);
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) cannotRead(path, systemReason(errno));
    auto closeAndRefuse = [&](const std::string& why) {
        ::close(fd);
        cannotRead(path, why);
    };
    struct stat st;
    if (::fstat(fd, &st) != 0) closeAndRefuse(systemReason(errno));
    if (!S_ISREG(st.st_mode)) closeAndRefuse(notRegular(st));
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    OpenedFile opened;
    opened.file.reset(::fdopen(fd, "rb"));
    if (!opened.file) closeAndRefuse(systemReason(errno));
    opened.size = static_cast<std::uintmax_t>(st.st_size);
    return opened;
}

std::uintmax_t fileSizeOf(const std::filesystem::path& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) cannotRead(path, systemReason(errno));
    if (!S_ISREG(st.st_mode)) cannotRead(path, notRegular(st));
    return static_cast<std::uintmax_t>(st.st_size);
}

std::vector<std::byte> readFileRange(const std::filesystem::path& path, std::uintmax_t offset, std::size_t maxBytes) {
    OpenedFile opened = openRegularFile(path);
    std::FILE* file = opened.file.get();
    if (offset >= opened.size) return {};
    std::size_t length = static_cast<std::size_t>(std::min<std::uintmax_t>(maxBytes, opened.size - offset));
    std::vector<std::byte> bytes(length);
    if (fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0) cannotRead(path, systemReason(errno));
    std::size_t got = std::fread(bytes.data(), 1, length, file);
    if (got != length) {
        if (std::ferror(file)) cannotRead(path, systemReason(errno));
        bytes.resize(got);  // the file shrank while we read it
    }
    return bytes;
}

}  // namespace pqwave
