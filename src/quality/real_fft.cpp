// The real series of length N is taken as a complex series of length N/2 (even samples real,
// odd samples imaginary), transformed by an iterative radix-2 FFT and split into the real
// series' spectrum: half the work of a complex transform of the same length.
#include "quality/real_fft.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace pqwave {

RealFft::RealFft(std::size_t size) : size_(size), half_(size / 2) {
    if (size < 4 || (size & (size - 1)) != 0) throw std::invalid_argument("RealFft: size must be a power of two >= 4");
    const double pi = std::numbers::pi;
    twiddleRe_.resize(half_ / 2);
    twiddleIm_.resize(half_ / 2);
    for (std::size_t k = 0; k < half_ / 2; ++k) {
        twiddleRe_[k] = std::cos(2 * pi * static_cast<double>(k) / static_cast<double>(half_));
        twiddleIm_[k] = -std::sin(2 * pi * static_cast<double>(k) / static_cast<double>(half_));
    }
    splitRe_.resize(half_ + 1);
    splitIm_.resize(half_ + 1);
    for (std::size_t k = 0; k <= half_; ++k) {
        splitRe_[k] = std::cos(2 * pi * static_cast<double>(k) / static_cast<double>(size_));
        splitIm_[k] = -std::sin(2 * pi * static_cast<double>(k) / static_cast<double>(size_));
    }
    int bits = 0;
    while ((std::size_t{1} << bits) < half_) ++bits;
    reversed_.resize(half_);
    for (std::size_t k = 0; k < half_; ++k) {
        std::uint32_t r = 0;
        for (int b = 0; b < bits; ++b)
            if (k & (std::size_t{1} << b)) r |= 1u << (bits - 1 - b);
        reversed_[k] = r;
    }
    zRe_.resize(half_);
    zIm_.resize(half_);
}

void RealFft::complexTransform() {
    double* re = zRe_.data();
    double* im = zIm_.data();
    for (std::size_t length = 2; length <= half_; length *= 2) {
        const std::size_t step = half_ / length, middle = length / 2;
        for (std::size_t block = 0; block < half_; block += length) {
            for (std::size_t j = 0; j < middle; ++j) {
                const double wr = twiddleRe_[j * step], wi = twiddleIm_[j * step];
                const std::size_t a = block + j, b = a + middle;
                const double tr = re[b] * wr - im[b] * wi;
                const double ti = re[b] * wi + im[b] * wr;
                re[b] = re[a] - tr;
                im[b] = im[a] - ti;
                re[a] += tr;
                im[a] += ti;
            }
        }
    }
}

void RealFft::transform(const double* x, std::size_t lastBin, double* re, double* im) {
    for (std::size_t k = 0; k < half_; ++k) {
        const std::uint32_t r = reversed_[k];
        zRe_[k] = x[2 * r];
        zIm_[k] = x[2 * r + 1];
    }
    complexTransform();
    if (lastBin > half_) lastBin = half_;
    for (std::size_t k = 0; k <= lastBin; ++k) {
        const std::size_t a = k % half_, b = (half_ - k) % half_;
        // Z_k and the conjugate of Z_(half-k): their half sum is the even samples' spectrum,
        // their half difference over j the odd samples'.
        const double sumRe = (zRe_[a] + zRe_[b]) / 2, sumIm = (zIm_[a] - zIm_[b]) / 2;
        const double oddRe = (zIm_[a] + zIm_[b]) / 2, oddIm = -(zRe_[a] - zRe_[b]) / 2;
        re[k] = sumRe + splitRe_[k] * oddRe - splitIm_[k] * oddIm;
        im[k] = sumIm + splitRe_[k] * oddIm + splitIm_[k] * oddRe;
    }
}

}  // namespace pqwave
