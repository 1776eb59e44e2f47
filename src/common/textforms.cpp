#include "common/textforms.h"

#include <immintrin.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "common/datetime.h"
#include "common/decimal_rounding.h"

namespace pqwave {
namespace {

using decimal::Rounded;
using decimal::Uint128;

static_assert(std::endian::native == std::endian::little, "digits are laid out as bytes of a word");

constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

constexpr std::uint64_t kZeros = 0x3030303030303030;  // '0' in every byte

// The 8 decimal digits of n < 10^8 (leading zeros included), digit i in byte i: the halves,
// then their hundreds, then their tens are split side by side in lanes of one word, so no
// digit waits on another and none goes through memory.
inline std::uint64_t digitBytes(std::uint32_t n) {
    std::uint64_t x = n / 10000 | static_cast<std::uint64_t>(n % 10000) << 32;
    const std::uint64_t hundreds = (x * 10486 >> 20) & 0x0000007F0000007F;
    x = hundreds | (x - hundreds * 100) << 16;
    const std::uint64_t tens = (x * 103 >> 10) & 0x000F000F000F000F;
    return tens | (x - tens * 10) << 8;
}

// Significant digits in a word of digit bytes: up to the last that is not zero.
inline int significantBytes(std::uint64_t digits) {
    return (71 - std::countl_zero(digits)) / 8;
}

template <typename Word>
inline void store(char* out, Word word) {
    std::memcpy(out, &word, sizeof word);
}

char* writeExponent(char* out, int exponent) {
    *out++ = 'E';
    *out++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude >= 100) *out++ = static_cast<char>('0' + magnitude / 100);
    std::memcpy(out, kPairs + 2 * (magnitude % 100), 2);
    return out + 2;
}

// What %G writes for `length` significant digits (the text `ascii`, first digit in the low
// byte, zeros after them up to the word's end) and decimal `exponent`: fixed notation for
// exponents -4 .. Count-1, otherwise d.ddE+dd. The point goes in by shifting the word, and
// the whole word is stored; the caller's buffer has room for it beyond the text.
template <int Count, typename Word>
inline char* writeGeneral(char* out, Word ascii, int length, int exponent) {
    if (exponent < -4 || exponent >= Count) {
        store(out, (ascii & 0xFF) | Word{'.'} << 8 | (ascii >> 8) << 16);
        out += length > 1 ? length + 1 : 1;
        return writeExponent(out, exponent);
    }
    if (exponent < 0) {
        std::memcpy(out, "0.000000", 8);
        store(out + 1 - exponent, ascii);
        return out + 1 - exponent + length;
    }
    const int integerDigits = exponent + 1;
    const Word integerPart = (Word{1} << (8 * integerDigits)) - 1;
    store(out, (ascii & integerPart) | Word{'.'} << (8 * integerDigits) | (ascii & ~integerPart) << 8);
    return out + (length > integerDigits ? length + 1 : integerDigits);
}

// "E-05" .. "E+38" as words, for the exponents a single can have.
struct SingleExponents {
    std::uint32_t text[84];
    constexpr SingleExponents() : text() {
        for (int e = -45; e <= 38; ++e) {
            const int m = e < 0 ? -e : e;
            text[e + 45] = 'E' | (e < 0 ? '-' : '+') << 8 | ('0' + m / 10) << 16 | ('0' + m % 10) << 24;
        }
    }
};
constexpr SingleExponents kSingleExponents;

// The S text by the same steps for every form, so that no branch guesses at which it is: the
// point let into the digits' word after the digits before it, "0.000" stored first and the
// digits after it for a value below 1, the exponent stored after the last digit. The form only
// changes the shift and the places of the stores, and what is stored beyond the text's end is
// overwritten by whatever follows it.
[[gnu::always_inline]] inline char* writeSingle(char* out, Rounded r) {
    const std::uint64_t digits = digitBytes(static_cast<std::uint32_t>(r.digits * 10));  // 7 digits and a 0
    const std::uint64_t ascii = digits + kZeros;
    const int e = r.exponent, length = significantBytes(digits);
    const bool scientific = e < -4 || e >= 7, belowOne = !scientific && e < 0;
    const int before = scientific ? 1 : belowOne ? 7 : e + 1;  // digits before the point
    const std::uint64_t integerPart = (std::uint64_t{1} << (8 * before)) - 1;
    const std::uint64_t text = (ascii & integerPart) | std::uint64_t{'.'} << (8 * before) | (ascii & ~integerPart) << 8;
    const int size = belowOne ? 1 - e + length : length > before ? length + 1 : before;
    std::memcpy(out, "0.000000", 8);
    store(out + (belowOne ? 1 - e : 0), text);
    store(out + size, kSingleExponents.text[e + 45]);
    return out + size + 4 * scientific;
}

char* writeDouble(char* out, Rounded r) {
    const std::uint64_t scaled = r.digits * 10;  // 15 digits and a 0
    const std::uint64_t high = digitBytes(static_cast<std::uint32_t>(scaled / 100000000));
    const std::uint64_t low = digitBytes(static_cast<std::uint32_t>(scaled % 100000000));
    const int length = low != 0 ? 8 + significantBytes(low) : significantBytes(high);
    const Uint128 ascii = static_cast<Uint128>(low + kZeros) << 64 | (high + kZeros);
    return writeGeneral<15>(out, ascii, length, r.exponent);
}

// %G of the C library, for what the integer paths leave: infinities, and doubles of
// magnitudes beyond about 1E-18 .. 1E+38.
[[gnu::noinline]] char* appendByLibrary(char* out, double value, int digits) {
    auto result = std::to_chars(out, out + kMaxNumberText, value, std::chars_format::general, digits);
    for (char* p = out; p != result.ptr; ++p)
        if (*p == 'e') *p = 'E';
    return result.ptr;
}

// Out of the way of the usual singles, which are inlined into the loops that write them.
[[gnu::noinline]] Rounded roundRareSingle(std::uint32_t magnitude) {
    return decimal::roundSingle(std::bit_cast<float>(magnitude));
}

// Zero and NaN are written "0": no "-0", and NaN never reaches a file.
[[gnu::always_inline]] inline char* appendSingle(char* out, float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const std::uint32_t magnitude = bits & 0x7FFFFFFF;
    if (magnitude - 1 < 0x7F7FFFFF) [[likely]] {  // finite and not zero
        *out = '-';
        out += bits >> 31;
        Rounded r;
        if (!decimal::roundUsualSingle(magnitude, r)) [[unlikely]]
            r = roundRareSingle(magnitude);
        return writeSingle(out, r);
    }
    if (magnitude == 0x7F800000) return appendByLibrary(out, value, 7);
    *out = '0';
    return out + 1;
}

char* appendDouble(char* out, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const std::uint64_t magnitude = bits & 0x7FFFFFFFFFFFFFFF;
    if (magnitude - 1 < 0x7FEFFFFFFFFFFFFF) {
        Rounded r;
        if (!decimal::roundDouble(std::bit_cast<double>(magnitude), r)) return appendByLibrary(out, value, 15);
        *out = '-';
        out += bits >> 63;
        return writeDouble(out, r);
    }
    if (magnitude == 0x7FF0000000000000) return appendByLibrary(out, value, 15);
    *out = '0';
    return out + 1;
}

// The print form: a sign position, the digits without the 0 before the point, a space.
template <typename T, typename Append>
char* appendPrint(char* out, T value, Append appendGeneral) {
    *out++ = value < 0 ? '-' : ' ';
    char* digitsStart = out;
    out = appendGeneral(out, std::fabs(value));
    if (out - digitsStart >= 2 && digitsStart[0] == '0' && digitsStart[1] == '.') {
        std::memmove(digitsStart, digitsStart + 1, static_cast<std::size_t>(out - digitsStart - 1));
        --out;
    }
    *out++ = ' ';
    return out;
}

// ---- Rows of S fields, eight values at a time in AVX-512 lanes where the processor has them:
// the same rounding (the binade's row, the one product, half to even) and the same word of
// text as writeSingle, lane by lane; only the stores are left one value at a time. A value the
// table does not cover (zero, NaN, infinity, a rare magnitude) takes appendSingle.

static_assert(sizeof(decimal::SingleBinade) == 24 && offsetof(decimal::SingleBinade, shift) == 16 &&
                  offsetof(decimal::SingleBinade, exponent) == 18 && offsetof(decimal::SingleBinade, nextPower) == 20,
              "the vector path reads a binade's row as three 64-bit words");

#define PQWAVE_AVX512 __attribute__((target("avx512f,avx512dq,avx512cd,avx512bw,avx512vl")))
#if defined(__GNUC__) && !defined(__clang__)
// GCC 12 takes the intrinsics' own unset pass-through operands for uninitialised values.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

PQWAVE_AVX512 inline __m512i splat(std::uint64_t v) {
    return _mm512_set1_epi64(static_cast<long long>(v));
}

PQWAVE_AVX512 char* appendSFieldsAvx512(char* out, const float* values, std::size_t count) {
    const auto* table = reinterpret_cast<const long long*>(decimal::kSingleBinades.row);
    const __m512i one = splat(1), three = splat(3), lowByte = splat(0xFF);
    alignas(64) std::uint64_t text[8], place[8], sizes[8], suffix[8], advance[8], sign[8];
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m512i bits = _mm512_cvtepu32_epi64(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(values + i)));
        const __m512i magnitude = _mm512_and_si512(bits, splat(0x7FFFFFFF));
        const __m512i row = _mm512_mullo_epi64(_mm512_srli_epi64(magnitude, 23), three);
        // shift[0], shift[1], exponent, -, nextPower
        const __m512i meta = _mm512_i64gather_epi64(_mm512_add_epi64(row, splat(2)), table, 8);
        const __m512i mantissa = _mm512_or_si512(_mm512_and_si512(magnitude, splat(0x7FFFFF)), splat(0x800000));
        const __mmask8 oneMore = _mm512_cmpge_epu64_mask(mantissa, _mm512_srli_epi64(meta, 32));
        const __m512i multiplier = _mm512_i64gather_epi64(_mm512_mask_add_epi64(row, oneMore, row, one), table, 8);
        const __mmask8 usual = _mm512_cmplt_epu64_mask(_mm512_sub_epi64(magnitude, one), splat(0x7F7FFFFF)) &
                               _mm512_test_epi64_mask(multiplier, multiplier);
        const __m512i shift =
            _mm512_and_si512(_mm512_mask_srli_epi64(meta, oneMore, meta, 8), lowByte);  // shift[oneMore]
        __m512i exponent = _mm512_srai_epi64(_mm512_slli_epi64(meta, 40), 56);          // the estimate, signed
        exponent = _mm512_mask_add_epi64(exponent, oneMore, exponent, one);

