#include "common/numbers.h"

#include <gtest/gtest.h>

#include "common/error.h"

namespace pqwave {
namespace {

TEST(Val, ReadsTheLeadingNumberAndIgnoresTheRest) {
    EXPECT_EQ(Val("20"), 20);
    EXPECT_EQ(Val("  5ms/DIV"), 5);
    EXPECT_EQ(Val("500mV"), 500);
    EXPECT_EQ(Val("-2.5e3x"), -2500);
    EXPECT_EQ(Val("+7"), 7);
    EXPECT_EQ(Val(".5"), 0.5);
    EXPECT_EQ(Val("1E"), 1);  // an exponent without digits is not part of the number
    EXPECT_EQ(Val("1.2.3"), 1.2);
    EXPECT_EQ(Val("16.6666666666667"), 16.6666666666667);
    EXPECT_EQ(Val("1.234568E+07"), 12345680);
}

TEST(Val, GivesZeroWhenThereIsNoNumber) {
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(Val("--"), 0);
    EXPECT_EQ(Val("MR8880"), 0);
    EXPECT_EQ(Val("-"), 0);
    EXPECT_FALSE(std::signbit(Val("-0")));
}

TEST(Rounding, IntegerConversionsRoundHalfToEvenAndIntIsTheFloor) {
    EXPECT_EQ(CInt(2.5), 2);
    EXPECT_EQ(CInt(3.5), 4);
    EXPECT_EQ(CInt(-2.5), -2);
    EXPECT_EQ(CInt(32767.4), 32767);
    EXPECT_EQ(CLng(1e9 + 0.5), 1000000000);
    EXPECT_EQ(Int(-0.5), -1);
    EXPECT_EQ(Int(2.999), 2);
}

TEST(Rounding, ValuesBeyondTheTypeAreRefused) {
    EXPECT_THROW(CInt(32767.5), ArithmeticError);  // rounds to 32768
    EXPECT_THROW(CInt(-32768.6), ArithmeticError);
    EXPECT_THROW(CLng(3e9), ArithmeticError);
    EXPECT_THROW(CLng(std::nan("")), ArithmeticError);
    EXPECT_FALSE(fitsInt16(1e300));
    EXPECT_TRUE(fitsInt16(-32768.4));
}

}  // namespace
}  // namespace pqwave
