#include "common/text_output_file.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "common/error.h"
#include "common/text.h"

namespace pqwave {
namespace {

constexpr std::size_t kBufferBytes = 1 << 20;

// Unique per writer, so that conversions running side by side never share a partial file,
// even when two recordings propose the same output name.
std::filesystem::path partPathFor(const std::filesystem::path& finalPath) {
    static std::atomic<unsigned> writers{0};
    std::filesystem::path part = finalPath;
    part += ".part" + std::to_string(::getpid()) + "-" + std::to_string(writers++);
    return part;
}

}  // namespace

TextOutputFile::TextOutputFile(std::filesystem::path finalPath, Mode mode)
    : finalPath_(std::move(finalPath)), partPath_(partPathFor(finalPath_)), buffer_(kBufferBytes) {
    if (mode == Mode::Append && std::filesystem::exists(finalPath_)) {
        std::error_code ec;
        std::filesystem::copy_file(finalPath_, partPath_, std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) throw Error(ErrorKind::CannotWrite, finalPath_.string() + ": " + ec.message());
        file_ = std::fopen(partPath_.c_str(), "ab");
    } else {
        file_ = std::fopen(partPath_.c_str(), "wb");
    }
    if (!file_) throw Error(ErrorKind::CannotWrite, finalPath_.string() + ": " + std::strerror(errno));
    partExists_ = true;
}

TextOutputFile::~TextOutputFile() {
    if (file_) std::fclose(file_);
    if (partExists_) {
        std::error_code ignored;
        std::filesystem::remove(partPath_, ignored);
    }
}

void TextOutputFile::fail(const std::string& what) {
    std::string message = finalPath_.string() + ": " + what;
    if (file_) std::fclose(file_);
    file_ = nullptr;
    partExists_ = false;
    std::error_code ignored;
    std::filesystem::remove(partPath_, ignored);
    throw Error(ErrorKind::CannotWrite, message);
}

void TextOutputFile::write(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            std::string converted = utf8ToCp932(text);
            append(converted.data(), converted.size());
            return;
        }
    }
    append(text.data(), text.size());
}

void TextOutputFile::append(const char* data, std::size_t size) {
    if (buffer_.size() - used_ < size) flushBuffer();
    if (size > buffer_.size()) {
        if (std::fwrite(data, 1, size, file_) != size) fail(std::strerror(errno));
        return;
    }
    std::memcpy(buffer_.data() + used_, data, size);
    used_ += size;
}

char* TextOutputFile::reserve(std::size_t bytes) {
    if (buffer_.size() - used_ < bytes) flushBuffer();
    if (buffer_.size() < bytes) buffer_.resize(bytes);
    return buffer_.data() + used_;
}

void TextOutputFile::flushBuffer() {
    if (used_ > 0 && std::fwrite(buffer_.data(), 1, used_, file_) != used_) fail(std::strerror(errno));
    used_ = 0;
}

void TextOutputFile::finish() {
    if (!file_) return;
    flushBuffer();
    if (std::fflush(file_) != 0) fail(std::strerror(errno));
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0) fail(std::strerror(errno));
}

void TextOutputFile::commit() {
    if (!partExists_) return;
    finish();
    std::error_code ec;
    std::filesystem::rename(partPath_, finalPath_, ec);
    if (ec) fail(ec.message());
    partExists_ = false;
}

}  // namespace pqwave
