// Instrument files built byte by byte in a test, straight from the format tables: texts and
// integers put at 1-based positions over a filler byte. Nothing here knows a file layout, so
// a position that the reader and the generator misread alike still fails the test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace pqwave::testing {

class HandBuiltFile {
public:
    // Bytes not written stay `filler`: a reader that strays one byte off a field meets it.
    explicit HandBuiltFile(std::size_t size, char filler = '7');

    // A text field of `width` bytes, NUL-padded after the text.
    HandBuiltFile& field(std::size_t position, std::size_t width, std::string_view text);
    HandBuiltFile& bytes(std::size_t position, std::initializer_list<std::uint8_t> values);
    HandBuiltFile& i8(std::size_t position, std::int8_t value);
    HandBuiltFile& i16le(std::size_t position, std::int16_t value);
    HandBuiltFile& i32le(std::size_t position, std::int32_t value);

    const std::vector<std::byte>& contents() const { return bytes_; }

private:
    std::byte& at(std::size_t position);  // grows the file with filler when needed

    std::vector<std::byte> bytes_;
    std::byte filler_;
};

}  // namespace pqwave::testing
