// The number text forms of the CSV files. D: a double with up to 15 significant digits;
// S: a single with up to 7; I: an integer; P: the print form (sign position, digits without
// the 0 before the point, one trailing space); T: a date-time value. Exponent form as C's %G.
// The append* variants write into a caller's buffer for the hot loops; the buffer needs
// kMaxNumberText bytes free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pqwave {

inline constexpr int kMaxNumberText = 40;

char* appendD(char* out, double value);
char* appendS(char* out, float value);
// "," and the S form of each value: the fields of a line, with no call per number. The buffer
// needs count x kMaxSingleField + kMaxNumberText bytes free.
inline constexpr int kMaxSingleField = 14;  // ",-1.234567E-05"
char* appendSFields(char* out, const float* values, std::size_t count);
char* appendI(char* out, long long value);
char* appendP(char* out, double value);       // digits as in D
char* appendPSingle(char* out, float value);  // digits as in S

std::string formD(double value);
std::string formS(float value);
std::string formI(long long value);
std::string formP(double value);
std::string formPSingle(float value);

// Date-time value (days since 1899-12-30, fraction = time of day) in the regional
// Japanese form: "2024/05/06 9:05:03"; only the part that is not zero is written.
std::string formT(double dateTime);

}  // namespace pqwave
