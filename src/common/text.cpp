#include "common/text.h"

#include <iconv.h>

#include <cerrno>

namespace pqwave {
namespace {

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Byte offset of character `index` (or the size when the text is shorter).
std::size_t byteOffsetOfChar(std::string_view text, std::size_t index) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isContinuation(static_cast<unsigned char>(text[i]))) continue;
        if (chars == index) return i;
        ++chars;
    }
    return text.size();
}

bool isAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// One conversion direction of iconv, opened once per thread.
class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Converter() {
        if (handle_ != reinterpret_cast<iconv_t>(-1)) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    std::string convert(std::string_view input, std::string_view replacement, std::size_t badInputStep) {
        std::string output;
        if (handle_ == reinterpret_cast<iconv_t>(-1)) return std::string(input);
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char buffer[1024];
        while (inLeft > 0) {
            char* out = buffer;
            std::size_t outLeft = sizeof buffer;
            std::size_t result = iconv(handle_, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<std::size_t>(out - buffer));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
                // EILSEQ or EINVAL: replace the offending character and go on.
                output.append(replacement);
                std::size_t step = badInputStep;
                if (badInputStep == 0) {  // skip one whole UTF-8 character
                    step = 1;
                    while (step < inLeft && isContinuation(static_cast<unsigned char>(in[step]))) ++step;
                }
                step = std::min(step, inLeft);
                in += step;
                inLeft -= step;
                iconv(handle_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return output;
    }

private:
    iconv_t handle_;
};

}  // namespace

std::size_t charCount(std::string_view text) {
    std::size_t n = 0;
    for (char c : text)
        if (!isContinuation(static_cast<unsigned char>(c))) ++n;
    return n;
}

std::size_t displayColumns(std::string_view text) {
    std::size_t columns = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
                          (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                          (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                          (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
        columns += wide ? 2 : 1;
        i += length;
    }
    return columns;
}

std::string leftChars(std::string_view text, std::size_t count) {
    return std::string(text.substr(0, byteOffsetOfChar(text, count)));
}

std::string rightChars(std::string_view text, std::size_t count) {
    std::size_t total = charCount(text);
    if (count >= total) return std::string(text);
    return std::string(text.substr(byteOffsetOfChar(text, total - count)));
}

std::string midChars(std::string_view text, std::size_t start, std::size_t count) {
    std::size_t from = byteOffsetOfChar(text, start);
    return leftChars(text.substr(from), count);
}

std::size_t findChars(std::string_view text, std::string_view needle, std::size_t fromChar) {
    std::size_t start = byteOffsetOfChar(text, fromChar);
    std::size_t at = text.find(needle, start);
    if (at == std::string_view::npos) return std::string_view::npos;
    return charCount(text.substr(0, at));
}

bool contains(std::string_view text, std::string_view needle) {
    return text.find(needle) != std::string_view::npos;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string toLowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

std::string trimRight(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\0')) --end;
    return std::string(text.substr(0, end));
}

std::string cp932ToUtf8(std::string_view bytes) {
    if (isAscii(bytes)) return std::string(bytes);
    thread_local Converter converter("UTF-8", "CP932");
    return converter.convert(bytes, "\xEF\xBF\xBD", 1);
}

std::string utf8ToCp932(std::string_view text) {
    if (isAscii(text)) return std::string(text);
    thread_local Converter converter("CP932", "UTF-8");
    return converter.convert(text, "?", 0);
}

}  // namespace pqwave