        const __m512i p = _mm512_mullo_epi64(mantissa, multiplier);
        const __m512i half = _mm512_sllv_epi64(one, _mm512_sub_epi64(shift, one));
        const __m512i odd = _mm512_and_si512(_mm512_srlv_epi64(p, shift), one);
        __m512i whole =
            _mm512_srlv_epi64(_mm512_add_epi64(_mm512_add_epi64(p, half), _mm512_sub_epi64(odd, one)), shift);
        const __mmask8 ten = _mm512_cmpeq_epi64_mask(whole, splat(decimal::kPow10[7]));
        whole = _mm512_mask_mov_epi64(whole, ten, splat(decimal::kPow10[6]));
        exponent = _mm512_mask_add_epi64(exponent, ten, exponent, one);

        // digitBytes(whole x 10), lane by lane.
        const __m512i scaled = _mm512_mullo_epi64(whole, splat(10));
        const __m512i upper = _mm512_srli_epi64(_mm512_mul_epu32(scaled, splat(0xD1B71759)), 45);  // / 10000
        __m512i x = _mm512_or_si512(
            upper, _mm512_slli_epi64(_mm512_sub_epi64(scaled, _mm512_mullo_epi64(upper, splat(10000))), 32));
        const __m512i hundreds =
            _mm512_and_si512(_mm512_srli_epi64(_mm512_mullo_epi64(x, splat(10486)), 20), splat(0x0000007F0000007F));
        x = _mm512_or_si512(hundreds,
                            _mm512_slli_epi64(_mm512_sub_epi64(x, _mm512_mullo_epi64(hundreds, splat(100))), 16));
        const __m512i tens =
            _mm512_and_si512(_mm512_srli_epi64(_mm512_mullo_epi64(x, splat(103)), 10), splat(0x000F000F000F000F));
        const __m512i digits =
            _mm512_or_si512(tens, _mm512_slli_epi64(_mm512_sub_epi64(x, _mm512_mullo_epi64(tens, splat(10))), 8));
        const __m512i length = _mm512_srli_epi64(_mm512_sub_epi64(splat(71), _mm512_lzcnt_epi64(digits)), 3);
        const __m512i ascii = _mm512_add_epi64(digits, splat(kZeros));

