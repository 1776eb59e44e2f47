// Fundamental and 5th-harmonic analysis: single-bin correlations of each output interval
// against reference sine and cosine tables built for the nominal supply frequency. They are
// exact when the interval spans whole periods (at 50 Hz the default 20 ms is one period).
// The reference tables use 3.14159 for pi, as the instruments' own software does.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace pqwave {

inline constexpr double kReferencePi = 3.14159;

// Row 0 the fundamental, row 1 the 5th harmonic; column k is the position in the interval.
void fillReferenceTable(std::vector<std::vector<double>>& sine, std::vector<std::vector<double>>& cosine, int row,
                        int harmonic, double supplyFrequency, double samplingFrequency, int lastPosition);

// Correlation sums of one interval for three signals.
struct Correlation {
    std::array<float, 3> sine{};
    std::array<float, 3> cosine{};
};

// The mean of the three RMS values of a three-phase set: (A0 + A1 + A2) x sqrt 2 / 3 with
// A = sqrt((S/N)^2 + (C/N)^2), rounded to single.
float threePhaseRms(const Correlation& c, double samplesPerInterval);

// Phase-angle indicator of the 5th-harmonic current against the voltage, in whole degrees
// from -180 to 179, from the correlations of V1 with a and V2 with b.
std::int16_t fifthHarmonicPhase(const Correlation& voltage, const Correlation& current);

}  // namespace pqwave
