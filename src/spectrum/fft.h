// The radix-2 transform every spectrum output shares: X(k) = sum of x(n) e^(-i 2 pi k n / N),
// forward and unscaled (callers divide their input by N first), in place on single-precision
// real and imaginary arrays whose input is already in bit-reversed order. The tables of a size
// are built once and shared by every run and window of that size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace pqwave {

// Record transforms (channel FFT, V/I/P/Q FFT) stop at 65 536 points.
inline constexpr int kMaxRecordTransformBits = 16;

// The bits of the transform of a record: the largest b with 2^b <= samples, at most 16; 0 for
// fewer than 2 samples.
int transformBits(double samples);

// The tables of one transform size N = 2^bits.
struct FftTables {
    int bits = 0;
    std::size_t N = 1;
    std::size_t topBin = 0;                     // N/2, the last bin of a one-sided spectrum (0 for N = 1)
    std::vector<std::int32_t> BitRevIndex;      // N entries: i with its `bits` low bits reversed
    std::vector<float> TwiddleCos, TwiddleSin;  // topBin + 1 entries: cos and sin of -(2 pi / N) k
    // The same twiddles once more, per stage in the order its butterflies take them, so each
    // stage reads them as a contiguous run: stage s (half = 2^s) starts at half - 1.
    std::vector<float> stageCos, stageSin;
};

// FFTSetup: the tables of size 2^bits (bits >= 0). Sizes up to 2^16 are built on first use and
// kept for the life of the program; a larger size is built afresh and lives as long as its user.
std::shared_ptr<const FftTables> FFTSetup(int bits);

// FFTCalc: transforms re + i im (N entries each) in place, by stages s = 0..bits-1 of
// butterflies on e = 2 g 2^s + j and f = e + 2^s with C, S the twiddles of index N / 2^(s+1) j.
// Each butterfly computes its four new values from the old ones, left to right, every product
// and sum rounded to single:
//   re(e) = C re(f) + re(e) - S im(f)      re(f) = re(e) - C re(f) + S im(f)
//   im(e) = S re(f) + im(e) + C im(f)      im(f) = im(e) - S re(f) - C im(f)
void FFTCalc(const FftTables& tables, float* im, float* re);

namespace fft_detail {
// The builds of the transform for kinds of processor; FFTCalc takes the fastest this one runs.
// The tests run each against the plain butterfly order.
enum class Kernel { Scalar, Portable, Avx2, Avx512 };
std::vector<Kernel> availableKernels();
void FFTCalcWith(Kernel kernel, const FftTables& tables, float* im, float* re);
}  // namespace fft_detail

// The work arrays of one transform, N + 1 entries each: entry N stays 0, so the read-out of
// bin 0 (which pairs it with entry N) needs no case of its own.
struct FftArrays {
    explicit FftArrays(std::size_t n) : FFTRe(n + 1, 0.0f), FFTIm(n + 1, 0.0f) {}
    std::vector<float> FFTRe, FFTIm;
};

// One-sided read-out of bin k = 0..N/2: S = re(N-k) + re(k), D = im(N-k) - im(k), in single.
// For a real input and 0 < k < N/2, S = 2 Re X(k) and D = -2 Im X(k); the top bin is not halved.
struct BinSums {
    float S = 0, D = 0;
};
inline BinSums binSums(const FftArrays& a, std::size_t n, std::size_t k) {
    return {a.FFTRe[n - k] + a.FFTRe[k], a.FFTIm[n - k] - a.FFTIm[k]};
}

// The peak amplitudes sqrt(S^2 + D^2) of bins first .. first + count - 1 (first + count - 1 <= N),
// squares and root in double: as doubles for sums over bands, or rounded to single.
void peakAmplitudes(const FftArrays& a, std::size_t first, std::size_t count, double* out);
void peakAmplitudes(const FftArrays& a, std::size_t first, std::size_t count, float* out);

}  // namespace pqwave
