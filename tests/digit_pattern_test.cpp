// Numbers written by a digit pattern, as the vector window writes its values and its time.
#include "common/digit_pattern.h"

#include <gtest/gtest.h>

namespace pqwave {
namespace {

TEST(DigitPattern, WritesTheDigitsThePatternAsksFor) {
    EXPECT_EQ(formatByPattern(123.44, " ####0.0V"), " 123.4V");
    EXPECT_EQ(formatByPattern(0.5, "#0.00"), "0.50");
    EXPECT_EQ(formatByPattern(50.0 / 50, "#0.00"), "1.00");
    EXPECT_EQ(formatByPattern(0, " ####0.0kW"), " 0.0kW");
    EXPECT_EQ(formatByPattern(0.04, " ####0.0A"), " 0.0A");
    EXPECT_EQ(formatByPattern(6599.96, " ####0.0V"), " 6600.0V");
    EXPECT_EQ(formatByPattern(1234567.8, " ####0.0V"), " 1234567.8V");  // more digits than "#"s
    EXPECT_EQ(formatByPattern(7, "000"), "007");
    EXPECT_EQ(formatByPattern(0.25, "#.##"), ".25");
    EXPECT_EQ(formatByPattern(2.5, "#.##"), "2.5");  // "#" after the point only when significant
}

TEST(DigitPattern, RoundsHalfAwayFromZeroAndPutsTheSignBeforeTheDigits) {
    EXPECT_EQ(formatByPattern(0.125, "0.00"), "0.13");
    EXPECT_EQ(formatByPattern(2.5, "0"), "3");
    EXPECT_EQ(formatByPattern(-571.56, " ####0.0kvar"), " -571.6kvar");
    EXPECT_EQ(formatByPattern(-0.04, " ####0.0kvar"), " 0.0kvar");  // no minus on a zero shown
}

}  // namespace
}  // namespace pqwave
