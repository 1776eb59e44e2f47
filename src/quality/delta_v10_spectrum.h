// The power spectrum of one stretch of a fluctuation (delta V10 reads one minute at a time):
// the values, mean removed, under a Hann window, zero-padded to a power of two and
// transformed. Scaling: bin k (frequency k x sampleHz / fftSize) holds
// 2 |X_k|^2 / (fftSize x N x mean(w^2)), so that the bins of a stationary fluctuation add up
// to its mean square, whatever window and padding; a sine of RMS A gives A^2 over the few bins
// around its frequency.
#pragma once

#include <complex>
#include <cstddef>
#include <span>
#include <vector>

namespace pqwave {

class FluctuationSpectrum {
public:
    // Bins 0 .. fftSize()/2 of `values`; fftSize() is the power of two at or above its count.
    std::span<const double> powerOf(std::span<const double> values);
    std::size_t fftSize() const { return size_; }

private:
    void prepare(std::size_t size);
    void transform();

    std::size_t size_ = 0;
    std::vector<std::complex<double>> buffer_;  // the values in pairs, then their transform
    std::vector<std::complex<double>> twiddles_;
    std::vector<std::size_t> reversed_;
    std::vector<double> power_;
};

}  // namespace pqwave
