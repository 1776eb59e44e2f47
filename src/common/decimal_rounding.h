// Exact decimal rounding of binary floating-point values, the first half of the D and S text
// forms: a value becomes `digits` significant decimal digits, rounded half to even on its
// exact binary value, and a decimal exponent. All in integers held in registers; used by
// textforms.cpp only.
#pragma once

#include <bit>
#include <cstdint>

namespace pqwave::decimal {

__extension__ typedef unsigned __int128 Uint128;

// value = digits x 10^(exponent - count + 1), digits in [10^(count-1), 10^count).
struct Rounded {
    std::uint64_t digits = 0;
    int exponent = 0;
};

inline constexpr std::uint64_t kPow10[] = {1ULL,
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

constexpr Uint128 pow5(int n) {
    Uint128 p = 1;
    for (int i = 0; i < n; ++i) p *= 5;
    return p;
}

// 5^0 .. 5^55: x 10^s is x 5^s 2^s, and the 2^s only moves the binary point.
struct Pow5Table {
    Uint128 value[56];
    constexpr Pow5Table() : value() {
        for (int i = 0; i < 56; ++i) value[i] = pow5(i);
    }
};
inline constexpr Pow5Table kPow5;

// floor(log10(2^b)) for |b| < 1650: the decimal exponent of a value in [2^b, 2^(b+1)) is this
// or one more.
constexpr int decimalExponentBelow(int binaryExponent) {
    return (binaryExponent * 78913) >> 18;
}

// x 10^scale = whole + remainder / unit. The scale was chosen for the estimated exponent; when
// that was one too low the whole part has one digit too many, and the rounding is done on the
// division by ten instead (the dropped digit joins the remainder). Both ways are worked out and
// one picked, so nothing waits on a guess of which it is.
template <int Count, typename Int>
inline Rounded finish(std::uint64_t whole, Int remainder, Int unit, int exponent) {
    constexpr std::uint64_t kLow = kPow10[Count - 1], kHigh = kPow10[Count];
    const bool oneMore = whole >= kHigh;
    const std::uint64_t tenth = whole / 10;
    const Int dropped = static_cast<Int>(whole - tenth * 10);
    remainder = oneMore ? dropped * unit + remainder : remainder;
    unit = oneMore ? unit * 10 : unit;
    whole = oneMore ? tenth : whole;
    exponent += oneMore;
    const Int twice = remainder << 1;
    whole += twice > unit || (twice == unit && (whole & 1));  // half to even
    if (whole == kHigh) [[unlikely]] {                        // 9.9999995 rounds to 10.00000
        whole = kLow;
        ++exponent;
    }
    return {whole, exponent};
}

// mantissa x 2^q rounded to Count digits; `Limit64` is the largest scale whose product with
// the mantissa still fits 64 bits. False when the value lies beyond what 128 bits hold.
template <int Count, int Limit64, int MaxScale>
inline bool roundBinary(std::uint64_t mantissa, int q, Rounded& result) {
    const int binaryExponent = q + 63 - std::countl_zero(mantissa);
    const int estimate = decimalExponentBelow(binaryExponent);
    const int scale = Count - 1 - estimate;
    if (scale >= 0 && scale <= Limit64) [[likely]] {
        // Below 10^Count the value times 10^scale keeps its binary point at or left of bit 0:
        // shift = -(q + scale) >= 0, and at most 42 for a single.
        const std::uint64_t p = mantissa * static_cast<std::uint64_t>(kPow5.value[scale]);
        const int shift = -(q + scale);
        const std::uint64_t whole = p >> shift;
        result = finish<Count>(whole, p - (whole << shift), std::uint64_t{1} << shift, estimate);
        return true;
    }
    if (scale > Limit64 && scale <= MaxScale) {
        const Uint128 p = static_cast<Uint128>(mantissa) * kPow5.value[scale];
        const int shift = -(q + scale);
        const auto whole = static_cast<std::uint64_t>(p >> shift);
        result = finish<Count>(whole, p - (static_cast<Uint128>(whole) << shift), Uint128{1} << shift, estimate);
        return true;
    }
    if (scale < 0 && q <= 128 - (64 - std::countl_zero(mantissa))) {
        // Large values: an integer, or nearly (a double just above 10^15 keeps two fraction
        // bits), divided by 10^-scale = 5^-scale 2^-scale.
        const Uint128 numerator = static_cast<Uint128>(mantissa) << (q > 0 ? q : 0);
        const Uint128 divisor = kPow5.value[-scale] << (-scale + (q < 0 ? -q : 0));
        const auto whole = static_cast<std::uint64_t>(numerator / divisor);
        result = finish<Count>(whole, numerator - whole * divisor, divisor, estimate);
        return true;
    }
    return false;
}

// The usual singles (about 1E-11 .. 1E+7) by one table row per binary exponent: the scale of
// the exponent estimate and of one more, and the mantissa from which the value reaches the
// next power of ten, so the right scale is picked before the one product instead of mended
// after it.
struct SingleBinade {
    std::uint64_t multiplier[2] = {0, 0};  // 5^scale (doubled where the shift would be 0); 0: not here
    std::uint8_t shift[2] = {0, 0};
    std::int8_t exponent = 0;  // the estimate; the second column has one more
    std::uint32_t nextPower = 0;
};

struct SingleBinades {
    SingleBinade row[256];  // the last, of infinities and NaN, covers nothing
    constexpr SingleBinades() : row() {
        for (int biased = 1; biased < 255; ++biased) {
            SingleBinade& r = row[biased];
            const int q = biased - 150, estimate = decimalExponentBelow(biased - 127);
            r.exponent = static_cast<std::int8_t>(estimate);
            for (int i = 0; i < 2; ++i) {
                const int scale = 6 - estimate - i, shift = -(q + scale);
                if (scale < 0 || scale > 17 || shift < 0 || shift > 62) continue;
                r.multiplier[i] = static_cast<std::uint64_t>(pow5(scale)) << (shift == 0);
                r.shift[i] = static_cast<std::uint8_t>(shift + (shift == 0));
            }
            if (r.multiplier[0] == 0) {  // without the estimate's scale the next power is not known
                r.multiplier[1] = 0;
                continue;
            }
            const int scale = 6 - estimate, shift = -(q + scale);
            // m x 5^scale >= 10^7 x 2^shift: the value is at least 10^(estimate + 1).
            const Uint128 bound = pow5(7) << (7 + shift);
            const Uint128 m = (bound + pow5(scale) - 1) / pow5(scale);
            r.nextPower = m > 0xFFFFFF ? 0x1000000 : static_cast<std::uint32_t>(m);
        }
    }
};
inline constexpr SingleBinades kSingleBinades;

// A normal float above 0 of the usual magnitudes; false for the others.
inline bool roundUsualSingle(std::uint32_t bits, Rounded& result) {
    const SingleBinade& r = kSingleBinades.row[bits >> 23];
    const std::uint64_t mantissa = (bits & 0x7FFFFF) | 0x800000;
    const bool oneMore = mantissa >= r.nextPower;
    const std::uint64_t multiplier = r.multiplier[oneMore];
    if (multiplier == 0) return false;
    const int shift = r.shift[oneMore];
    const std::uint64_t p = mantissa * multiplier;
    // Half to even: below half adds too little to carry, above half carries, exactly half
    // carries only onto an odd whole.
    std::uint64_t whole = (p + (std::uint64_t{1} << (shift - 1)) - 1 + (p >> shift & 1)) >> shift;
    int exponent = r.exponent + oneMore;
    if (whole == kPow10[7]) [[unlikely]] {  // 9.9999995 rounds to 10.00000
        whole = kPow10[6];
        ++exponent;
    }
    result = {whole, exponent};
    return true;
}

// A finite float above 0, to 7 digits: every one is covered.
inline Rounded roundSingle(float magnitude) {
    const auto bits = std::bit_cast<std::uint32_t>(magnitude);
    const std::uint32_t biased = bits >> 23, fraction = bits & 0x7FFFFF;
    const std::uint64_t mantissa = biased == 0 ? fraction : fraction | 0x800000;
    const int q = biased == 0 ? -149 : static_cast<int>(biased) - 150;
    Rounded r;
    roundBinary<7, 17, 55>(mantissa, q, r);
    return r;
}

// A finite double above 0, to 15 digits; false for magnitudes beyond about 1E-18 .. 1E+38.
inline bool roundDouble(double magnitude, Rounded& result) {
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const auto biased = static_cast<int>(bits >> 52);
    if (biased == 0) return false;
    const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | std::uint64_t{1} << 52;
    return roundBinary<15, -1, 32>(mantissa, biased - 1075, result);
}

}  // namespace pqwave::decimal
