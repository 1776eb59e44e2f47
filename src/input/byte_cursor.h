// Checked access to the bytes of an instrument file held in memory. Every read names the
// file and the offset it wanted when it would run past the end, so a cut file gives a
// message instead of garbage. Offsets are 0-based file offsets.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/error.h"

namespace pqwave {

class ByteCursor {
public:
    ByteCursor(std::span<const std::byte> bytes, std::string fileName)
        : bytes_(bytes), fileName_(std::move(fileName)) {}

    std::size_t size() const { return bytes_.size(); }
    const std::string& fileName() const { return fileName_; }
    bool has(std::size_t offset, std::size_t length) const {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }

    std::span<const std::byte> bytes(std::size_t offset, std::size_t length) const {
        require(offset, length);
        return bytes_.subspan(offset, length);
    }
    std::string_view text(std::size_t offset, std::size_t width) const {
        auto span = bytes(offset, width);
        return {reinterpret_cast<const char*>(span.data()), span.size()};
    }
    std::uint8_t u8(std::size_t offset) const { return static_cast<std::uint8_t>(bytes(offset, 1)[0]); }
    std::int8_t i8(std::size_t offset) const { return static_cast<std::int8_t>(u8(offset)); }
    std::uint16_t u16le(std::size_t offset) const {
        auto b = bytes(offset, 2);
        return static_cast<std::uint16_t>(std::to_integer<unsigned>(b[0]) | std::to_integer<unsigned>(b[1]) << 8);
    }
    std::int16_t i16le(std::size_t offset) const { return static_cast<std::int16_t>(u16le(offset)); }
    std::int32_t i32le(std::size_t offset) const {
        auto b = bytes(offset, 4);
        std::uint32_t v = std::to_integer<std::uint32_t>(b[0]) | std::to_integer<std::uint32_t>(b[1]) << 8 |
                          std::to_integer<std::uint32_t>(b[2]) << 16 | std::to_integer<std::uint32_t>(b[3]) << 24;
        return static_cast<std::int32_t>(v);
    }

private:
    void require(std::size_t offset, std::size_t length) const {
        if (!has(offset, length))
            throw Error(ErrorKind::Malformed, fileName_ + ": needs " + std::to_string(length) + " bytes at offset " +
                                                  std::to_string(offset) + ", but the file has " +
                                                  std::to_string(bytes_.size()) + " bytes");
    }

    std::span<const std::byte> bytes_;
    std::string fileName_;
};

}  // namespace pqwave
