#include "common/digit_pattern.h"

#include <cmath>
#include <cstdio>

namespace pqwave {
namespace {

bool isPlaceholder(char c) {
    return c == '0' || c == '#';
}

}  // namespace

std::string formatByPattern(double value, std::string_view pattern) {
    const std::size_t first = pattern.find_first_of("0#.");
    if (first == std::string_view::npos) return std::string(pattern);
    std::size_t last = pattern.find_last_of("0#.");
    const std::string_view prefix = pattern.substr(0, first);
    const std::string_view digits = pattern.substr(first, last - first + 1);
    const std::string_view suffix = pattern.substr(last + 1);

    const std::size_t point = digits.find('.');
    const std::string_view integerPart = digits.substr(0, point);
    const std::string_view fractionPart = point == std::string_view::npos ? "" : digits.substr(point + 1);
    int minIntegerDigits = 0;
    for (char c : integerPart) minIntegerDigits += c == '0';
    int decimals = 0, minDecimals = 0;
    for (char c : fractionPart) {
        if (!isPlaceholder(c)) continue;
        ++decimals;
        if (c == '0') minDecimals = decimals;
    }

    if (!std::isfinite(value))
        return std::string(prefix) + (std::isnan(value) ? "NaN" : value < 0 ? "-Inf" : "Inf") + std::string(suffix);
    // Half away from zero on the decimal value, as a reader rounds by hand.
    const double scale = std::pow(10.0, decimals);
    double magnitude = std::round(std::fabs(value) * scale) / scale;
    const bool negative = value < 0 && magnitude != 0;

    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, magnitude);
    std::string text(buffer);
    std::string whole = text.substr(0, text.find('.'));
    std::string fraction = decimals > 0 ? text.substr(text.find('.') + 1) : "";
    std::size_t leading = whole.find_first_not_of('0');
    whole = leading == std::string::npos ? "" : whole.substr(leading);
    if (static_cast<int>(whole.size()) < minIntegerDigits) whole.insert(0, minIntegerDigits - whole.size(), '0');
    while (static_cast<int>(fraction.size()) > minDecimals && fraction.back() == '0') fraction.pop_back();

    std::string out(prefix);
    if (negative) out += '-';
    out += whole;
    if (point != std::string_view::npos && (!fraction.empty() || fractionPart.empty())) out += '.';
    out += fraction;
    out += suffix;
    return out;
}

}  // namespace pqwave
