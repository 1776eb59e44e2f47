// Every finite single through the S and single print forms, and a long run of doubles through
// the D and print forms, each against the formatter the files were written with before. Takes
// minutes, so it carries the CTest label "exhaustive" and the everyday run leaves it out:
// ctest -L exhaustive runs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/textforms.h"
#include "support/reference_number_forms.h"

namespace pqwave {
namespace {

constexpr int kShards = 32;
constexpr std::uint64_t kShardFloats = (std::uint64_t{1} << 32) / kShards;

template <typename T>
bool same(T value, char* (*current)(char*, T), char* (*before)(char*, T), std::string& texts) {
    char now[kMaxNumberText + 8], then[kMaxNumberText + 8];
    const auto a = current(now, value) - now, b = before(then, value) - then;
    if (a == b && std::memcmp(now, then, static_cast<std::size_t>(a)) == 0) return true;
    texts =
        std::string(now, static_cast<std::size_t>(a)) + " against " + std::string(then, static_cast<std::size_t>(b));
    return false;
}

constexpr std::size_t kRow = 4096;

bool sameFields(const std::vector<float>& row, std::vector<char>& text, std::string& texts) {
    const char* end = appendSFields(text.data(), row.data(), row.size());
    const char* at = text.data();
    for (float v : row) {
        char then[kMaxNumberText + 8];
        const auto length = reference::appendS(then, v) - then;
        if (*at != ',' || end - at < length + 1 || std::memcmp(at + 1, then, static_cast<std::size_t>(length)) != 0 ||
            (at + 1 + length != end && at[1 + length] != ',')) {
            texts = std::string(at, static_cast<std::size_t>(std::min<std::ptrdiff_t>(end - at, 20))) + " against ," +
                    std::string(then, static_cast<std::size_t>(length));
            return false;
        }
        at += 1 + length;
    }
    return at == end;
}

class EverySingle : public testing::TestWithParam<int> {};

// One by one (appendS, appendPSingle) and as rows of fields (appendSFields, which takes the
// vector path where the processor has one).
TEST_P(EverySingle, WritesTheSameTextsAsBefore) {
    const std::uint64_t first = static_cast<std::uint64_t>(GetParam()) * kShardFloats;
    std::uint64_t checked = 0;
    std::string texts;
    std::vector<float> row;
    std::vector<char> rowText(kRow * kMaxSingleField + kMaxNumberText);
    for (std::uint64_t bits = first; bits < first + kShardFloats; ++bits) {
        const auto value = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
        if (!std::isfinite(value)) continue;
        ASSERT_TRUE(same(value, appendS, reference::appendS, texts)) << "S of bits " << bits << ": " << texts;
        ASSERT_TRUE(same(value, appendPSingle, reference::appendPSingle, texts))
            << "P of bits " << bits << ": " << texts;
        row.push_back(value);
        if (row.size() == kRow || bits + 1 == first + kShardFloats) {
            ASSERT_TRUE(sameFields(row, rowText, texts)) << "a row of S fields up to bits " << bits << ": " << texts;
            row.clear();
        }
        ++checked;
    }
    RecordProperty("singles", std::to_string(checked));
}

INSTANTIATE_TEST_SUITE_P(Shards, EverySingle, testing::Range(0, kShards));

class ManyDoubles : public testing::TestWithParam<int> {};

// Random bits cover every magnitude; random 15- and 16-digit decimals at every exponent and
// values a hair either side of the halves of the 15th digit cover the rounding.
TEST_P(ManyDoubles, WriteTheSameTextsAsBefore) {
    std::mt19937_64 random(static_cast<unsigned>(GetParam()) + 1000);
    std::uniform_int_distribution<std::int64_t> digits(1000000000000000, 9999999999999999);
    std::uniform_int_distribution<int> exponent(-340, 310);
    std::string texts;
    for (int i = 0; i < 20'000'000; ++i) {
        const double bitsValue = std::bit_cast<double>(random());
        const double decimalValue = static_cast<double>(digits(random)) * std::pow(10.0, exponent(random) - 15);
        for (double v :
             {bitsValue, decimalValue, std::nextafter(decimalValue, 0.0), std::nextafter(decimalValue, 1e308)}) {
            ASSERT_TRUE(same(v, appendD, reference::appendD, texts)) << "D of " << v << ": " << texts;
            ASSERT_TRUE(same(v, appendP, reference::appendP, texts)) << "P of " << v << ": " << texts;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shards, ManyDoubles, testing::Range(0, 4));

}  // namespace
}  // namespace pqwave
