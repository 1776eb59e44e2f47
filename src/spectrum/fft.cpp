// The transform's tables and butterflies. A stage's butterflies are independent, so they run
// four to sixteen to a vector register, the first eleven stages block by block in the
// first-level cache; each butterfly still rounds exactly as in the plain order (scalarStages).
#include "spectrum/fft.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>

#include "common/numbers.h"

namespace pqwave {
namespace {

// 2 pi as the transform's tables have always held it: 6.2831852 rounded to single.
constexpr float kTwoPi = 6.2831852f;

// The first stages run block by block on 2^11 points (16 KB of real and imaginary parts),
// which stay in the first-level cache through all eleven stages; only the last stages of a
// long transform sweep the whole array.
constexpr int kBlockBits = 11;

std::shared_ptr<const FftTables> buildTables(int bits) {
    auto t = std::make_shared<FftTables>();
    t->bits = bits;
    t->N = std::size_t{1} << bits;
    t->topBin = static_cast<std::size_t>(roundHalfEven(static_cast<double>(t->N) / 2));
    t->BitRevIndex.resize(t->N);
    for (std::size_t i = 0; i < t->N; ++i) {
        std::size_t reversed = 0;
        for (int k = 0; k < bits; ++k) reversed |= ((i >> k) & 1) << (bits - 1 - k);
        t->BitRevIndex[i] = static_cast<std::int32_t>(reversed);
    }
    t->TwiddleCos.resize(t->topBin + 1);
    t->TwiddleSin.resize(t->topBin + 1);
    const double step = static_cast<double>(kTwoPi) / static_cast<double>(t->N);
    for (std::size_t k = 0; k <= t->topBin; ++k) {
        const double theta = -step * static_cast<double>(k);
        t->TwiddleCos[k] = static_cast<float>(std::cos(theta));
        t->TwiddleSin[k] = static_cast<float>(std::sin(theta));
    }
    t->stageCos.resize(t->N > 1 ? t->N - 1 : 0);
    t->stageSin.resize(t->stageCos.size());
    for (std::size_t half = 1; half < t->N; half *= 2) {
        const std::size_t groups = t->N / (2 * half);
        for (std::size_t j = 0; j < half; ++j) {
            t->stageCos[half - 1 + j] = t->TwiddleCos[groups * j];
            t->stageSin[half - 1 + j] = t->TwiddleSin[groups * j];
        }
    }
    return t;
}

// ---- The butterfly. Every caller runs this one definition, on single values or on vectors
// of independent butterflies: the operations, their order and their rounding are the same.

template <typename T>
__attribute__((always_inline)) inline void butterfly(T c, T s, T& reE, T& imE, T& reF, T& imF) {
    const T cr = c * reF, si = s * imF, sr = s * reF, ci = c * imF;
    const T re = reE, im = imE;
    reE = cr + re - si;  // C re(f) + re(e) - S im(f)
    imE = sr + im + ci;  // S re(f) + im(e) + C im(f)
    reF = re - cr + si;  // re(e) - C re(f) + S im(f)
    imF = im - sr - ci;  // im(e) - S re(f) - C im(f)
}

// Small sizes, and the reference order of the butterflies.
void scalarStages(const FftTables& t, float* im, float* re) {
    for (std::size_t half = 1; half < t.N; half *= 2) {
        const std::size_t groups = t.N / (2 * half);
        for (std::size_t g = 0; g < groups; ++g)
            for (std::size_t j = 0; j < half; ++j) {
                const std::size_t e = 2 * g * half + j, f = e + half;
                butterfly(t.TwiddleCos[groups * j], t.TwiddleSin[groups * j], re[e], im[e], re[f], im[f]);
            }
    }
}

// ---- Butterflies side by side in GCC vectors: four lanes (SSE), eight (AVX2) or sixteen
// (AVX-512). The vector helpers are always inlined, so how a vector would be passed between
// functions compiled for different processors never matters.
#pragma GCC diagnostic ignored "-Wpsabi"

typedef float V8 __attribute__((vector_size(32)));
typedef float V16 __attribute__((vector_size(64)));
typedef float V4 __attribute__((vector_size(16)));
typedef int I8 __attribute__((vector_size(32)));

template <typename V = V8>
__attribute__((always_inline)) inline V load(const float* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <typename V>
__attribute__((always_inline)) inline void store(float* p, V v) {
    std::memcpy(p, &v, sizeof v);
}
template <typename V>
constexpr std::size_t kLanes = sizeof(V) / sizeof(float);

// Two stages in one sweep: the butterflies of stage s (span h) on points a, a+h and a+2h, a+3h,
// then those of stage s+1 on a, a+2h and a+h, a+3h, which take exactly those four results.
// Each butterfly is the one of its stage; only the order among independent ones changes.
template <typename V>
__attribute__((always_inline)) inline void wideStagePair(float* re, float* im, std::size_t begin, std::size_t end,
                                                         std::size_t h, const FftTables& t) {
    const float* c1 = &t.stageCos[h - 1];
    const float* s1 = &t.stageSin[h - 1];
    const float* c2 = &t.stageCos[2 * h - 1];
    const float* s2 = &t.stageSin[2 * h - 1];
    for (std::size_t a0 = begin; a0 < end; a0 += 4 * h) {
        float* r = re + a0;
        float* i = im + a0;
        for (std::size_t j = 0; j < h; j += kLanes<V>) {
            V ra = load<V>(r + j), ia = load<V>(i + j), rb = load<V>(r + h + j), ib = load<V>(i + h + j);
            V rc = load<V>(r + 2 * h + j), ic = load<V>(i + 2 * h + j);
            V rd = load<V>(r + 3 * h + j), id = load<V>(i + 3 * h + j);
            const V cs1 = load<V>(c1 + j), sn1 = load<V>(s1 + j);
            butterfly(cs1, sn1, ra, ia, rb, ib);
            butterfly(cs1, sn1, rc, ic, rd, id);
            butterfly(load<V>(c2 + j), load<V>(s2 + j), ra, ia, rc, ic);
            butterfly(load<V>(c2 + h + j), load<V>(s2 + h + j), rb, ib, rd, id);
            store(r + j, ra);
            store(i + j, ia);
            store(r + h + j, rb);
            store(i + h + j, ib);
            store(r + 2 * h + j, rc);
            store(i + 2 * h + j, ic);
            store(r + 3 * h + j, rd);
            store(i + 3 * h + j, id);
        }
    }
}

// A single stage whose butterflies span at least 8 points: eight consecutive j at once.
template <typename V>
__attribute__((always_inline)) inline void wideStage(float* re, float* im, std::size_t begin, std::size_t end,
                                                     std::size_t h, const FftTables& t) {
    const float* cs = &t.stageCos[h - 1];
    const float* sn = &t.stageSin[h - 1];
    for (std::size_t e0 = begin; e0 < end; e0 += 2 * h) {
        float* reE = re + e0;
        float* imE = im + e0;
        float* reF = reE + h;
        float* imF = imE + h;
        for (std::size_t j = 0; j < h; j += kLanes<V>) {
            V a = load<V>(reE + j), b = load<V>(imE + j), c = load<V>(reF + j), d = load<V>(imF + j);
            butterfly(load<V>(cs + j), load<V>(sn + j), a, b, c, d);
            store(reE + j, a);
            store(imE + j, b);
            store(reF + j, c);
            store(imF + j, d);
        }
    }
}

// The stages of span h = first, 2 first, ... below `limit`, over points [begin, end), two at a
// time, in vectors of V where the span holds one and of eight lanes before.
template <typename V>
__attribute__((always_inline)) inline void wideStages(float* re, float* im, std::size_t begin, std::size_t end,
                                                      std::size_t first, std::size_t limit, const FftTables& t) {
    std::size_t h = first;
    for (; 2 * h < limit; h *= 4) {
        if (h >= kLanes<V>)
            wideStagePair<V>(re, im, begin, end, h, t);
        else
            wideStagePair<V8>(re, im, begin, end, h, t);
    }
    if (h >= limit) return;
    if (h >= kLanes<V>)
        wideStage<V>(re, im, begin, end, h, t);
    else
        wideStage<V8>(re, im, begin, end, h, t);
}

// The stages of span 1, 2 and 4 on a 16-point block held in two registers per part. Lane l of
// the pair (lo, hi) is lo[l] for l < 8 and hi[l - 8]. Before a stage, one shuffle per register
// gathers the stage's e points into the first register and their f points into the second,
// from wherever the previous stage left them; after the last, one shuffle puts every point back.
using Layout = std::array<int, 16>;  // lane of each point of the block

constexpr std::array<int, 8> ePoints(int h) {
    std::array<int, 8> points{};
    int n = 0;
    for (int i = 0; i < 16; ++i)
        if ((i & h) == 0) points[n++] = i;
    return points;
}
constexpr Layout layoutBefore(int h) {  // where the points lie when the stage of span h begins
    Layout lanes{};
    for (int i = 0; i < 16; ++i) lanes[i] = i;
    for (int stage = 1; stage < h; stage *= 2)
        for (int n = 0; n < 8; ++n) {
            lanes[ePoints(stage)[n]] = n;
            lanes[ePoints(stage)[n] + stage] = 8 + n;
        }
    return lanes;
}
constexpr I8 gatherE(int h) {
    const Layout from = layoutBefore(h);
    const auto e = ePoints(h);
    return I8{from[e[0]], from[e[1]], from[e[2]], from[e[3]], from[e[4]], from[e[5]], from[e[6]], from[e[7]]};
}
constexpr I8 gatherF(int h) {
    const Layout from = layoutBefore(h);
    const auto e = ePoints(h);
    return I8{from[e[0] + h], from[e[1] + h], from[e[2] + h], from[e[3] + h],
              from[e[4] + h], from[e[5] + h], from[e[6] + h], from[e[7] + h]};
}
constexpr I8 restore(int first) {  // points first..first+7 from the layout after the last stage
    const Layout from = layoutBefore(8);
    return I8{from[first],     from[first + 1], from[first + 2], from[first + 3],
              from[first + 4], from[first + 5], from[first + 6], from[first + 7]};
}

// Lanes of a and b (b's numbered 8..15) picked by `mask`. Only data moves, so every compiler's
// way gives the same numbers; clang, used for the fuzzing builds, lacks GCC's builtin.
__attribute__((always_inline)) inline V8 shuffle(V8 a, V8 b, I8 mask) {
#if defined(__clang__)
    V8 picked;
    for (int i = 0; i < 8; ++i) picked[i] = mask[i] < 8 ? a[mask[i]] : b[mask[i] - 8];
    return picked;
#else
    return __builtin_shuffle(a, b, mask);
#endif
}

template <int H>
__attribute__((always_inline)) inline void narrowStage(V8 c, V8 s, V8& re0, V8& re1, V8& im0, V8& im1) {
    constexpr I8 e = gatherE(H), f = gatherF(H);
    V8 reE = shuffle(re0, re1, e), reF = shuffle(re0, re1, f);
    V8 imE = shuffle(im0, im1, e), imF = shuffle(im0, im1, f);
    butterfly(c, s, reE, imE, reF, imF);
    re0 = reE;
    re1 = reF;
    im0 = imE;
    im1 = imF;
}

// The twiddles of the e points of the stage of span H, lane by lane.
template <int H>
__attribute__((always_inline)) inline void narrowTwiddles(const FftTables& t, V8& c, V8& s) {
    for (int n = 0; n < 8; ++n) {
        c[n] = t.stageCos[H - 1 + ePoints(H)[n] % H];
        s[n] = t.stageSin[H - 1 + ePoints(H)[n] % H];
    }
}

__attribute__((always_inline)) inline void narrowStages(const FftTables& t, float* re, float* im, std::size_t begin,
                                                        std::size_t end) {
    V8 c1, s1, c2, s2, c4, s4;
    narrowTwiddles<1>(t, c1, s1);
    narrowTwiddles<2>(t, c2, s2);
    narrowTwiddles<4>(t, c4, s4);
    constexpr I8 low = restore(0), high = restore(8);
    for (std::size_t b = begin; b < end; b += 16) {
        V8 re0 = load(re + b), re1 = load(re + b + 8), im0 = load(im + b), im1 = load(im + b + 8);
        narrowStage<1>(c1, s1, re0, re1, im0, im1);
        narrowStage<2>(c2, s2, re0, re1, im0, im1);
        narrowStage<4>(c4, s4, re0, re1, im0, im1);
        store(re + b, shuffle(re0, re1, low));
        store(re + b + 8, shuffle(re0, re1, high));
        store(im + b, shuffle(im0, im1, low));
        store(im + b + 8, shuffle(im0, im1, high));
    }
}

// The stages of span 1, 2 and 4 one butterfly at a time, where the processor has no shuffle
// across eight lanes.
__attribute__((always_inline)) inline void narrowStagesScalar(const FftTables& t, float* re, float* im,
                                                              std::size_t begin, std::size_t end) {
    for (std::size_t h = 1; h < 8; h *= 2)
        for (std::size_t e0 = begin; e0 < end; e0 += 2 * h)
            for (std::size_t j = 0; j < h; ++j)
                butterfly(t.stageCos[h - 1 + j], t.stageSin[h - 1 + j], re[e0 + j], im[e0 + j], re[e0 + h + j],
                          im[e0 + h + j]);
}

template <typename V>
__attribute__((always_inline)) inline void vectorStages(const FftTables& t, float* im, float* re) {
    const std::size_t block = std::size_t{1} << std::min(t.bits, kBlockBits);
    for (std::size_t b = 0; b < t.N; b += block) {
        if constexpr (kLanes<V> < 8)
            narrowStagesScalar(t, re, im, b, b + block);
        else
            narrowStages(t, re, im, b, b + block);
        wideStages<V>(re, im, b, b + block, 8, block, t);
    }
    wideStages<V>(re, im, 0, t.N, block, t.N, t);
}

// The same stages built for three kinds of x86-64 processor. All give the same results: the
// butterflies of a stage are independent, and the compiler may not fuse a multiply and an add
// (-ffp-contract=off).
__attribute__((target("avx512f,avx512vl"))) void stagesAvx512(const FftTables& t, float* im, float* re) {
    vectorStages<V16>(t, im, re);
}
__attribute__((target("avx2"))) void stagesAvx2(const FftTables& t, float* im, float* re) {
    vectorStages<V8>(t, im, re);
}
void stagesPortable(const FftTables& t, float* im, float* re) {
    vectorStages<V4>(t, im, re);
}

}  // namespace

int transformBits(double samples) {
    int b = 1;
    while (b <= kMaxRecordTransformBits && !(std::ldexp(1.0, b) > samples)) ++b;
    return b - 1;
}

std::shared_ptr<const FftTables> FFTSetup(int bits) {
    if (bits < 0 || bits > 30) throw std::length_error("no transform of 2^" + std::to_string(bits) + " points");
    static std::mutex mutex;
    static std::array<std::shared_ptr<const FftTables>, kMaxRecordTransformBits + 1> kept;
    if (bits > kMaxRecordTransformBits) return buildTables(bits);
    std::lock_guard lock(mutex);
    auto& tables = kept[static_cast<std::size_t>(bits)];
    if (!tables) tables = buildTables(bits);
    return tables;
}

std::vector<fft_detail::Kernel> fft_detail::availableKernels() {
    std::vector<Kernel> kernels{Kernel::Scalar, Kernel::Portable};
    if (__builtin_cpu_supports("avx2")) kernels.push_back(Kernel::Avx2);
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl")) kernels.push_back(Kernel::Avx512);
    return kernels;
}

void fft_detail::FFTCalcWith(Kernel kernel, const FftTables& tables, float* im, float* re) {
    if (tables.N < 16) kernel = Kernel::Scalar;
    switch (kernel) {
        case Kernel::Scalar:
            return scalarStages(tables, im, re);
        case Kernel::Portable:
            return stagesPortable(tables, im, re);
        case Kernel::Avx2:
            return stagesAvx2(tables, im, re);
        case Kernel::Avx512:
            return stagesAvx512(tables, im, re);
    }
}

// Bins side by side in vector registers, for whichever this processor has; every lane
// rounds as the plain loop does.
template <typename T>
__attribute__((always_inline)) inline void amplitudes(const FftArrays& a, std::size_t first, std::size_t count,
                                                      T* out) {
    const std::size_t n = a.FFTRe.size() - 1;
    const float* re = a.FFTRe.data();
    const float* im = a.FFTIm.data();
    for (std::size_t j = 0; j < count; ++j) {
        const std::size_t k = first + j;
        const double s = re[n - k] + re[k], d = im[n - k] - im[k];
        out[j] = static_cast<T>(std::sqrt(s * s + d * d));
    }
}

__attribute__((target_clones("avx512f", "avx2", "default"))) void peakAmplitudes(const FftArrays& a, std::size_t first,
                                                                                 std::size_t count, double* out) {
    amplitudes(a, first, count, out);
}
__attribute__((target_clones("avx512f", "avx2", "default"))) void peakAmplitudes(const FftArrays& a, std::size_t first,
                                                                                 std::size_t count, float* out) {
    amplitudes(a, first, count, out);
}

void FFTCalc(const FftTables& tables, float* im, float* re) {
    static const fft_detail::Kernel fastest = fft_detail::availableKernels().back();
    fft_detail::FFTCalcWith(fastest, tables, im, re);
}

}  // namespace pqwave
