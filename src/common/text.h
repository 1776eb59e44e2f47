// Text held in memory is UTF-8. The captions of the recording (channel names, units) are
// measured in characters, not bytes, so the helpers here count UTF-8 code points.
#pragma once

#include <string>
#include <string_view>

namespace pqwave {

std::size_t charCount(std::string_view text);
// The columns a terminal gives the text: two for a CJK ideograph, kana or full-width form, one
// for ASCII and the half-width katakana of the instrument's captions.
std::size_t displayColumns(std::string_view text);
std::string leftChars(std::string_view text, std::size_t count);
std::string rightChars(std::string_view text, std::size_t count);
std::string midChars(std::string_view text, std::size_t start, std::size_t count);
// Character index of `needle` at or after character `fromChar`, or npos.
std::size_t findChars(std::string_view text, std::string_view needle, std::size_t fromChar);

bool contains(std::string_view text, std::string_view needle);
bool startsWith(std::string_view text, std::string_view prefix);
std::string toLowerAscii(std::string_view text);
std::string trimRight(std::string_view text);

// Code page 932 (Shift_JIS as Windows writes it) to and from UTF-8. Bytes that are not
// CP932 become U+FFFD; characters CP932 cannot hold become "?".
std::string cp932ToUtf8(std::string_view bytes);
std::string utf8ToCp932(std::string_view text);

}  // namespace pqwave
