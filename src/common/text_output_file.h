// A CSV output file as spreadsheets on Japanese desktops expect it: code page 932, lines
// ended by CR LF. It is written beside its final name and renamed into place by commit(),
// so a run that fails leaves any earlier file of that name as it was. A name that is a
// symbolic link is written at the link's final target and the link kept; a FIFO, a character
// device or "-" (standard output) gets the bytes straight away, with nothing renamed. A full
// buffer is written by a thread of the file's own while the next is filled.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pqwave {

class TextOutputFile {
public:
    enum class Mode { Replace, Append };

    // Throws Error (CannotWrite) naming the file when nothing can be written there.
    explicit TextOutputFile(std::filesystem::path finalPath, Mode mode = Mode::Replace);
    // Writes into an open stream it then owns and closes (a stream in memory, say), with
    // nothing renamed; `name` names it in messages.
    TextOutputFile(std::FILE* stream, std::string name);
    ~TextOutputFile();  // without commit() the partial file is removed
    TextOutputFile(const TextOutputFile&) = delete;
    TextOutputFile& operator=(const TextOutputFile&) = delete;

    // UTF-8 text, converted to CP932 when it holds anything beyond ASCII.
    void write(std::string_view text);
    void writeAscii(std::string_view text) { append(text.data(), text.size()); }
    // Bytes as they are, for files that are not text (a picture).
    void writeBytes(std::string_view bytes) { append(bytes.data(), bytes.size()); }
    void endLine() { append("\r\n", 2); }
    void writeLine(std::string_view text) {
        write(text);
        endLine();
    }

    // Room for `bytes` of ASCII written straight into the buffer; pass the end to release().
    char* reserve(std::size_t bytes);
    void release(char* end) { used_ = static_cast<std::size_t>(end - buffer_.data()); }

    // Completes the file beside its final name without renaming it, so that the files of a
    // pair can all be complete before any of them is renamed into place by commit().
    void finish();
    void commit();
    const std::filesystem::path& path() const { return finalPath_; }
    // Another final name in the same folder, before commit(): the all-files run gives a later
    // recording whose output name an earlier one took a name of its own. A stream keeps going
    // where it goes.
    void rename(const std::filesystem::path& finalPath);

private:
    void openStream(int fd);
    void append(const char* data, std::size_t size);
    void flushBuffer();
    void waitForWriter();
    void stopWriter() noexcept;
    void removePart() noexcept;
    [[noreturn]] void fail(const std::string& what);

    std::filesystem::path finalPath_;
    std::string name_;                  // for messages
    std::filesystem::path targetPath_;  // the file renamed over: finalPath_, or its link's target
    std::filesystem::path partPath_;    // empty when the output is a stream
    std::FILE* file_ = nullptr;
    bool partExists_ = false;  // written beside the final name and not yet renamed
    int partSlot_ = -1;        // in the registry of part files a signal removes
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    struct Writer;
    std::unique_ptr<Writer> writer_;  // started by the first full buffer
};

}  // namespace pqwave
