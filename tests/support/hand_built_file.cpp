#include "support/hand_built_file.h"

#include <stdexcept>

namespace pqwave::testing {

HandBuiltFile::HandBuiltFile(std::size_t size, char filler)
    : bytes_(size, static_cast<std::byte>(filler)), filler_(static_cast<std::byte>(filler)) {}

std::byte& HandBuiltFile::at(std::size_t position) {
    if (position < 1) throw std::invalid_argument("positions count from 1");
    if (position > bytes_.size()) bytes_.resize(position, filler_);
    return bytes_[position - 1];
}

HandBuiltFile& HandBuiltFile::field(std::size_t position, std::size_t width, std::string_view text) {
    if (text.size() > width) throw std::invalid_argument("text wider than its field");
    for (std::size_t i = 0; i < width; ++i) at(position + i) = static_cast<std::byte>(i < text.size() ? text[i] : '\0');
    return *this;
}

HandBuiltFile& HandBuiltFile::bytes(std::size_t position, std::initializer_list<std::uint8_t> values) {
    for (std::uint8_t v : values) at(position++) = static_cast<std::byte>(v);
    return *this;
}

HandBuiltFile& HandBuiltFile::i8(std::size_t position, std::int8_t value) {
    at(position) = static_cast<std::byte>(value);
    return *this;
}

HandBuiltFile& HandBuiltFile::i16le(std::size_t position, std::int16_t value) {
    auto u = static_cast<std::uint16_t>(value);
    return bytes(position, {static_cast<std::uint8_t>(u & 0xFF), static_cast<std::uint8_t>(u >> 8)});
}

HandBuiltFile& HandBuiltFile::i32le(std::size_t position, std::int32_t value) {
    auto u = static_cast<std::uint32_t>(value);
    return bytes(position, {static_cast<std::uint8_t>(u & 0xFF), static_cast<std::uint8_t>(u >> 8 & 0xFF),
                            static_cast<std::uint8_t>(u >> 16 & 0xFF), static_cast<std::uint8_t>(u >> 24)});
}

}  // namespace pqwave::testing
