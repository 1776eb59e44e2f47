// The radix-2 transform against a direct DFT computed here in long double, against a plain
// butterfly-by-butterfly transform written here from its formulas (the vectorised one must
// match it bit for bit), and on inputs whose transform is known by hand.
#include "spectrum/fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>
#include <random>

namespace pqwave {
namespace {

// The transform of size 2^bits written out from its definition, one float operation per step.
struct ReferenceTransform {
    explicit ReferenceTransform(int bits) : bits(bits), n(std::size_t{1} << bits) {
        for (std::size_t i = 0; i < n; ++i) {
            std::size_t copyI = i, copyN = n, index = 0;
            for (int k = 1; k <= bits; ++k) {
                copyN /= 2;
                index += copyN * (copyI % 2);
                copyI /= 2;
            }
            bitRev.push_back(static_cast<std::int32_t>(index));
        }
        const float twoPi = 6.2831852f;
        for (std::size_t k = 0; k <= n / 2; ++k) {
            double theta = -(static_cast<double>(twoPi) / static_cast<double>(n)) * static_cast<double>(k);
            cosine.push_back(static_cast<float>(std::cos(theta)));
            sine.push_back(static_cast<float>(std::sin(theta)));
        }
    }

    void transform(std::vector<float>& re, std::vector<float>& im) const {
        for (int stage = 0; stage < bits; ++stage) {
            std::size_t half = std::size_t{1} << stage, groups = n / (2 * half);
            for (std::size_t g = 0; g < groups; ++g)
                for (std::size_t j = 0; j < half; ++j) {
                    std::size_t e = 2 * g * half + j, f = e + half, t = groups * j;
                    float c = cosine[t], s = sine[t];
                    float re0 = re[e], im0 = im[e], re1 = re[f], im1 = im[f];
                    float a = c * re1;
                    a = a + re0;
                    float b = s * im1;
                    float newReE = a - b;
                    a = s * re1;
                    a = a + im0;
                    b = c * im1;
                    float newImE = a + b;
                    a = c * re1;
                    a = re0 - a;
                    b = s * im1;
                    float newReF = a + b;
                    a = s * re1;
                    a = im0 - a;
                    b = c * im1;
                    float newImF = a - b;
                    re[e] = newReE;
                    im[e] = newImE;
                    re[f] = newReF;
                    im[f] = newImF;
                }
        }
    }

