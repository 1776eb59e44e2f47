#include "power/phase_sequence.h"

#include <algorithm>

namespace pqwave {
namespace {

// Stores a value only when it could be computed; otherwise the old one stays.
void assignFinite(double& target, double value) {
    if (std::isfinite(value)) target = value;
}

}  // namespace

float cycleSamplesOf(double samplesPerDivision, double supplyHz, double timePerDivision, double timeUnitFactor) {
    const double samples =
        Int(samplesPerDivision * (1000.0 / supplyHz / timePerDivision) * timeUnitFactor + 0.5) / 1000;
    // A time axis of 0 gives no cycle rather than a division by zero.
    return std::isfinite(samples) && samples > 0 && samples < 1e9 ? static_cast<float>(samples) : 0.0f;
}

CycleReference cycleReference(float cycleSamples, std::size_t tableRows) {
    const double positions = std::min<double>(roundHalfEven(cycleSamples), static_cast<double>(tableRows));
    CycleReference reference;
    reference.sine.assign(static_cast<std::size_t>(positions) + 1, 0.0);
    reference.cosine.assign(reference.sine.size(), 0.0);
    const double last = roundHalfEven(static_cast<double>(cycleSamples) - 1);
    for (int i = 0; i <= last && i < static_cast<int>(reference.sine.size()); ++i) {
        reference.sine[i] = std::sin(i * 6.28318 / cycleSamples);
        reference.cosine[i] = std::cos(i * 6.28318 / cycleSamples);
    }
    return reference;
}

std::optional<Rotation> LineVoltageCycle::rotation() const {
    if (!measured) return std::nullopt;
    return sequence < 0 ? Rotation::Reverse : Rotation::Forward;
}

LineVoltageCycle lineVoltageCycle(const CycleSource& source, float cycleSamples, std::span<const double> sine,
                                  std::span<const double> cosine, std::int64_t cycle) {
    LineVoltageCycle out;
    double lineSq[3] = {0, 0, 0}, vSine[2] = {0, 0}, vCosine[2] = {0, 0};
    const bool secondVoltage = source.columns > 1;
    const auto& scale = source.channelScale;
    forEachCycleSample(source, cycleSamples, sine.size(), cycle, [&](int k, const std::int16_t* cells) {
        out.measured = true;
        const float ua = cells[0] * scale[0];
        const float ub = secondVoltage ? cells[1] * scale[1] : 0.0f;
        lineSq[0] += double{ua} * ua;
        lineSq[1] += double{ub} * ub;
        lineSq[2] += double(ua - ub) * (ua - ub);
        vSine[0] += ua * sine[k];
        vCosine[0] += ua * cosine[k];
        vSine[1] += ub * sine[k];
        vCosine[1] += ub * cosine[k];
    });
    if (!out.measured) return out;

    const double cs = cycleSamples;
    for (int n = 0; n < 3; ++n) out.meanSquares[n] = lineSq[n] / cs;
    // Normalised by the mean range of the two columns, so that the phasors of channels on
    // different ranges compare.
    const double voltageRange = double{scale[0]} + scale[1];
    for (int n = 0; n < 2; ++n) {
        assignFinite(out.phasors[n].e, 2 * (vSine[n] / cs) / voltageRange);
        assignFinite(out.phasors[n].c, 2 * (vCosine[n] / cs) / voltageRange);
    }
    const Phasor& v0 = out.phasors[0];
    const Phasor& v1 = out.phasors[1];
    out.sequence = static_cast<float>(v0.e * v1.c - v0.c * v1.e);
    return out;
}

std::optional<Rotation> phaseSequence(const CycleSource& source, float cycleSamples) {
    const CycleReference reference = cycleReference(cycleSamples, source.table.rows());
    return lineVoltageCycle(source, cycleSamples, reference.sine, reference.cosine, 0).rotation();
}

CycleSource cycleSourceOf(const Recording& r) {
    const double count = std::min(std::max(r.facts.sampleCount, 0.0), 1e15);
    const std::size_t rows = std::min(r.table.rows(), static_cast<std::size_t>(count));
    const int analog = std::max(r.facts.channelCount(), 0) * (r.facts.rms() ? 2 : 1);
    return {r.table, r.channelScale, rows, std::min(r.table.columns(), static_cast<std::size_t>(analog))};
}

float cycleSamplesOf(const RecordingFacts& f, double supplyHz) {
    return cycleSamplesOf(f.samplesPerDivision, supplyHz, f.timePerDivision, f.timeUnitFactor);
}

std::optional<Rotation> phaseSequenceOf(const Recording& recording, double supplyHz) {
    return phaseSequence(cycleSourceOf(recording), cycleSamplesOf(recording.facts, supplyHz));
}

}  // namespace pqwave
