// The min/max pyramid against a plain scan of the samples, over runs of every length and
// alignment, for the channels and the derived sums.
#include "display/sample_pyramid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace pqwave {
namespace {

struct Recording {
    RawSampleTable table;
    RecordedSamples samples;
    Recording(std::size_t rows, std::size_t channels) : table(rows + 1, channels + 1) {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> code(-32768, 32767);
        for (std::size_t j = 0; j < rows + 1; ++j)
            for (std::size_t c = 0; c < channels + 1; ++c) table(j, c) = static_cast<std::int16_t>(code(random));
        samples = {nullptr, &table, rows, channels};  // a spare row and a logic column beyond
    }
};

SampleRange scan(const RawSampleTable& t, WaveSeries series, std::size_t first, std::size_t last) {
    SampleRange r{2147483647, -2147483647};
    for (std::size_t j = first; j <= last; ++j) {
        std::int32_t v = series == WaveSeries::Ch3PlusCh4    ? t(j, 2) + t(j, 3)
                         : series == WaveSeries::Ch1MinusCh2 ? t(j, 0) - t(j, 1)
                                                             : t(j, static_cast<std::size_t>(series));
        r.low = std::min(r.low, v);
        r.high = std::max(r.high, v);
    }
    return r;
}

TEST(SamplePyramid, GivesTheExtremesOfAnyRunOfSamples) {
    Recording r(70000, 4);
    SamplePyramid pyramid(r.samples);
    EXPECT_EQ(pyramid.levels(), 5u);  // blocks of 16, 256, 4096, 65536 and one of everything
    std::mt19937 random(11);
    for (WaveSeries series : {WaveSeries::Ch1, WaveSeries::Ch4, WaveSeries::Ch3PlusCh4, WaveSeries::Ch1MinusCh2}) {
        for (int trial = 0; trial < 300; ++trial) {
            std::size_t a = random() % 70000, b = random() % 70000;
            if (trial % 3 == 0) b = std::min<std::size_t>(69999, a + random() % 40);
            if (a > b) std::swap(a, b);
            SampleRange got = pyramid.range(r.samples, series, a, b), want = scan(r.table, series, a, b);
            ASSERT_EQ(got.low, want.low) << a << ".." << b;
            ASSERT_EQ(got.high, want.high) << a << ".." << b;
        }
    }
    SampleRange all = pyramid.range(r.samples, WaveSeries::Ch2, 0, 69999);
    SampleRange want = scan(r.table, WaveSeries::Ch2, 0, 69999);
    EXPECT_EQ(all.low, want.low);
    EXPECT_EQ(all.high, want.high);
}

TEST(SamplePyramid, KnowsWhichSeriesTheRecordingHolds) {
    Recording r(100, 3);
    EXPECT_TRUE(waveSeriesAvailable(r.samples, WaveSeries::Ch3));
    EXPECT_FALSE(waveSeriesAvailable(r.samples, WaveSeries::Ch4));  // column 3 is the logic column
    EXPECT_FALSE(waveSeriesAvailable(r.samples, WaveSeries::Ch3PlusCh4));
    EXPECT_TRUE(waveSeriesAvailable(r.samples, WaveSeries::Ch1MinusCh2));
    std::int32_t v = 0;
    EXPECT_FALSE(waveSeriesValue(r.samples, WaveSeries::Ch1, 100, v));  // the spare row
    EXPECT_TRUE(waveSeriesValue(r.samples, WaveSeries::Ch1, 99, v));
}

}  // namespace
}  // namespace pqwave