        // writeSingle's word, sizes and places.
        const __mmask8 scientific =
            _mm512_cmplt_epi64_mask(exponent, splat(-4)) | _mm512_cmpge_epi64_mask(exponent, splat(7));
        const __mmask8 belowOne = _mm512_cmplt_epi64_mask(exponent, _mm512_setzero_si512()) & ~scientific;
        __m512i before = _mm512_add_epi64(exponent, one);
        before = _mm512_mask_mov_epi64(before, belowOne, splat(7));
        before = _mm512_mask_mov_epi64(before, scientific, one);
        const __m512i beforeBits = _mm512_slli_epi64(before, 3);
        const __m512i integerPart = _mm512_sub_epi64(_mm512_sllv_epi64(one, beforeBits), one);
        const __m512i word = _mm512_or_si512(
            _mm512_or_si512(_mm512_and_si512(ascii, integerPart), _mm512_sllv_epi64(splat('.'), beforeBits)),
            _mm512_slli_epi64(_mm512_andnot_si512(integerPart, ascii), 8));
        const __m512i minusExponent = _mm512_sub_epi64(one, exponent);  // 1 - e: where the digits go below 1
        __m512i size = _mm512_max_epi64(
            _mm512_mask_add_epi64(before, _mm512_cmpgt_epi64_mask(length, before), length, one), before);
        size = _mm512_mask_add_epi64(size, belowOne, minusExponent, length);
        const __m512i magnitudeE = _mm512_abs_epi64(exponent);
        const __m512i tensE = _mm512_srli_epi64(_mm512_mullo_epi64(magnitudeE, splat(205)), 11);
        const __m512i onesE = _mm512_sub_epi64(magnitudeE, _mm512_mullo_epi64(tensE, splat(10)));
        __m512i exponentText = _mm512_or_si512(
            _mm512_or_si512(splat('E' | '+' << 8 | '0' << 16 | std::uint64_t{'0'} << 24), _mm512_slli_epi64(tensE, 16)),
            _mm512_slli_epi64(onesE, 24));
        exponentText = _mm512_mask_xor_epi64(exponentText, _mm512_cmplt_epi64_mask(exponent, _mm512_setzero_si512()),
                                             exponentText, splat(('+' ^ '-') << 8));
        _mm512_store_si512(text, word);
        _mm512_store_si512(place, _mm512_maskz_mov_epi64(belowOne, minusExponent));
        _mm512_store_si512(sizes, size);
        _mm512_store_si512(suffix, exponentText);
        _mm512_store_si512(advance, _mm512_mask_add_epi64(size, scientific, size, splat(4)));
        _mm512_store_si512(sign, _mm512_srli_epi64(bits, 31));
        for (int j = 0; j < 8; ++j) {
            *out++ = ',';
            if (!(usual >> j & 1)) {
                out = appendSingle(out, values[i + j]);
                continue;
            }
            *out = '-';
            out += sign[j];
            std::memcpy(out, "0.000000", 8);
            store(out + place[j], text[j]);
            store(out + sizes[j], static_cast<std::uint32_t>(suffix[j]));
            out += advance[j];
        }
    }
    for (; i < count; ++i) {
        *out++ = ',';
        out = appendSingle(out, values[i]);
    }
    return out;
}

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

