// Minimum and maximum of the waveform window's series over any run of samples, without
// visiting each sample: per series, the extremes of blocks of 16, 256, 4096, ... samples,
// built once per loaded recording. A long view then costs a few block reads per pixel column.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "display/recorded_samples.h"

namespace pqwave {

// The series the waveform window draws from raw codes: each analogue column as recorded, and
// the two sums its derived traces draw, formed without 16-bit overflow. Columns 0..7 are ch1..ch8
// of a waveform recording; an RMS recording's maximum and minimum series take two columns a
// channel, up to 16, reached through columnSeries.
inline constexpr int kColumnSeries = 16;
enum class WaveSeries { Ch1, Ch2, Ch3, Ch4, Ch5, Ch6, Ch7, Ch8, Ch3PlusCh4 = kColumnSeries, Ch1MinusCh2 };
inline constexpr int kWaveSeriesCount = kColumnSeries + 2;

// The series of column `column` (0..15) as recorded.
inline WaveSeries columnSeries(int column) {
    return static_cast<WaveSeries>(column);
}

// The value of a series at one sample; false when the recording lacks the sample or a
// column the series needs.
bool waveSeriesValue(const RecordedSamples& samples, WaveSeries series, std::size_t row, std::int32_t& value);
bool waveSeriesAvailable(const RecordedSamples& samples, WaveSeries series);

struct SampleRange {
    std::int32_t low = 0, high = 0;
};

class SamplePyramid {
public:
    static constexpr int kFold = 16;  // samples per block of the first level, blocks per block above

    SamplePyramid() = default;
    // Builds every level for every series the recording holds.
    explicit SamplePyramid(const RecordedSamples& samples);

    // Extremes of samples first..last (inclusive, first <= last < rows) of a series that
    // the recording holds.
    SampleRange range(const RecordedSamples& samples, WaveSeries series, std::size_t first, std::size_t last) const;

    std::size_t levels() const { return levels_[0].size(); }

private:
    struct Level {
        std::vector<std::int32_t> low, high;
    };
    std::array<std::vector<Level>, kWaveSeriesCount> levels_;
};

}  // namespace pqwave
