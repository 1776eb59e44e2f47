#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string_view>
#include <vector>

#include "common/datetime.h"
#include "common/textforms.h"
#include "support/reference_number_forms.h"

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

// The formatter against the one it replaced, which every file so far was written with.
template <typename T>
void expectSameAsBefore(T value, char* (*current)(char*, T), char* (*before)(char*, T)) {
    char now[kMaxNumberText + 8], then[kMaxNumberText + 8];
    const std::string_view a(now, static_cast<std::size_t>(current(now, value) - now));
    const std::string_view b(then, static_cast<std::size_t>(before(then, value) - then));
    ASSERT_EQ(a, b) << value;
}

// A row of S fields against the values written one by one by the formatter before.
void expectFieldsSameAsBefore(const std::vector<float>& values) {
    std::vector<char> row(values.size() * kMaxSingleField + kMaxNumberText);
    const std::string_view text(
        row.data(), static_cast<std::size_t>(appendSFields(row.data(), values.data(), values.size()) - row.data()));
    std::size_t at = 0;
    for (float v : values) {
        char then[kMaxNumberText + 8];
        const std::string expected = "," + std::string(then, reference::appendS(then, v));
        ASSERT_EQ(text.substr(at, expected.size()), expected) << v;
        at += expected.size();
    }
    EXPECT_EQ(at, text.size());
}

// Doubles of random bits (every magnitude), of random digits at every decimal exponent the
// files see, and at the rounding boundaries: halves of the 15th digit, powers of ten and
// their neighbours, the ends of the integer paths.
TEST(TextForms, WriteTheSameTextsAsBefore) {
    std::mt19937_64 random(22);
    auto bothDoubleForms = [](double v) {
        expectSameAsBefore(v, appendD, reference::appendD);
        expectSameAsBefore(v, appendP, reference::appendP);
    };
    auto bothSingleForms = [](float v) {
        expectSameAsBefore(v, appendS, reference::appendS);
        expectSameAsBefore(v, appendPSingle, reference::appendPSingle);
    };
    std::vector<float> singles;
    for (int i = 0; i < 300000; ++i) {
        const std::uint64_t bits = random();
        bothDoubleForms(std::bit_cast<double>(bits));
        singles.push_back(std::bit_cast<float>(static_cast<std::uint32_t>(bits)));
        bothSingleForms(singles.back());
        // and magnitudes as the spectrum files hold them, with their neighbours
        singles.push_back(static_cast<float>(std::pow(10.0, std::uniform_real_distribution<double>(-12, 8)(random))));
        singles.push_back(std::nextafter(singles.back(), 0.0f));
    }
    for (int e = -46; e <= 39; ++e) {  // below a power of ten the 7th digit carries into it
        const auto p = static_cast<float>(std::pow(10.0, e));
        for (float v : {p, std::nextafter(p, 0.0f), std::nextafter(std::nextafter(p, 0.0f), 0.0f), -p})
            singles.push_back(v);
    }
    for (float v : {0.0f, -0.0f, std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()})
        singles.push_back(v);
    expectFieldsSameAsBefore(singles);
    std::uniform_int_distribution<std::int64_t> digits(100000000000000, 999999999999999);
    std::uniform_int_distribution<int> exponent(-30, 40);
    for (int i = 0; i < 300000; ++i) {
        const double scale = std::pow(10.0, exponent(random));
        const auto d = static_cast<double>(digits(random));
        bothDoubleForms(d * scale);
        bothDoubleForms((d + 0.5) * scale);
        bothDoubleForms(std::nextafter(d * scale, 0.0));
    }
    for (int e = -330; e <= 310; ++e) {
        const double p = std::pow(10.0, e);
        for (double v : {p, std::nextafter(p, 0.0), std::nextafter(p, 1e300), 9.999999999999995 * p,
                         9.9999999999999949 * p, 5 * p, 2.5 * p})
            bothDoubleForms(v);
    }
    for (int b = -1075; b <= 1024; ++b)
        for (double v : {std::ldexp(1.0, b), std::ldexp(1.0, b) * (2 - 0x1p-52), std::ldexp(1.5, b)})
            bothDoubleForms(v);
    for (double v : {0.0, -0.0, 5e-324, 2.2250738585072014e-308, 1.7976931348623157e308, 1e15 - 0.5, 1e15 + 0.25,
                     999999999999999.4, std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()})
        bothDoubleForms(v);
    for (float v : {0.0f, -0.0f, std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                    std::numeric_limits<float>::quiet_NaN()})
        bothSingleForms(v);
}

}  // namespace
}  // namespace pqwave