char* appendSFieldsScalar(char* out, const float* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        *out++ = ',';
        out = appendSingle(out, values[i]);
    }
    return out;
}

template <typename Append, typename T>
std::string toString(Append append, T value) {
    char buffer[kMaxNumberText + 4];
    return std::string(buffer, append(buffer, value));
}

}  // namespace

char* appendD(char* out, double value) {
    return appendDouble(out, value);
}
char* appendS(char* out, float value) {
    return appendSingle(out, value);
}
char* appendSFields(char* out, const float* values, std::size_t count) {
    static const bool vectors = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
                                __builtin_cpu_supports("avx512cd") && __builtin_cpu_supports("avx512bw") &&
                                __builtin_cpu_supports("avx512vl");
    return vectors ? appendSFieldsAvx512(out, values, count) : appendSFieldsScalar(out, values, count);
}
char* appendI(char* out, long long value) {
    return std::to_chars(out, out + kMaxNumberText, value).ptr;
}
char* appendP(char* out, double value) {
    return appendPrint(out, value, appendDouble);
}
char* appendPSingle(char* out, float value) {
    return appendPrint(out, value, appendSingle);
}

std::string formD(double value) {
    return toString(appendD, value);
}
std::string formS(float value) {
    return toString(appendS, value);
}
std::string formI(long long value) {
    return toString(appendI, value);
}
std::string formP(double value) {
    return toString(appendP, value);
}
std::string formPSingle(float value) {
    return toString(appendPSingle, value);
}

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
