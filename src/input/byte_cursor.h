// The one way bytes of an instrument file become numbers and texts. A ByteCursor reads header
// fields and tagged blocks from bytes held in memory (a whole header, or a block read from a
// larger file) and refuses to read outside them, naming the file and the file offset it wanted.
// Offsets are 0-based file offsets: the 1-based position p of a format table is offset p - 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/error.h"
#include "common/messages.h"

namespace pqwave {

// Integers from bytes, shared by the cursor and by the sample loops, which decode records
// whose length was checked once for the whole record.
inline std::uint16_t u16beAt(const std::byte* b) {
    return static_cast<std::uint16_t>(std::to_integer<unsigned>(b[0]) << 8 | std::to_integer<unsigned>(b[1]));
}
inline std::uint16_t u16leAt(const std::byte* b) {
    return static_cast<std::uint16_t>(std::to_integer<unsigned>(b[0]) | std::to_integer<unsigned>(b[1]) << 8);
}
inline std::uint32_t u32leAt(const std::byte* b) {
    return std::to_integer<std::uint32_t>(b[0]) | std::to_integer<std::uint32_t>(b[1]) << 8 |
           std::to_integer<std::uint32_t>(b[2]) << 16 | std::to_integer<std::uint32_t>(b[3]) << 24;
}

class ByteCursor {
public:
    // `bytes` are the file's bytes from file offset `firstOffset` on; the cursor starts there.
    ByteCursor(std::span<const std::byte> bytes, std::string fileName, std::uint64_t firstOffset = 0)
        : bytes_(bytes), fileName_(std::move(fileName)), first_(firstOffset), offset_(firstOffset) {}

    const std::string& fileName() const { return fileName_; }
    std::uint64_t offset() const { return offset_; }  // file offset of the next read
    std::uint64_t endOffset() const { return first_ + bytes_.size(); }

    // Whether `length` bytes from file offset `offset` are held.
    bool has(std::uint64_t offset, std::uint64_t length) const {
        return offset >= first_ && offset - first_ <= bytes_.size() && length <= bytes_.size() - (offset - first_);
    }
    bool hasNext(std::uint64_t length) const { return has(offset_, length); }

    // Moving is always allowed; the next read checks where the cursor stands.
    ByteCursor& seek(std::uint64_t offset) {
        offset_ = offset;
        return *this;
    }
    ByteCursor& skip(std::uint64_t length) {
        offset_ = length > UINT64_MAX - offset_ ? UINT64_MAX : offset_ + length;
        return *this;
    }

    std::span<const std::byte> bytes(std::size_t length) {
        if (!hasNext(length)) outside(length);
        auto span = bytes_.subspan(static_cast<std::size_t>(offset_ - first_), length);
        offset_ += length;
        return span;
    }
    std::string_view text(std::size_t width) {
        auto span = bytes(width);
        return {reinterpret_cast<const char*>(span.data()), span.size()};
    }
    std::uint8_t u8() { return std::to_integer<std::uint8_t>(bytes(1)[0]); }
    std::int8_t i8() { return static_cast<std::int8_t>(u8()); }
    std::uint16_t u16be() { return u16beAt(bytes(2).data()); }
    std::int16_t i16be() { return static_cast<std::int16_t>(u16be()); }
    std::uint16_t u16le() { return u16leAt(bytes(2).data()); }
    std::int16_t i16le() { return static_cast<std::int16_t>(u16le()); }
    std::uint32_t u32le() { return u32leAt(bytes(4).data()); }
    std::int32_t i32le() { return static_cast<std::int32_t>(u32le()); }

private:
    [[noreturn]] void outside(std::size_t length) const {
        const std::string needed = std::to_string(length), at = std::to_string(offset_),
                          end = std::to_string(endOffset());
        if (first_ == 0)
            throw Error(ErrorKind::Malformed, tr("{0}: needs {1} bytes at offset {2}, but the file has {3} bytes",
                                                 {fileName_, needed, at, end}));
        throw Error(ErrorKind::Malformed,
                    tr("{0}: needs {1} bytes at offset {2}, but only offsets {3} to {4} were read",
                       {fileName_, needed, at, std::to_string(first_), end}));
    }

    std::span<const std::byte> bytes_;
    std::string fileName_;
    std::uint64_t first_;
    std::uint64_t offset_;
};

}  // namespace pqwave
