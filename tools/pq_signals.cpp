#include "tools/pq_signals.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "common/messages.h"

namespace pqwave::gen {
namespace {

constexpr double kPi = std::numbers::pi;
const Phasor kA = std::polar(1.0, 2 * kPi / 3);  // the 120-degree operator

double radians(double degrees) {
    return degrees * kPi / 180;
}

// The three members of a balanced set whose first member is `first`.
std::array<Phasor, 3> balancedSet(Phasor first, int sequence) {
    const Phasor step = sequence >= 0 ? kA * kA : kA;  // positive sequence: each lags by 120 degrees
    return {first, first * step, first * step * step};
}

// The instantaneous value of RMS phasor p rotating at `hertz`.
double instantaneous(Phasor p, double hertz, double seconds) {
    return std::sqrt(2.0) * std::real(p * std::polar(1.0, 2 * kPi * hertz * seconds));
}

double toneValue(const std::vector<SupplyTone>& tones, double baseRms, double frequency, int member, double seconds) {
    double value = 0;
    for (const SupplyTone& t : tones) {
        const Phasor first = std::polar(baseRms * t.percent / 100, radians(t.phaseDegrees));
        value += instantaneous(balancedSet(first, t.sequence)[member], t.order * frequency, seconds);
    }
    return value;
}

const VoltageChange* changeAt(const PqSupply& supply, double seconds) {
    for (const VoltageChange& c : supply.changes)
        if (seconds >= c.startSeconds && seconds < c.startSeconds + c.durationSeconds) return &c;
    return nullptr;
}

// Line voltage `line` (0 U12, 1 U23) at time t.
double lineValue(const PqSupply& supply, const std::array<Phasor, 3>& steady, int line, double seconds) {
    const VoltageChange* change = changeAt(supply, seconds);
    const Phasor fundamental = change ? changedLinePhasors(supply, change->factors)[line] : steady[line];
    const double factor = change ? change->factors[line] : 1;
    double value = instantaneous(fundamental, supply.frequency, seconds) +
                   factor * toneValue(supply.tones, supply.lineVolts, supply.frequency, line, seconds);
    if (supply.envelope) value *= supply.envelope(seconds);
    return value;
}

}  // namespace

std::array<Phasor, 3> steadyLinePhasors(const PqSupply& supply) {
    const auto positive = balancedSet(supply.lineVolts, 1);
    const auto negative =
        balancedSet(std::polar(supply.lineVolts * supply.unbalancePercent / 100, radians(supply.unbalanceDegrees)), -1);
    return {positive[0] + negative[0], positive[1] + negative[1], positive[2] + negative[2]};
}

std::array<Phasor, 3> changedLinePhasors(const PqSupply& supply, const std::array<double, 3>& factors) {
    const auto steady = steadyLinePhasors(supply);
    const double a = std::abs(steady[0]) * factors[0], b = std::abs(steady[1]) * factors[1],
                 c = std::abs(steady[2]) * factors[2];
    const double slack = 1e-9 * (a + b + c);
    if (a > b + c + slack || b > a + c + slack || c > a + b + slack)
        throw std::invalid_argument(tr("voltage change: line voltages {0}, {1}, {2} V do not form a triangle",
                                       {std::to_string(a), std::to_string(b), std::to_string(c)}));
    if (a == 0 && b == 0) return {0.0, 0.0, 0.0};
    // U12 keeps its angle; U23 turns from it by the outer angle between the sides a and b, so
    // U12 + U23 + U31 = 0 with |U31| = c.
    const double along = a == 0 ? std::arg(steady[1]) : std::arg(steady[0]);
    if (a == 0) return {0.0, std::polar(b, along), -std::polar(b, along)};
    if (b == 0) return {std::polar(a, along), 0.0, -std::polar(a, along)};
    const double inner = std::acos(std::clamp((a * a + b * b - c * c) / (2 * a * b), -1.0, 1.0));
    const Phasor u12 = std::polar(a, along), u23 = std::polar(b, along - (kPi - inner));
    return {u12, u23, -(u12 + u23)};
}

std::array<Phasor, 3> circuitPhasors(const PqSupply& supply, int circuit) {
    const SupplyCircuit& c = supply.circuits.at(static_cast<std::size_t>(circuit));
    // Phase 1's star voltage lags U12 by 30 degrees.
    const double angle = std::arg(balancedSet(supply.lineVolts, 1)[0]) - radians(30) - radians(c.lagDegrees);
    return balancedSet(std::polar(c.amps, angle), 1);
}

LineVoltageSet lineVoltagesOf(const PqSupply& supply) {
    const auto steady = steadyLinePhasors(supply);
    return {[supply, steady](double t) { return lineValue(supply, steady, 0, t); },
            [supply, steady](double t) { return lineValue(supply, steady, 1, t); }};
}

std::vector<ChannelSpec> lineVoltageChannels(const LineVoltageSet& voltages, const PqChannelRanges& ranges) {
    std::vector<ChannelSpec> channels(2);
    const double pt = ranges.ptRatio;
    channels[0].range = channels[1].range = ranges.voltageRange;
    channels[0].wave.signal = [u12 = voltages.u12, pt](double t) { return u12(t) / pt; };
    channels[1].wave.signal = [u23 = voltages.u23, pt](double t) { return -u23(t) / pt; };
    return channels;
}

std::vector<ChannelSpec> pqChannels(const PqSupply& supply, const PqChannelRanges& ranges) {
    std::vector<ChannelSpec> channels = lineVoltageChannels(lineVoltagesOf(supply), ranges);
    for (std::size_t c = 0; c < supply.circuits.size(); ++c) {
        const SupplyCircuit& circuit = supply.circuits[c];
        const auto phasors = circuitPhasors(supply, static_cast<int>(c));
        const double voltsPerAmp = 0.2 / circuit.clampAmps;
        for (int member : {0, 2}) {  // I1 on the first channel of the pair, I3 on the second
            ChannelSpec channel;
            channel.range = ranges.currentRange;
            std::vector<SupplyTone> tones = circuit.tones;
            for (SupplyTone& t : tones) t.phaseDegrees += std::arg(phasors[0]) * 180 / kPi;
            const double frequency = supply.frequency, amps = circuit.amps;
            channel.wave.signal = [=, p = phasors[member]](double t) {
                return voltsPerAmp * (instantaneous(p, frequency, t) + toneValue(tones, amps, frequency, member, t));
            };
            channels.push_back(channel);
        }
    }
    return channels;
}

}  // namespace pqwave::gen