    int bits;
    std::size_t n;
    std::vector<std::int32_t> bitRev;
    std::vector<float> cosine, sine;
};

// x loaded in bit-reversed order into work arrays, transformed by FFTCalc.
FftArrays transformed(const FftTables& t, const std::vector<std::complex<float>>& x) {
    FftArrays a(t.N);
    for (std::size_t m = 0; m < t.N; ++m) {
        a.FFTRe[m] = x[static_cast<std::size_t>(t.BitRevIndex[m])].real();
        a.FFTIm[m] = x[static_cast<std::size_t>(t.BitRevIndex[m])].imag();
    }
    FFTCalc(t, a.FFTIm.data(), a.FFTRe.data());
    return a;
}

std::vector<std::complex<float>> randomSignal(std::size_t n, unsigned seed, bool complex = true) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(-1000, 1000);
    std::vector<std::complex<float>> x(n);
    for (auto& v : x) v = {value(random), complex ? value(random) : 0.0f};
    return x;
}

TEST(FftSize, IsTheLargestPowerOfTwoNotAboveTheRecordCappedAt65536) {
    EXPECT_EQ(transformBits(0), 0);
    EXPECT_EQ(transformBits(1), 0);
    EXPECT_EQ(transformBits(2), 1);
    EXPECT_EQ(transformBits(1000), 9);  // 512 points
    for (int b = 1; b <= 16; ++b) {
        EXPECT_EQ(transformBits(std::ldexp(1.0, b)), b) << b;
        EXPECT_EQ(transformBits(std::ldexp(1.0, b) - 1), b - 1) << b;
    }
    EXPECT_EQ(transformBits(131072), 16);
    EXPECT_EQ(transformBits(200000), 16);
    EXPECT_EQ(FFTSetup(16)->N, 65536u);
}

TEST(FftTables, HoldTheBitReversalAndTheTwiddlesOfTheSinglePrecisionTwoPi) {
    auto one = FFTSetup(0);
    EXPECT_EQ(one->N, 1u);
    EXPECT_EQ(one->topBin, 0u);
    EXPECT_EQ(one->TwiddleCos.size(), 1u);
    EXPECT_EQ(one->TwiddleSin.size(), 1u);
    EXPECT_EQ(FFTSetup(3)->BitRevIndex, (std::vector<std::int32_t>{0, 4, 2, 6, 1, 5, 3, 7}));
    for (int bits = 0; bits <= 12; ++bits) {
        ReferenceTransform r(bits);
        auto t = FFTSetup(bits);
        EXPECT_EQ(t->BitRevIndex, r.bitRev) << bits;
        EXPECT_EQ(t->TwiddleCos, r.cosine) << bits;
        EXPECT_EQ(t->TwiddleSin, r.sine) << bits;
    }
    // 6.2831852 in single is 6.28318500518798828125, a little below 2 pi; so the quarter-turn
    // twiddle of a 4-point transform has cos = cos(-1.57079625129699707) = +7.54979e-08
    // rather than the -4.37e-08 of single 2 pi or the 6.1e-17 of double 2 pi.
    EXPECT_EQ(static_cast<double>(6.2831852f), 6.28318500518798828125);
    auto four = FFTSetup(2);
    EXPECT_FLOAT_EQ(four->TwiddleCos[1], 7.549790e-08f);
    EXPECT_FLOAT_EQ(four->TwiddleSin[1], -1.0f);
    EXPECT_EQ(four->TwiddleCos[0], 1.0f);
    // One table set per size, shared by its users.
    EXPECT_EQ(FFTSetup(10).get(), FFTSetup(10).get());
}

// Every build of the transform this processor runs (plain, SSE, AVX2, AVX-512), every size.
TEST(FftCalc, GivesBitForBitWhatTheButterfliesWrittenOutOneByOneGive) {
    using fft_detail::Kernel;
    EXPECT_GE(fft_detail::availableKernels().size(), 2u);
    for (int bits = 0; bits <= 17; ++bits) {
        ReferenceTransform r(bits);
        auto t = FFTSetup(bits);
        auto x = randomSignal(r.n, 7u + static_cast<unsigned>(bits));
        // Signed zeros and exact cancellations too: codes of a quiet channel.
        if (bits == 12)
            for (std::size_t n = 0; n < r.n; ++n) x[n] = {static_cast<float>(static_cast<int>(n % 5) - 2), -0.0f};
        std::vector<float> re(r.n), im(r.n);
        for (std::size_t m = 0; m < r.n; ++m) {
            re[m] = x[static_cast<std::size_t>(r.bitRev[m])].real();
            im[m] = x[static_cast<std::size_t>(r.bitRev[m])].imag();
        }
        r.transform(re, im);
        for (Kernel kernel : fft_detail::availableKernels()) {
            FftArrays a(t->N);
            for (std::size_t m = 0; m < r.n; ++m) {
                a.FFTRe[m] = x[static_cast<std::size_t>(t->BitRevIndex[m])].real();
                a.FFTIm[m] = x[static_cast<std::size_t>(t->BitRevIndex[m])].imag();
            }
            fft_detail::FFTCalcWith(kernel, *t, a.FFTIm.data(), a.FFTRe.data());
            int k = static_cast<int>(kernel);
            EXPECT_EQ(std::memcmp(a.FFTRe.data(), re.data(), r.n * sizeof(float)), 0) << bits << " kernel " << k;
            EXPECT_EQ(std::memcmp(a.FFTIm.data(), im.data(), r.n * sizeof(float)), 0) << bits << " kernel " << k;
            EXPECT_EQ(a.FFTRe[r.n], 0.0f);  // entry N is never touched
            EXPECT_EQ(a.FFTIm[r.n], 0.0f);
        }
        FftArrays chosen = transformed(*t, x);
        EXPECT_EQ(std::memcmp(chosen.FFTRe.data(), re.data(), r.n * sizeof(float)), 0) << bits;
    }
}

TEST(FftCalc, AgreesWithADirectDftInLongDouble) {
    for (int bits : {0, 1, 2, 3, 4, 5, 7, 10}) {
        auto t = FFTSetup(bits);
        auto x = randomSignal(t->N, 100u + static_cast<unsigned>(bits));
        FftArrays a = transformed(*t, x);
        long double scale = 0;
        for (auto v : x) scale += std::abs(std::complex<long double>(v.real(), v.imag()));
        for (std::size_t k = 0; k < t->N; ++k) {
            std::complex<long double> sum = 0;
            for (std::size_t n = 0; n < t->N; ++n) {
                long double angle = -2 * std::numbers::pi_v<long double> * static_cast<long double>(k * n % t->N) /
                                    static_cast<long double>(t->N);
                sum += std::complex<long double>(x[n].real(), x[n].imag()) *
                       std::complex<long double>(std::cos(angle), std::sin(angle));
            }
            // Single rounding through `bits` stages, and the twiddles' 2 pi short by 3e-7.
            long double tolerance = scale * 1e-6L * (bits + 1);
            EXPECT_NEAR(a.FFTRe[k], sum.real(), tolerance) << bits << " " << k;
            EXPECT_NEAR(a.FFTIm[k], sum.imag(), tolerance) << bits << " " << k;
        }
    }
}

TEST(FftCalc, RoundTripThroughTheInverseRestoresTheSignal) {
    // The inverse of a forward transform is the forward transform with re and im swapped, / N.
    for (int bits : {1, 4, 9, 16}) {
        auto t = FFTSetup(bits);
        auto x = randomSignal(t->N, 300u + static_cast<unsigned>(bits));
        FftArrays a = transformed(*t, x);
        std::vector<std::complex<float>> swapped(t->N);
        for (std::size_t k = 0; k < t->N; ++k) swapped[k] = {a.FFTIm[k], a.FFTRe[k]};
        FftArrays back = transformed(*t, swapped);
        double worst = 0;
        for (std::size_t n = 0; n < t->N; ++n) {
            worst = std::max(worst, std::abs(back.FFTIm[n] / static_cast<double>(t->N) - x[n].real()));
            worst = std::max(worst, std::abs(back.FFTRe[n] / static_cast<double>(t->N) - x[n].imag()));
        }
        EXPECT_LT(worst, 1000 * 2e-6 * bits) << bits;
    }
}

TEST(FftCalc, KnownInputs) {
    // One point: no stage, the input stays.
    auto one = FFTSetup(0);
    FftArrays a(1);
    a.FFTRe[0] = 2.5f;
    a.FFTIm[0] = -1.0f;
    FFTCalc(*one, a.FFTIm.data(), a.FFTRe.data());
    EXPECT_EQ(a.FFTRe[0], 2.5f);
    EXPECT_EQ(a.FFTIm[0], -1.0f);
    BinSums only = binSums(a, 1, 0);
    EXPECT_EQ(only.S, 2.5f);
    EXPECT_EQ(only.D, 1.0f);

    // A unit impulse at sample 0 has every bin exactly 1.
    for (int bits : {4, 10, 16}) {
        auto t = FFTSetup(bits);
        FftArrays impulse(t->N);
        impulse.FFTRe[0] = 1;
        FFTCalc(*t, impulse.FFTIm.data(), impulse.FFTRe.data());
        for (std::size_t k = 0; k < t->N; ++k) {
            ASSERT_EQ(impulse.FFTRe[k], 1.0f) << bits << " " << k;
            ASSERT_EQ(impulse.FFTIm[k], 0.0f) << bits << " " << k;
        }
    }

    // A cosine of 3 V peak at exactly 5 cycles in 256 samples, scaled by 1/N, reads out as
    // S = 3 and D = 0 in bin 5 and nothing elsewhere.
    auto t = FFTSetup(8);
    std::vector<std::complex<float>> cosine(256);
    for (std::size_t n = 0; n < 256; ++n)
        cosine[n] = static_cast<float>(3 * std::cos(2 * std::numbers::pi * 5 * static_cast<double>(n) / 256) / 256);
    FftArrays c = transformed(*t, cosine);
    for (std::size_t k = 0; k <= 128; ++k) {
        BinSums b = binSums(c, 256, k);
        EXPECT_NEAR(b.S, k == 5 ? 3.0 : 0.0, 2e-6) << k;
        EXPECT_NEAR(b.D, 0.0, 2e-6) << k;
    }

    // The top bin pairs the point N/2 with itself: S is twice its real part, not halved.
    std::vector<std::complex<float>> alternating(256);
    for (std::size_t n = 0; n < 256; ++n) alternating[n] = n % 2 ? -0.5f / 256 : 0.5f / 256;
    FftArrays top = transformed(*t, alternating);
    BinSums b = binSums(top, 256, 128);
    EXPECT_EQ(b.S, 2 * top.FFTRe[128]);
    EXPECT_NEAR(b.S, 1.0, 1e-6);
    // Bin 0 pairs point 0 with the zero entry N: the mean, and D = -im(0).
    BinSums mean = binSums(top, 256, 0);
    EXPECT_EQ(mean.S, top.FFTRe[0]);
    EXPECT_EQ(mean.D, -top.FFTIm[0]);
}

}  // namespace
}  // namespace pqwave
