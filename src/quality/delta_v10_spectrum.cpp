#include "quality/delta_v10_spectrum.h"

#include <bit>
#include <cmath>
#include <numbers>
#include <numeric>
#include <utility>

namespace pqwave {

// The real values go in pairs into a complex transform of half the length, which is then
// taken apart into the real transform's bins.
void FluctuationSpectrum::prepare(std::size_t size) {
    const std::size_t n = std::bit_ceil(std::max<std::size_t>(size, 4));
    if (size_ == n) return;
    size_ = n;
    const std::size_t half = n / 2;
    buffer_.assign(half, {});
    twiddles_.resize(half);
    for (std::size_t k = 0; k < half; ++k)
        twiddles_[k] = std::polar(1.0, -2 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n));
    reversed_.resize(half);
    const int bits = std::countr_zero(half);
    for (std::size_t i = 0; i < half; ++i) {
        std::size_t r = 0;
        for (int b = 0; b < bits; ++b) r |= ((i >> b) & 1) << (bits - 1 - b);
        reversed_[i] = r;
    }
    power_.resize(half + 1);
}

namespace {

// Written out: the library's complex product checks for infinities on every call.
std::complex<double> times(std::complex<double> a, std::complex<double> b) {
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

}  // namespace

void FluctuationSpectrum::transform() {
    const std::size_t n = buffer_.size();
    for (std::size_t i = 0; i < n; ++i)
        if (i < reversed_[i]) std::swap(buffer_[i], buffer_[reversed_[i]]);
    for (std::size_t length = 2; length <= n; length *= 2) {
        const std::size_t half = length / 2, stride = 2 * n / length;  // twiddles are of 2n points
        for (std::size_t j = 0; j < half; ++j) {
            const std::complex<double> w = twiddles_[j * stride];
            for (std::size_t first = j; first < n; first += length) {
                const std::complex<double> u = buffer_[first], v = times(buffer_[first + half], w);
                buffer_[first] = u + v;
                buffer_[first + half] = u - v;
            }
        }
    }
}

std::span<const double> FluctuationSpectrum::powerOf(std::span<const double> values) {
    prepare(values.size());
    const std::size_t count = values.size(), half = size_ / 2;
    if (count == 0) {
        std::fill(power_.begin(), power_.end(), 0.0);
        return power_;
    }
    const double mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(count);
    double windowEnergy = 0;
    auto windowed = [&](std::size_t i) {
        if (i >= count) return 0.0;
        const double s = std::sin(std::numbers::pi * (static_cast<double>(i) + 0.5) / static_cast<double>(count));
        windowEnergy += s * s * s * s;
        return (values[i] - mean) * s * s;
    };
    for (std::size_t m = 0; m < half; ++m) {
        const double even = windowed(2 * m);
        buffer_[m] = {even, windowed(2 * m + 1)};
    }
    transform();
    const double scale = 1 / (static_cast<double>(size_) * windowEnergy);
    for (std::size_t k = 0; k <= half; ++k) {
        const std::complex<double> z = buffer_[k % half], mirror = std::conj(buffer_[(half - k) % half]);
        const std::complex<double> even = (z + mirror) * 0.5, oddTimesI = (z - mirror) * 0.5;
        const std::complex<double> odd(oddTimesI.imag(), -oddTimesI.real());
        const std::complex<double> x = even + (k < half ? times(twiddles_[k], odd) : -odd);
        const double edge = k == 0 || k == half ? 1 : 2;
        power_[k] = edge * std::norm(x) * scale;
    }
    return power_;
}

}  // namespace pqwave
