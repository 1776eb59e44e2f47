#include "common/text_output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

#include "common/error.h"
#include "common/file_kind.h"
#include "common/messages.h"
#include "common/output_path.h"
#include "common/part_files.h"
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

// Writes one buffer at a time into the file while its owner fills the next; the owner waits
// for it before it hands over another, writes anything itself or closes the file, so the bytes
// keep their order and the file is never used by two threads at once.
struct TextOutputFile::Writer {
    explicit Writer(std::FILE* file) : file_(file), thread_([this] { run(); }) {}
    ~Writer() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    // The errno of the write in hand once it is done, 0 when it went well.
    int wait() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return !busy_; });
        return std::exchange(error_, 0);
    }
    // Takes `buffer` (after wait()) and gives back the one written before.
    void hand(std::vector<char>& buffer, std::size_t used) {
        {
            std::lock_guard lock(mutex_);
            data_.swap(buffer);
            size_ = used;
            busy_ = true;
        }
        changed_.notify_all();
    }

private:
    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [&] { return busy_ || stop_; });
            if (!busy_) return;
            lock.unlock();
            errno = 0;
            const bool written = std::fwrite(data_.data(), 1, size_, file_) == size_;
            const int error = errno != 0 ? errno : EIO;
            lock.lock();
            if (!written) error_ = error;
            busy_ = false;
            changed_.notify_all();
        }
    }

    std::FILE* file_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<char> data_;
    std::size_t size_ = 0;
    bool busy_ = false, stop_ = false;
    int error_ = 0;
    std::thread thread_;  // last: it starts once the rest is ready
};

TextOutputFile::TextOutputFile(std::filesystem::path finalPath, Mode mode)
    : finalPath_(std::move(finalPath)), buffer_(kBufferBytes) {
    const OutputPath where = resolveOutputPath(finalPath_);
    name_ = where.kind == OutputPath::Kind::StandardOutput ? tr("standard output") : finalPath_.string();
    // A pipe or a terminal takes the bytes as they come; it has nothing to rename over.
    if (where.kind == OutputPath::Kind::StandardOutput) {
        openStream(::dup(STDOUT_FILENO));
        return;
    }
    if (where.kind == OutputPath::Kind::Stream) {
        openStream(::open(where.target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
        return;
    }

    targetPath_ = where.target;
    partPath_ = partPathFor(targetPath_);
    // Registered before it exists, so that no moment passes in which a signal could miss it.
    partSlot_ = registerPartFile(partPath_.c_str());
    partExists_ = true;
    std::error_code ec;
    if (mode == Mode::Append && std::filesystem::exists(targetPath_, ec)) {
        std::filesystem::copy_file(targetPath_, partPath_, std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) fail(systemReason(ec.value()));
        file_ = std::fopen(partPath_.c_str(), "ab");
    } else {
        file_ = std::fopen(partPath_.c_str(), "wb");
    }
    if (!file_) fail(systemReason(errno));
}

TextOutputFile::TextOutputFile(std::FILE* stream, std::string name)
    : finalPath_(name), name_(std::move(name)), file_(stream), buffer_(kBufferBytes) {
    if (!file_) throw Error(ErrorKind::CannotWrite, tr("{0}: no stream to write into", {name_}));
}

TextOutputFile::~TextOutputFile() {
    stopWriter();
    if (file_) std::fclose(file_);
    removePart();
}

void TextOutputFile::openStream(int fd) {
    if (fd >= 0) file_ = ::fdopen(fd, "wb");
    if (file_) return;
    const int error = errno;
    if (fd >= 0) ::close(fd);
    throw Error(ErrorKind::CannotWrite, name_ + ": " + systemReason(error));
}

void TextOutputFile::removePart() noexcept {
    if (partExists_) {
        std::error_code ignored;
        std::filesystem::remove(partPath_, ignored);
        partExists_ = false;
    }
    unregisterPartFile(partSlot_);
    partSlot_ = -1;
}

void TextOutputFile::fail(const std::string& what) {
    std::string message = name_ + ": " + what;
    stopWriter();
    if (file_) std::fclose(file_);
    file_ = nullptr;
    removePart();
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
        waitForWriter();
        if (std::fwrite(data, 1, size, file_) != size) fail(systemReason(errno));
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
    if (used_ == 0) return;
    if (!writer_) writer_ = std::make_unique<Writer>(file_);
    waitForWriter();
    writer_->hand(buffer_, used_);
    used_ = 0;
    if (buffer_.size() < kBufferBytes) buffer_.resize(kBufferBytes);  // the first hand gives back none
}

void TextOutputFile::waitForWriter() {
    if (!writer_) return;
    if (const int error = writer_->wait()) fail(systemReason(error));
}

void TextOutputFile::stopWriter() noexcept {
    writer_.reset();
}

void TextOutputFile::finish() {
    if (!file_) return;
    flushBuffer();
    waitForWriter();
    stopWriter();
    if (std::fflush(file_) != 0) fail(systemReason(errno));
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0) fail(systemReason(errno));
}

void TextOutputFile::rename(const std::filesystem::path& finalPath) {
    if (partPath_.empty()) return;
    const OutputPath where = resolveOutputPath(finalPath);
    if (where.kind != OutputPath::Kind::File)
        throw Error(ErrorKind::CannotWrite, tr("{0}: not a file an output can be renamed to", {finalPath.string()}));
    finalPath_ = finalPath;
    name_ = finalPath.string();
    targetPath_ = where.target;
}

void TextOutputFile::commit() {
    finish();
    if (!partExists_) return;
    std::error_code ec;
    std::filesystem::rename(partPath_, targetPath_, ec);
    if (ec) fail(systemReason(ec.value()));
    partExists_ = false;
    removePart();
}

}  // namespace pqwave
