#include "power/interval_sums.h"

#include <cmath>
#include <cstring>

namespace pqwave {
namespace {

// Each contribution is formed in double from single inputs and rounded into its single sum.
inline void accumulate(float& sum, double contribution) {
    sum = static_cast<float>(static_cast<double>(sum) + contribution);
}
// Signed: the sliding analysis takes a sample out by adding its negated contribution.
inline void accumulate(float& sum, double contribution, double sign) {
    accumulate(sum, sign * contribution);
}

// The row with room for all eight circuits: columns beyond the recording read as 0.
inline void paddedRow(const SampleInput& in, const std::int16_t* row, std::int16_t (&out)[2 + 2 * kCircuitLanes]) {
    std::memset(out, 0, sizeof out);
    std::memcpy(out, row, std::min<std::size_t>(in.columns, 2 + 2 * kCircuitLanes) * sizeof(std::int16_t));
}

struct Currents {
    Lanes a{}, b{}, t{};
};

inline float currentU(const SampleInput& in, const std::int16_t* row, int c) {
    return row[2 * c + 2] * in.scaleA[c] * in.polarity[c];
}
inline float currentW(const SampleInput& in, const std::int16_t* row, int c) {
    return row[2 * c + 3] * in.scaleB[c] * in.polarity[c];
}

// The star-delta transform of a circuit from its (a, b, t): new a, b and t.
inline void transform(const SampleInput& in, int c, float& a, float& b, float& t) {
    const double a0 = a, b0 = b, t0 = t;
    const auto& na = in.newA[c];
    const auto& nb = in.newB[c];
    a = static_cast<float>((na[0] * a0 + na[1] * b0 + na[2] * t0) / in.divisor[c]);
    b = static_cast<float>((nb[0] * a0 + nb[1] * b0 + nb[2] * t0) / in.divisor[c]);
    t = a + b;
}

inline void currentsOf(const SampleInput& in, const std::int16_t (&row)[2 + 2 * kCircuitLanes], Currents& out) {
    for (int c = 0; c < kCircuitLanes; ++c) {
        out.a[c] = currentU(in, row, c);
        out.b[c] = currentW(in, row, c);
        out.t[c] = out.a[c] + out.b[c];
    }
    if (!in.anyTransform) return;
    for (int c = 0; c < kCircuitLanes; ++c) transform(in, c, out.a[c], out.b[c], out.t[c]);
}

inline void correlate(std::array<float, 3>& sine, std::array<float, 3>& cosine, const double (&x)[3], double s,
                      double c) {
    for (int i = 0; i < 3; ++i) {
        accumulate(sine[i], x[i] * s);
        accumulate(cosine[i], x[i] * c);
    }
}

inline void correlateLanes(std::array<Lanes, 3>& sine, std::array<Lanes, 3>& cosine, const Currents& y, double s,
                           double c) {
    for (int l = 0; l < kCircuitLanes; ++l) {
        accumulate(sine[0][l], y.a[l] * s);
        accumulate(sine[1][l], y.b[l] * s);
        accumulate(sine[2][l], y.t[l] * s);
        accumulate(cosine[0][l], y.a[l] * c);
        accumulate(cosine[1][l], y.b[l] * c);
        accumulate(cosine[2][l], y.t[l] * c);
    }
}

}  // namespace

SampleInput sampleInputFor(const PowerSettings& s, const RecordingView& recording, bool hasSecondVoltage) {
    static const double kSqrt3 = std::sqrt(3.0);
    SampleInput in;
    in.table = recording.table.row(0);
    in.columns = recording.table.columns();
    in.scaleV1 = recording.channelScale[0];
    in.scaleV2 = recording.channelScale[1];
    in.hasSecondVoltage = hasSecondVoltage;
    in.circuits = s.circuits;
    for (int c = 0; c < kCircuitLanes; ++c) {
        in.polarity[c] = 1;
        in.newA[c] = {1, 0, 0};
        in.newB[c] = {0, 1, 0};
        in.divisor[c] = 1;
        if (c >= s.circuits) continue;
        in.scaleA[c] = recording.channelScale[2 * c + 2];
        in.scaleB[c] = recording.channelScale[2 * c + 3];
        if (s.polarityInverted[c]) in.polarity[c] = -1;
        if (s.minus30[c]) {  // a = (a - b)/sqrt 3, b = (b + t)/sqrt 3
            in.newA[c] = {1, -1, 0};
            in.newB[c] = {0, 1, 1};
            in.divisor[c] = kSqrt3;
        } else if (s.plus30[c]) {  // b = (b - a)/sqrt 3, a = (a + t)/sqrt 3
            in.newA[c] = {1, 0, 1};
            in.newB[c] = {-1, 1, 0};
            in.divisor[c] = kSqrt3;
        }
        in.anyTransform = in.anyTransform || in.divisor[c] != 1;
    }
    in.fundamental = s.fundamental;
    in.fifth = s.fifth;
    return in;
}

Current circuitCurrent(const SampleInput& in, const std::int16_t* row, int circuit) {
    Current i{currentU(in, row, circuit), currentW(in, row, circuit), 0};
    i.t = i.a + i.b;
    if (in.anyTransform) transform(in, circuit, i.a, i.b, i.t);
    return i;
}

namespace {

// The voltages and currents of one sample and every product the sums take of them.
inline void contributionOf(const SampleInput& in, const std::int16_t (&row)[2 + 2 * kCircuitLanes],
                           SampleContribution& c, Currents& y, double (&x)[3]) {
    const float v1 = row[0] * in.scaleV1;
    const double d1 = v1;
    c.lineSq[0] = d1 * d1;
    c.secondVoltage = in.hasSecondVoltage;
    x[0] = d1;
    if (!in.hasSecondVoltage) return;

    const float v2 = row[1] * in.scaleV2;
    const double d2 = v2, d12 = d1 - d2;
    c.lineSq[1] = d2 * d2;
    c.lineSq[2] = d12 * d12;
    const float vv = static_cast<float>((d1 + d2) / -3);
    const float vu = static_cast<float>(d1 + vv), vw = static_cast<float>(d2 + vv);
    const double dvu = vu, dvv = vv, dvw = vw;
    c.phaseSq[0] = dvu * dvu;
    c.phaseSq[1] = dvv * dvv;
    c.phaseSq[2] = dvw * dvw;
    x[1] = d2;
    x[2] = d12;

    currentsOf(in, row, y);
    for (int l = 0; l < kCircuitLanes; ++l) {
        const double a = y.a[l], b = y.b[l], t = y.t[l];
        c.curSq[0][l] = a * a;
        c.curSq[2][l] = b * b;
        c.curSq[1][l] = t * t;
        c.phaseP[0][l] = dvu * a;
        c.phaseP[1][l] = -t * dvv;
        c.phaseP[2][l] = dvw * b;
        c.phaseQ[2][l] = d1 * b;
        c.phaseQ[0][l] = d2 * -a;
        c.phaseQ[1][l] = d12 * t;
    }
}

inline void applyTo(IntervalSums& u, const SampleContribution& c, double sign) {
    accumulate(u.lineSq[0], c.lineSq[0], sign);
    if (!c.secondVoltage) return;
    for (int k = 1; k < 3; ++k) accumulate(u.lineSq[k], c.lineSq[k], sign);
    for (int k = 0; k < 3; ++k) accumulate(u.phaseSq[k], c.phaseSq[k], sign);
    for (int k = 0; k < 3; ++k)
        for (int l = 0; l < kCircuitLanes; ++l) {
            accumulate(u.curSq[k][l], c.curSq[k][l], sign);
            accumulate(u.phaseP[k][l], c.phaseP[k][l], sign);
            accumulate(u.phaseQ[k][l], c.phaseQ[k][l], sign);
        }
}

}  // namespace

// Built twice, for processors with AVX2 and for any x86-64; both give the same results,
// since the compiler may not fuse a multiply and an add (-ffp-contract=off).
__attribute__((target_clones("avx2", "default"))) void accumulateSamples(const SampleInput& in,
                                                                         const std::int64_t* rows, int count,
                                                                         IntervalSums& u, double sign) {
    for (int k = 0; k < count; ++k) {
        std::int16_t row[2 + 2 * kCircuitLanes];
        paddedRow(in, in.table + rows[k] * static_cast<std::int64_t>(in.columns), row);
        SampleContribution c;
        Currents y;
        double x[3];
        contributionOf(in, row, c, y, x);
        applyTo(u, c, sign);
        if (!in.hasSecondVoltage) continue;
        if (in.fundamental) {
            correlate(u.fundVS, u.fundVC, x, in.fundSine[k], in.fundCosine[k]);
            correlateLanes(u.fundIS, u.fundIC, y, in.fundSine[k], in.fundCosine[k]);
        }
        if (in.fifth) {
            correlate(u.fifthVS, u.fifthVC, x, in.fifthSine[k], in.fifthCosine[k]);
            correlateLanes(u.fifthIS, u.fifthIC, y, in.fifthSine[k], in.fifthCosine[k]);
        }
    }
}

__attribute__((target_clones("avx2", "default"))) void sampleContribution(const SampleInput& in, std::int64_t row,
                                                                          SampleContribution& contribution) {
    std::int16_t padded[2 + 2 * kCircuitLanes];
    paddedRow(in, in.table + row * static_cast<std::int64_t>(in.columns), padded);
    Currents y;
    double x[3];
    contributionOf(in, padded, contribution, y, x);
}

__attribute__((target_clones("avx2", "default"))) void applyContribution(IntervalSums& sums,
                                                                         const SampleContribution& contribution,
                                                                         double sign) {
    applyTo(sums, contribution, sign);
}

}  // namespace pqwave
