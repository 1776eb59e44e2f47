// Test signals of the kind the power-quality standards test with: a three-phase supply given by
// its line voltages U12, U23, U31 (they sum to zero) as functions of time, with harmonics and
// interharmonics of known size and phase, unbalance, magnitude changes of any depth and length
// on one, two or three voltages (dips, swells, interruptions, steps), an optional envelope
// (modulation), and current circuits; written into a recording as the V connection records it.
// The phasor functions give a test its truth straight from the signal's definition.
#pragma once

#include <array>
#include <complex>
#include <functional>
#include <string>
#include <vector>

#include "tools/recording_generator.h"

namespace pqwave::gen {

using Phasor = std::complex<double>;  // RMS phasor at t = 0

// A balanced set of tones at `order` times the supply frequency (not whole: an interharmonic):
// U12 (or I1) carries `percent` % of the steady fundamental with `phaseDegrees` at t = 0, U23
// and U31 (I2, I3) follow 120 degrees apart, positive sequence (`sequence` 1) or negative (-1).
struct SupplyTone {
    double order = 5;
    double percent = 0;
    double phaseDegrees = 0;
    int sequence = 1;
};

// From `startSeconds` for `durationSeconds` the fundamental line voltages take these fractions
// of their steady magnitudes (the three must form a triangle); tones scale with their voltage.
struct VoltageChange {
    double startSeconds = 0;
    double durationSeconds = 0;
    std::array<double, 3> factors{1, 1, 1};  // U12, U23, U31
};

struct SupplyCircuit {
    double amps = 100;              // RMS of each phase current's fundamental, primary
    double lagDegrees = 0;          // behind its phase voltage of the star the line voltages span
    double clampAmps = 200;         // the clamp gives 0.2 V at this current
    std::vector<SupplyTone> tones;  // in % of `amps`, relative to phase 1's fundamental
};

struct PqSupply {
    double lineVolts = 100;  // RMS of the steady fundamental line voltage (positive sequence), primary
    double frequency = 50;
    double unbalancePercent = 0;  // negative sequence in % of the positive
    double unbalanceDegrees = 0;  // its angle against the positive sequence at t = 0
    std::vector<SupplyTone> tones;
    std::vector<VoltageChange> changes;
    std::function<double(double seconds)> envelope;  // when set, multiplies every voltage
    std::vector<SupplyCircuit> circuits;
};

// Fundamental line-voltage phasors U12, U23, U31: steady, and with a change's factors.
std::array<Phasor, 3> steadyLinePhasors(const PqSupply& supply);
std::array<Phasor, 3> changedLinePhasors(const PqSupply& supply, const std::array<double, 3>& factors);
// Fundamental phase-current phasors I1, I2, I3 of a circuit.
std::array<Phasor, 3> circuitPhasors(const PqSupply& supply, int circuit);

struct LineVoltageSet {
    std::function<double(double seconds)> u12, u23;  // primary volts
    double u31(double seconds) const { return -(u12(seconds) + u23(seconds)); }
};
LineVoltageSet lineVoltagesOf(const PqSupply& supply);

struct PqChannelRanges {
    double ptRatio = 1;  // the recorder sees the primary voltages divided by it
    std::string voltageRange = "100V";
    std::string currentRange = "500mV";
};

// ch1 = U12 / PT ratio (u-v), ch2 = -U23 / PT ratio (w-v).
std::vector<ChannelSpec> lineVoltageChannels(const LineVoltageSet& voltages, const PqChannelRanges& ranges);
// Those two, then I1 and I3 of every circuit through its clamp.
std::vector<ChannelSpec> pqChannels(const PqSupply& supply, const PqChannelRanges& ranges);

}  // namespace pqwave::gen
