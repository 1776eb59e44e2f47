#include "input/byte_source.h"

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

void FileByteSource::read(std::uint64_t offset, std::span<std::byte> into) const {
    if (offset > size_ || into.size() > size_ - offset) beyondEnd(name(), offset, into.size(), size_);
    if (fseeko(file_.get(), static_cast<off_t>(offset), SEEK_SET) != 0 ||
        std::fread(into.data(), 1, into.size(), file_.get()) != into.size())
        throw Error(ErrorKind::CannotRead,
                    name() + ": " +
                        (std::ferror(file_.get()) ? std::string(std::strerror(errno)) : tr("the file ended early")));
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
