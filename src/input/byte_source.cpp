#include "input/byte_source.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/error.h"
#include "common/messages.h"
#include "input/file_bytes.h"

namespace pqwave {
namespace {

[[noreturn]] void beyondEnd(const std::string& name, std::uint64_t offset, std::size_t length, std::uint64_t size) {
    throw Error(ErrorKind::Malformed, tr("{0}: needs {1} bytes at offset {2}, but the file has {3} bytes",
                                         {name, std::to_string(length), std::to_string(offset), std::to_string(size)}));
}

}  // namespace

FileByteSource::FileByteSource(const std::filesystem::path& path) : ByteSource(path.string()) {
    OpenedFile opened = openRegularFile(path);
    file_ = std::move(opened.file);
    size_ = opened.size;
}

// Positioned reads, so that the loader's threads read their blocks of the one file side by side.
void FileByteSource::read(std::uint64_t offset, std::span<std::byte> into) const {
    if (offset > size_ || into.size() > size_ - offset) beyondEnd(name(), offset, into.size(), size_);
    const int fd = ::fileno(file_.get());
    for (std::size_t done = 0; done < into.size();) {
        const ssize_t n = ::pread(fd, into.data() + done, into.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw Error(ErrorKind::CannotRead, name() + ": " + std::strerror(errno));
        if (n == 0) throw Error(ErrorKind::CannotRead, name() + ": " + tr("the file ended early"));
        done += static_cast<std::size_t>(n);
    }
}

void MemoryByteSource::read(std::uint64_t offset, std::span<std::byte> into) const {
    if (offset > bytes_.size() || into.size() > bytes_.size() - offset)
        beyondEnd(name(), offset, into.size(), bytes_.size());
    if (into.empty()) return;  // an empty span may have no address, which memcpy must not get
    std::memcpy(into.data(), bytes_.data() + offset, into.size());
}

std::vector<std::byte> readAvailable(const ByteSource& source, std::uint64_t offset, std::uint64_t length) {
    if (offset >= source.size()) return {};
    std::vector<std::byte> bytes(static_cast<std::size_t>(std::min(length, source.size() - offset)));
    source.read(offset, bytes);
    return bytes;
}

}  // namespace pqwave
