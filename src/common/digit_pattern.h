// Numbers written by a digit pattern, as the vector window labels its values: "0" is a digit
// always written, "#" a digit written only when significant, "." the decimal point; the
// characters before and after the digits are copied as they stand (" ####0.0V" writes 123.44
// as " 123.4V"). The value is rounded, half away from zero, to the pattern's decimals.
#pragma once

#include <string>
#include <string_view>

namespace pqwave {

std::string formatByPattern(double value, std::string_view pattern);

}  // namespace pqwave
