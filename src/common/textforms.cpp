#include "common/textforms.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "common/datetime.h"

namespace pqwave {
namespace {

// %G with `digits` significant digits: trailing zeros dropped, exponent as E+dd.
char* appendGeneral(char* out, double value, int digits) {
    if (value == 0.0 || std::isnan(value)) {  // no "-0"; NaN never reaches a file
        *out++ = '0';
        return out;
    }
    auto result = std::to_chars(out, out + kMaxNumberText, value, std::chars_format::general, digits);
    for (char* p = out; p != result.ptr; ++p)
        if (*p == 'e') *p = 'E';
    return result.ptr;
}

char* appendPrint(char* out, double value, int digits) {
    *out++ = value < 0 ? '-' : ' ';
    char* digitsStart = out;
    out = appendGeneral(out, std::fabs(value), digits);
    if (out - digitsStart >= 2 && digitsStart[0] == '0' && digitsStart[1] == '.') {
        std::memmove(digitsStart, digitsStart + 1, static_cast<std::size_t>(out - digitsStart - 1));
        --out;
    }
    *out++ = ' ';
    return out;
}

template <typename Append, typename T>
std::string toString(Append append, T value) {
    char buffer[kMaxNumberText + 4];
    return std::string(buffer, append(buffer, value));
}

}  // namespace

char* appendD(char* out, double value) { return appendGeneral(out, value, 15); }
char* appendS(char* out, float value) { return appendGeneral(out, value, 7); }
char* appendI(char* out, long long value) { return std::to_chars(out, out + kMaxNumberText, value).ptr; }
char* appendP(char* out, double value) { return appendPrint(out, value, 15); }
char* appendPSingle(char* out, float value) { return appendPrint(out, value, 7); }

std::string formD(double value) { return toString(appendD, value); }
std::string formS(float value) { return toString(appendS, value); }
std::string formI(long long value) { return toString(appendI, value); }
std::string formP(double value) { return toString(appendP, value); }
std::string formPSingle(float value) { return toString(appendPSingle, value); }

std::string formT(double dateTime) {
    CivilDateTime t = toCivil(dateTime);
    bool hasDate = std::floor(dateTime) != 0.0 || dateTime < 0;
    bool hasTime = t.hour != 0 || t.minute != 0 || t.second != 0;
    std::string text;
    if (hasDate) text = formatDate(t);
    if (hasTime || !hasDate) {
        if (!text.empty()) text += ' ';
        text += formatTime(t);
    }
    return text;
}

}  // namespace pqwave
