#include "common/numbers.h"

#include <cfenv>
#include <charconv>
#include <cstdlib>
#include <string>

#include "common/error.h"
#include "common/messages.h"

namespace pqwave {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the longest prefix of `s` that reads as a decimal number: optional sign,
// digits with at most one decimal point, and an exponent only when digits follow it.
std::size_t numberPrefixLength(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t e = i + 1;
        if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
        if (e < s.size() && isDigit(s[e])) {
            while (e < s.size() && isDigit(s[e])) ++e;
            i = e;
        }
    }
    return i;
}

}  // namespace

double Val(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
    std::string_view rest = text.substr(start);
    std::size_t length = numberPrefixLength(rest);
    if (length == 0) return 0.0;
    // strtod rounds correctly; from_chars would too, but it refuses a leading '+'.
    std::string number(rest.substr(0, length));
    double value = std::strtod(number.c_str(), nullptr);
    return value == 0.0 ? 0.0 : value;  // never a negative zero
}

bool fitsInt16(double x) {
    double r = roundHalfEven(x);
    return r >= -32768.0 && r <= 32767.0;
}

bool fitsInt32(double x) {
    double r = roundHalfEven(x);
    return r >= -2147483648.0 && r <= 2147483647.0;
}

std::int16_t CInt(double x) {
    if (!fitsInt16(x)) throw ArithmeticError(tr("value {0} does not fit a 16-bit integer", {std::to_string(x)}));
    return static_cast<std::int16_t>(roundHalfEven(x));
}

std::int32_t CLng(double x) {
    if (!fitsInt32(x)) throw ArithmeticError(tr("value {0} does not fit a 32-bit integer", {std::to_string(x)}));
    return static_cast<std::int32_t>(roundHalfEven(x));
}

}  // namespace pqwave
