#include "display/sample_pyramid.h"

#include <algorithm>

namespace pqwave {
namespace {

// Columns a series reads: one channel, or the two of a derived sum.
struct SeriesColumns {
    std::size_t first, second;
    int sign;  // 0: one channel; +1: first + second; -1: first - second
};

SeriesColumns columnsOf(WaveSeries series) {
    switch (series) {
        case WaveSeries::Ch3PlusCh4:
            return {2, 3, 1};
        case WaveSeries::Ch1MinusCh2:
            return {0, 1, -1};
        default:
            return {static_cast<std::size_t>(series), 0, 0};
    }
}

}  // namespace

bool waveSeriesAvailable(const RecordedSamples& samples, WaveSeries series) {
    SeriesColumns c = columnsOf(series);
    return samples.rows > 0 && c.first < samples.columns && (c.sign == 0 || c.second < samples.columns);
}

bool waveSeriesValue(const RecordedSamples& samples, WaveSeries series, std::size_t row, std::int32_t& value) {
    SeriesColumns c = columnsOf(series);
    if (!samples.contains(row, c.first) || (c.sign != 0 && !samples.contains(row, c.second))) return false;
    const std::int16_t* cells = samples.row(row);
    value = cells[c.first];
    if (c.sign != 0) value += c.sign * std::int32_t{cells[c.second]};
    return true;
}

SamplePyramid::SamplePyramid(const RecordedSamples& table) {
    const std::size_t rows = table.rows;
    for (int s = 0; s < kWaveSeriesCount; ++s) {
        const auto series = static_cast<WaveSeries>(s);
        if (!waveSeriesAvailable(table, series)) continue;
        std::vector<Level>& levels = levels_[s];
        // First level straight from the samples.
        Level first;
        const std::size_t blocks = (rows + kFold - 1) / kFold;
        first.low.resize(blocks);
        first.high.resize(blocks);
        for (std::size_t b = 0; b < blocks; ++b) {
            std::size_t end = std::min(rows, (b + 1) * kFold);
            std::int32_t low = 0, high = 0;
            waveSeriesValue(table, series, b * kFold, low);
            high = low;
            for (std::size_t j = b * kFold + 1; j < end; ++j) {
                std::int32_t v = 0;
                waveSeriesValue(table, series, j, v);
                low = std::min(low, v);
                high = std::max(high, v);
            }
            first.low[b] = low;
            first.high[b] = high;
        }
        levels.push_back(std::move(first));
        // Each further level folds kFold blocks of the one below.
        while (levels.back().low.size() > 1) {
            const Level& below = levels.back();
            Level next;
            const std::size_t count = (below.low.size() + kFold - 1) / kFold;
            next.low.resize(count);
            next.high.resize(count);
            for (std::size_t b = 0; b < count; ++b) {
                std::size_t begin = b * kFold, end = std::min(below.low.size(), begin + kFold);
                next.low[b] = *std::min_element(below.low.begin() + begin, below.low.begin() + end);
                next.high[b] = *std::max_element(below.high.begin() + begin, below.high.begin() + end);
            }
            levels.push_back(std::move(next));
        }
    }
}

SampleRange SamplePyramid::range(const RecordedSamples& table, WaveSeries series, std::size_t first,
                                 std::size_t last) const {
    const std::vector<Level>& levels = levels_[static_cast<int>(series)];
    SampleRange r;
    bool any = false;
    auto take = [&](std::int32_t low, std::int32_t high) {
        if (!any) {
            r = {low, high};
            any = true;
            return;
        }
        r.low = std::min(r.low, low);
        r.high = std::max(r.high, high);
    };
    std::size_t j = first;
    const std::size_t end = last + 1;
    while (j < end) {
        // The largest block that starts at j and ends within the run.
        int level = -1;
        std::size_t size = 1;
        while (level + 1 < static_cast<int>(levels.size())) {
            std::size_t bigger = size * kFold;
            if (j % bigger != 0 || j + bigger > end) break;
            size = bigger;
            ++level;
        }
        if (level < 0) {
            std::int32_t v = 0;
            if (waveSeriesValue(table, series, j, v)) take(v, v);
        } else {
            const Level& l = levels[static_cast<std::size_t>(level)];
            std::size_t b = j / size;
            take(l.low[b], l.high[b]);
        }
        j += size;
    }
    return r;
}

}  // namespace pqwave
