// The discrete Fourier transform of a real series of power-of-two length, as the harmonic
// analysis takes it of each resampled basic interval: X_k = sum_n x_n e^(-j 2 pi k n / N),
// unscaled, for bins 0..lastBin (at most N/2). A component A cos(2 pi k n / N + phi) gives
// X_k = A N / 2 e^(j phi). Tables are built once per length; one object is not shared by threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pqwave {

class RealFft {
public:
    explicit RealFft(std::size_t size);  // a power of two, at least 4

    std::size_t size() const { return size_; }
    void transform(const double* x, std::size_t lastBin, double* re, double* im);

private:
    void complexTransform();

    std::size_t size_ = 0, half_ = 0;
    std::vector<double> twiddleRe_, twiddleIm_;  // e^(-j 2 pi j / L), j < L / 2, for L = 8, 16, ..., half
    std::vector<double> splitRe_, splitIm_;      // e^(-j 2 pi k / size), k <= half
    std::vector<std::uint32_t> reversed_;
    std::vector<double> zRe_, zIm_;
};

}  // namespace pqwave
