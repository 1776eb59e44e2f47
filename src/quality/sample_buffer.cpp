#include "quality/sample_buffer.h"

#include <algorithm>
#include <cmath>

namespace pqwave {

SampleBuffer::SampleBuffer(const PqSignalSource& source)
    : source_(source), data_(static_cast<std::size_t>(source.signals())) {}

std::size_t SampleBuffer::readMore(std::size_t count) {
    const std::int64_t left = source_.sampleCount() - end();
    count = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(count), std::max<std::int64_t>(left, 0)));
    if (count == 0) return 0;
    std::vector<float*> out(data_.size());
    for (std::size_t s = 0; s < data_.size(); ++s) {
        data_[s].resize(held_ + count);
        out[s] = data_[s].data() + held_;
    }
    source_.read(end(), count, out);
    held_ += count;
    return count;
}

void SampleBuffer::dropBefore(std::int64_t index) {
    const std::int64_t drop = std::clamp<std::int64_t>(index - first_, 0, static_cast<std::int64_t>(held_));
    // Moving the kept samples down costs a pass over them; done only once they are outnumbered.
    if (drop == 0 || static_cast<std::size_t>(drop) < held_ / 2) return;
    for (std::vector<float>& samples : data_) {
        samples.erase(samples.begin(), samples.begin() + drop);
    }
    first_ += drop;
    held_ -= static_cast<std::size_t>(drop);
}

float SampleBuffer::at(int s, std::int64_t index) const {
    const std::int64_t i = std::clamp<std::int64_t>(index - first_, 0, static_cast<std::int64_t>(held_) - 1);
    return data_[static_cast<std::size_t>(s)][static_cast<std::size_t>(i)];
}

double squareIntegral(const SampleBuffer& buffer, int signal, double from, double to) {
    auto valueAt = [&](double position) {
        const double floor = std::floor(position);
        const auto i = static_cast<std::int64_t>(floor);
        const double a = buffer.at(signal, i), b = buffer.at(signal, i + 1);
        return a + (position - floor) * (b - a);
    };
    const double firstWhole = std::ceil(from), lastWhole = std::floor(to);
    const double xFrom = valueAt(from), xTo = valueAt(to);
    if (firstWhole > lastWhole) return (to - from) * (xFrom * xFrom + xTo * xTo) / 2;
    const auto i0 = static_cast<std::int64_t>(firstWhole), i1 = static_cast<std::int64_t>(lastWhole);
    const float* x = buffer.signal(signal);
    const std::int64_t base = buffer.first();
    double sum = 0;
    for (std::int64_t j = std::max(i0, base); j <= std::min(i1, buffer.end() - 1); ++j) {
        const double v = x[j - base];
        sum += v * v;
    }
    const double a = buffer.at(signal, i0), b = buffer.at(signal, i1);
    sum -= (a * a + b * b) / 2;  // the trapezoid counts the end samples of [i0, i1] by half
    sum += (firstWhole - from) * (xFrom * xFrom + a * a) / 2;
    sum += (to - lastWhole) * (b * b + xTo * xTo) / 2;
    return sum;
}

}  // namespace pqwave
