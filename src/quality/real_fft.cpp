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
    // Stage by stage, so each stage's butterflies read their twiddles one after another.
    for (std::size_t length = 8; length <= half_; length *= 2)
        for (std::size_t j = 0; j < length / 2; ++j) {
            twiddleRe_.push_back(std::cos(2 * pi * static_cast<double>(j) / static_cast<double>(length)));
            twiddleIm_.push_back(-std::sin(2 * pi * static_cast<double>(j) / static_cast<double>(length)));
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

namespace {

// One radix-2 stage of `length` over the whole series. Built for processors with AVX2 and for
// any x86-64; both give the same results, since no multiply and add are fused.
__attribute__((target_clones("avx2", "default"))) void butterflies(double* re, double* im, std::size_t size,
                                                                   std::size_t length, const double* twiddleRe,
                                                                   const double* twiddleIm) {
    const std::size_t middle = length / 2;
    for (std::size_t block = 0; block < size; block += length) {
        double* __restrict ra = re + block;
        double* __restrict ia = im + block;
        double* __restrict rb = ra + middle;
        double* __restrict ib = ia + middle;
        for (std::size_t j = 0; j < middle; ++j) {
            const double tr = rb[j] * twiddleRe[j] - ib[j] * twiddleIm[j];
            const double ti = rb[j] * twiddleIm[j] + ib[j] * twiddleRe[j];
            rb[j] = ra[j] - tr;
            ib[j] = ia[j] - ti;
            ra[j] += tr;
            ia[j] += ti;
        }
    }
}

}  // namespace

void RealFft::complexTransform() {
    double* re = zRe_.data();
    double* im = zIm_.data();
    // Lengths 2 and 4 together: their twiddles are 1 and -j.
    if (half_ >= 4) {
        for (std::size_t a = 0; a < half_; a += 4) {
            const double r0 = re[a] + re[a + 1], i0 = im[a] + im[a + 1];
            const double r1 = re[a] - re[a + 1], i1 = im[a] - im[a + 1];
            const double r2 = re[a + 2] + re[a + 3], i2 = im[a + 2] + im[a + 3];
            const double r3 = re[a + 2] - re[a + 3], i3 = im[a + 2] - im[a + 3];
            re[a] = r0 + r2, im[a] = i0 + i2;
            re[a + 2] = r0 - r2, im[a + 2] = i0 - i2;
            re[a + 1] = r1 + i3, im[a + 1] = i1 - r3;  // (r3 + j i3) x (-j) = i3 - j r3
            re[a + 3] = r1 - i3, im[a + 3] = i1 + r3;
        }
    } else {
        const double r0 = re[0], i0 = im[0];
        re[0] = r0 + re[1], im[0] = i0 + im[1];
        re[1] = r0 - re[1], im[1] = i0 - im[1];
    }
    const double* twiddleRe = twiddleRe_.data();
    const double* twiddleIm = twiddleIm_.data();
    for (std::size_t length = 8; length <= half_; length *= 2) {
        butterflies(re, im, half_, length, twiddleRe, twiddleIm);
        twiddleRe += length / 2;
        twiddleIm += length / 2;
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
    // Bins 0 and N/2 pair Z_0 with itself; every other bin k pairs Z_k with Z_(half-k).
    re[0] = zRe_[0] + zIm_[0];
    im[0] = 0;
    for (std::size_t k = 1; k <= lastBin && k < half_; ++k) {
        const std::size_t b = half_ - k;
        // Z_k and the conjugate of Z_(half-k): their half sum is the even samples' spectrum,
        // their half difference over j the odd samples'.
        const double sumRe = (zRe_[k] + zRe_[b]) / 2, sumIm = (zIm_[k] - zIm_[b]) / 2;
        const double oddRe = (zIm_[k] + zIm_[b]) / 2, oddIm = -(zRe_[k] - zRe_[b]) / 2;
        re[k] = sumRe + splitRe_[k] * oddRe - splitIm_[k] * oddIm;
        im[k] = sumIm + splitRe_[k] * oddIm + splitIm_[k] * oddRe;
    }
    if (lastBin == half_) {
        re[half_] = zRe_[0] - zIm_[0];
        im[half_] = 0;
    }
}

}  // namespace pqwave
