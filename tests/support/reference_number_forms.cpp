// The number text forms as the formatter wrote them before its digits were assembled in
// registers, kept unchanged as the yardstick the tests and benchmarks hold the formatter to:
// every text the files held must stay byte for byte the same.
#include "support/reference_number_forms.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "common/textforms.h"

namespace pqwave::reference {
namespace {

__extension__ typedef unsigned __int128 Uint128;

constexpr std::uint64_t kPow10[] = {1ULL,
                                    10ULL,
                                    100ULL,
                                    1000ULL,
                                    10000ULL,
                                    100000ULL,
                                    1000000ULL,
                                    10000000ULL,
                                    100000000ULL,
                                    1000000000ULL,
                                    10000000000ULL,
                                    100000000000ULL,
                                    1000000000000ULL,
                                    10000000000000ULL,
                                    100000000000000ULL,
                                    1000000000000000ULL,
                                    10000000000000000ULL,
                                    100000000000000000ULL,
                                    1000000000000000000ULL,
                                    10000000000000000000ULL};

// The value rounded (half to even, on its exact binary value) to `digits` significant
// digits: returns the digits as an integer in [10^(digits-1), 10^digits) and the decimal
// exponent, or false when the value is outside the range this exact integer path covers.
bool roundToDigits(double value, int digits, std::uint64_t& significand, int& exponent) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>(bits >> 52 & 0x7FF);
    if (biased == 0) return false;  // subnormal: the general conversion handles it
    const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | std::uint64_t{1} << 52;
    const int shift = 1075 - biased;  // value = mantissa / 2^shift
    if (shift <= 0 || shift >= 127) return false;
    // floor(log10(2) x binary exponent), from which the decimal exponent is at most one off.
    int e = ((biased - 1023) * 78913) >> 18;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int scale = digits - 1 - e;  // significand = round(value x 10^scale)
        if (scale < 0 || scale > 19) return false;
        const Uint128 scaled = static_cast<Uint128>(mantissa) * kPow10[scale];
        std::uint64_t n = static_cast<std::uint64_t>(scaled >> shift);
        const Uint128 remainder = scaled - (static_cast<Uint128>(n) << shift);
        const Uint128 half = static_cast<Uint128>(1) << (shift - 1);
        if (remainder > half || (remainder == half && (n & 1))) ++n;
        if (n >= kPow10[digits]) {
            ++e;
        } else if (n < kPow10[digits - 1]) {
            --e;
        } else {
            significand = n;
            exponent = e;
            return true;
        }
    }
    return false;
}

constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Exactly four and eight decimal digits; the halves do not wait on each other, so the
// processor works on them side by side instead of dividing by 100 eight times in a row.
inline void writeFour(char* out, std::uint32_t v) {
    std::memcpy(out, kPairs + 2 * (v / 100), 2);
    std::memcpy(out + 2, kPairs + 2 * (v % 100), 2);
}
inline void writeEight(char* out, std::uint32_t v) {
    writeFour(out, v / 10000);
    writeFour(out + 4, v % 10000);
}

// Writes what %G writes for a value rounded to `digits` digits given as `significand`
// and decimal `exponent`: fixed notation for exponents -4 .. digits-1, otherwise d.ddE+dd.
// Digits are copied in fixed 16-byte blocks (the caller's buffer has kMaxNumberText bytes
// of room), which costs less than copying exactly as many as count.
char* writeGeneral(char* out, std::uint64_t significand, int exponent, int digits) {
    char all[48] = {};
    if (digits > 8) writeEight(all, static_cast<std::uint32_t>(significand / 100000000));
    writeEight(all + 8, static_cast<std::uint32_t>(significand % 100000000));
    char* text = all + 16 - digits;  // the 16 digits written carry leading zeros
    int length = digits;
    while (length > 1 && text[length - 1] == '0') --length;

    if (exponent < -4 || exponent >= digits) {
        *out++ = text[0];
        if (length > 1) {
            *out++ = '.';
            std::memcpy(out, text + 1, 16);
            out += length - 1;
        }
        *out++ = 'E';
        *out++ = exponent < 0 ? '-' : '+';
        int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude >= 100) *out++ = static_cast<char>('0' + magnitude / 100);
        std::memcpy(out, kPairs + 2 * (magnitude % 100), 2);
        return out + 2;
    }
    if (exponent < 0) {
        std::memcpy(out, "0.0000", 6);
        out += 1 - exponent;
        std::memcpy(out, text, 16);
        return out + length;
    }
    const int integerDigits = exponent + 1;
    std::memcpy(out, text, 16);
    if (length <= integerDigits) return out + integerDigits;  // text holds zeros up to `digits`
    out[integerDigits] = '.';
    std::memcpy(out + integerDigits + 1, text + integerDigits, 16);
    return out + length + 1;
}

// %G with `digits` significant digits: trailing zeros dropped, exponent as E+dd. The usual
// magnitudes take an exact integer path, many times faster than the general conversion.
char* appendGeneral(char* out, double value, int digits) {
    if (value == 0.0 || std::isnan(value)) {  // no "-0"; NaN never reaches a file
        *out++ = '0';
        return out;
    }
    if (std::isfinite(value)) {
        std::uint64_t significand;
        int exponent;
        if (roundToDigits(std::fabs(value), digits, significand, exponent)) {
            if (value < 0) *out++ = '-';
            return writeGeneral(out, significand, exponent, digits);
        }
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

}  // namespace

char* appendD(char* out, double value) {
    return appendGeneral(out, value, 15);
}
char* appendS(char* out, float value) {
    return appendGeneral(out, value, 7);
}
char* appendP(char* out, double value) {
    return appendPrint(out, value, 15);
}
char* appendPSingle(char* out, float value) {
    return appendPrint(out, value, 7);
}

}  // namespace pqwave::reference
