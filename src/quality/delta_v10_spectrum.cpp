#include "quality/delta_v10_spectrum.h"

#include <bit>
#include <cmath>
#include <numbers>
#include <numeric>
#include <utility>

namespace pqwave {

void FluctuationSpectrum::prepare(std::size_t size) {
    const std::size_t n = std::bit_ceil(std::max<std::size_t>(size, 2));
    if (buffer_.size() == n) return;
    buffer_.assign(n, {});
    twiddles_.resize(n / 2);
    for (std::size_t k = 0; k < n / 2; ++k)
        twiddles_[k] = std::polar(1.0, -2 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n));
    reversed_.resize(n);
    const int bits = std::countr_zero(n);
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t r = 0;
        for (int b = 0; b < bits; ++b) r |= ((i >> b) & 1) << (bits - 1 - b);
        reversed_[i] = r;
    }
    power_.resize(n / 2 + 1);
}

void FluctuationSpectrum::transform() {
    const std::size_t n = buffer_.size();
    for (std::size_t i = 0; i < n; ++i)
        if (i < reversed_[i]) std::swap(buffer_[i], buffer_[reversed_[i]]);
    for (std::size_t length = 2; length <= n; length *= 2) {
        const std::size_t half = length / 2, stride = n / length;
        for (std::size_t first = 0; first < n; first += length) {
            for (std::size_t j = 0; j < half; ++j) {
                const std::complex<double> u = buffer_[first + j];
                const std::complex<double> v = buffer_[first + j + half] * twiddles_[j * stride];
                buffer_[first + j] = u + v;
                buffer_[first + j + half] = u - v;
            }
        }
    }
}

std::span<const double> FluctuationSpectrum::powerOf(std::span<const double> values) {
    prepare(values.size());
    const std::size_t count = values.size(), n = buffer_.size();
    if (count == 0) {
        std::fill(power_.begin(), power_.end(), 0.0);
        return power_;
    }
    const double mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(count);
    double windowEnergy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i >= count) {
            buffer_[i] = 0;
            continue;
        }
        const double s = std::sin(std::numbers::pi * (static_cast<double>(i) + 0.5) / static_cast<double>(count));
        windowEnergy += s * s * s * s;
        buffer_[i] = (values[i] - mean) * s * s;
    }
    transform();
    const double scale = 1 / (static_cast<double>(n) * windowEnergy);
    for (std::size_t k = 0; k <= n / 2; ++k) {
        const double edge = k == 0 || k == n / 2 ? 1 : 2;
        power_[k] = edge * std::norm(buffer_[k]) * scale;
    }
    return power_;
}

}  // namespace pqwave
