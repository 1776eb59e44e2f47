// Lenient text-to-number conversion and the integer conversions of the recording's
// arithmetic. Val never fails: it reads the leading number of a text, 0 when there is none.
// CInt and CLng round half to even and throw ArithmeticError when the value does not fit.
#pragma once

#include <cmath>
#include <cstdint>
#include <string_view>

namespace pqwave {

double Val(std::string_view text);

// Nearest integer, ties to even, as a double (no range check).
inline double roundHalfEven(double x) {
    return std::nearbyint(x);
}

std::int16_t CInt(double x);
std::int32_t CLng(double x);

// Floor, as the recording's arithmetic writes Int.
inline double Int(double x) {
    return std::floor(x);
}

// True when x rounds (half to even) into the range of T.
bool fitsInt16(double x);
bool fitsInt32(double x);

}  // namespace pqwave
