#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>

#include "common/datetime.h"
#include "common/textforms.h"

namespace pqwave {
namespace {

TEST(TextForms, DoubleFormHasFifteenSignificantDigits) {
    EXPECT_EQ(formD(0.1), "0.1");
    EXPECT_EQ(formD(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(formD(-2.5), "-2.5");
    EXPECT_EQ(formD(1e20), "1E+20");
    EXPECT_EQ(formD(1.5e-7), "1.5E-07");
    EXPECT_EQ(formD(1000.0 / 60), "16.6666666666667");
    EXPECT_EQ(formD(123456789012345.0), "123456789012345");
    EXPECT_EQ(formD(1234567890123456.0), "1.23456789012346E+15");
    EXPECT_EQ(formD(0.0001), "0.0001");
    EXPECT_EQ(formD(0.00001), "1E-05");
    EXPECT_EQ(formD(-0.0), "0");
    EXPECT_EQ(formD(20000), "20000");
}

TEST(TextForms, SingleFormHasSevenSignificantDigits) {
    EXPECT_EQ(formS(1.0f / 3), "0.3333333");
    EXPECT_EQ(formS(12345678.0f), "1.234568E+07");
    EXPECT_EQ(formS(0.0001f), "0.0001");
    EXPECT_EQ(formS(0.00001f), "1E-05");
    EXPECT_EQ(formS(1000000.0f), "1000000");
    EXPECT_EQ(formS(static_cast<float>(100 * (16.6666666666667 / 50) / 1000 * 1000)), "33.33333");
}

TEST(TextForms, PrintFormHasSignPositionAndTrailingSpace) {
    EXPECT_EQ(formP(0.5), " .5 ");
    EXPECT_EQ(formP(-0.5), "-.5 ");
    EXPECT_EQ(formP(230.1), " 230.1 ");
    EXPECT_EQ(formP(0), " 0 ");
    EXPECT_EQ(formP(-12), "-12 ");
    EXPECT_EQ(formPSingle(6600.123f), " 6600.123 ");
    EXPECT_EQ(formPSingle(0.25f), " .25 ");
    EXPECT_EQ(formI(-180), "-180");
}

TEST(TextForms, DateTimeFormWritesOnlyThePartThatIsNotZero) {
    double date = DateSerial(2024, 5, 6);
    EXPECT_EQ(formT(date + TimeSerial(9, 5, 3)), "2024/05/06 9:05:03");
    EXPECT_EQ(formT(date), "2024/05/06");
    EXPECT_EQ(formT(TimeSerial(9, 5, 3)), "9:05:03");
    EXPECT_EQ(formT(date + TimeSerial(23, 59, 59.6)), "2024/05/07");  // rounds to the second
}

// What C's %G writes, from the standard library's own conversion.
std::string referenceGeneral(double value, int digits) {
    if (value == 0) return "0";
    char buffer[64];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits).ptr;
    std::string text(buffer, end);
    for (char& c : text)
        if (c == 'e') c = 'E';
    return text;
}

TEST(TextForms, AgreeWithTheGeneralConversionAcrossMagnitudes) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-12, 24);
    for (int i = 0; i < 200000; ++i) {
        double value = mantissa(random) * std::pow(10.0, exponent(random)) * (i % 2 ? -1 : 1);
        ASSERT_EQ(formD(value), referenceGeneral(value, 15)) << value;
        float single = static_cast<float>(value);
        ASSERT_EQ(formS(single), referenceGeneral(single, 7)) << single;
    }
    // Values at the rounding boundaries: halves, integers, powers of ten, tiny and huge.
    for (double value : {0.5, 2.5, 9.9999999999999995, 999999999999999.5, 1e15, 1e-5, 123456789012345678.0, 0.1 + 0.2,
                         1.0 / 3, 2.0 / 3, 5e-324, 1.7976931348623157e308, 16777216.5, 0.000099999999999999991})
        EXPECT_EQ(formD(value), referenceGeneral(value, 15)) << value;
    for (float value : {0.5f, 1e7f, 9999999.5f, 1.0f / 3, 3.4028235e38f, 1e-45f, 12345678.0f})
        EXPECT_EQ(formS(value), referenceGeneral(value, 7)) << value;
}

}  // namespace
}  // namespace pqwave
