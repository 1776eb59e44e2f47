#include "power/interval_sums.h"

#include <algorithm>
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

inline void currentsOf(const SampleInput& in, const std::int16_t (&row)[2 + 2 * kCircuitLanes], Currents& out) {
    for (int c = 0; c < kCircuitLanes; ++c) {
        out.a[c] = currentU(in, row, c);
        out.b[c] = currentW(in, row, c);
        out.t[c] = out.a[c] + out.b[c];
    }
    if (!in.anyTransform) return;
    for (int c = 0; c < kCircuitLanes; ++c) applyStarDeltaTerms(in.starDelta[c], out.a[c], out.b[c], out.t[c]);
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
    SampleInput in;
    in.table = recording.table.row(0);
    in.columns = recording.table.columns();
    in.scaleV1 = recording.channelScale[0];
    in.scaleV2 = recording.channelScale[1];
    in.hasSecondVoltage = hasSecondVoltage;
    in.circuits = s.circuits;
    for (int c = 0; c < kCircuitLanes; ++c) {
        in.polarity[c] = 1;
        if (c >= s.circuits) continue;
        const CircuitWiring& wiring = s.wiring.circuits[c];
        in.scaleA[c] = recording.channelScale[2 * c + 2];
        in.scaleB[c] = recording.channelScale[2 * c + 3];
        in.polarity[c] = wiring.polaritySign();
        in.starDelta[c] = starDeltaTerms(wiring.starDelta);
        in.anyTransform = in.anyTransform || wiring.starDelta != StarDelta::None;
    }
    in.fundamental = s.fundamental;
    in.fifth = s.fifth;
    return in;
}

Current circuitCurrent(const SampleInput& in, const std::int16_t* row, int circuit) {
    Current i{currentU(in, row, circuit), currentW(in, row, circuit), 0};
    i.t = i.a + i.b;
    if (in.anyTransform) applyStarDeltaTerms(in.starDelta[circuit], i.a, i.b, i.t);
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
    const PhaseVoltages<float> star = starPointVoltages<float>(d1, d2);
    const PhaseVoltages<double> phase{star.u, star.v, star.w};
    c.phaseSq[0] = phase.u * phase.u;
    c.phaseSq[1] = phase.v * phase.v;
    c.phaseSq[2] = phase.w * phase.w;
    x[1] = d2;
    x[2] = d12;

    currentsOf(in, row, y);
    for (int l = 0; l < kCircuitLanes; ++l) {
        const double a = y.a[l], b = y.b[l], t = y.t[l];
        c.curSq[0][l] = a * a;
        c.curSq[2][l] = b * b;
        c.curSq[1][l] = t * t;
        const PhasePowers<double> powers = phasePowers(phase, d1, d2, d12, a, b, t);
        for (int k = 0; k < 3; ++k) {
            c.phaseP[k][l] = powers.p[k];
            c.phaseQ[k][l] = powers.q3[k];
        }
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
