// Text for XHTML and SVG: the five characters XML reserves written as references, and numbers
// in the short fixed form drawings use.
#pragma once

#include <string>
#include <string_view>

namespace pqwave {

std::string xmlEscaped(std::string_view text);

// Up to two decimals, trailing zeros dropped: coordinates in an SVG.
std::string svgNumber(double value);

}  // namespace pqwave
