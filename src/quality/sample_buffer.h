// The stretch of a recording's signals that the windows still in progress need: samples are
// read from the source in blocks at the end and forgotten at the front, so memory follows the
// longest window, not the recording.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "quality/pq_types.h"

namespace pqwave {

class SampleBuffer {
public:
    explicit SampleBuffer(const PqSignalSource& source);

    std::int64_t first() const { return first_; }
    std::int64_t end() const { return first_ + static_cast<std::int64_t>(held_); }
    bool atRecordingEnd() const { return end() >= source_.sampleCount(); }

    // Reads up to `count` more samples of every signal; returns how many were read.
    std::size_t readMore(std::size_t count);
    // Forgets the samples before `index`.
    void dropBefore(std::int64_t index);

    // Sample `index` of signal s: index within [first(), end()), clamped to it otherwise, so
    // an interpolation at the recording's very ends reads its edge samples.
    const float* signal(int s) const { return data_[static_cast<std::size_t>(s)].data(); }
    float at(int s, std::int64_t index) const;

private:
    const PqSignalSource& source_;
    std::vector<std::vector<float>> data_;
    std::int64_t first_ = 0;
    std::size_t held_ = 0;
};

// The integral of x^2 over sample positions [from, to) (in samples, fractional), by the
// trapezoid rule with the window's ends interpolated between samples: a window of whole cycles
// gives the mean square exactly whatever its position on the sample grid.
double squareIntegral(const SampleBuffer& buffer, int signal, double from, double to);

}  // namespace pqwave
