// The V/I/P/Q-data FFT (VIPQFFT処理) of a three-phase recording wired in V connection: per bin,
// the mean line-voltage spectrum (RMS, V x PT), the spectrum of the instantaneous three-phase
// RMS voltage, and per circuit the mean phase-current spectrum (RMS, A) and the spectra of the
// instantaneous RMS current (A), active power (kW) and reactive power (kvar), these four peak.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "common/progress.h"
#include "common/text_output_file.h"
#include "input/sample_table.h"
#include "power/wiring.h"

namespace pqwave {

struct VipqFftSettings {
    std::string fileName;  // the recording, named in messages
    double sampleCount = 0;
    double countsPerDivision = 0;  // V_Div
    double samplingFrequency = 0;  // Hz, labels the bins
    int lastColumn = 0;            // LastActiveChannel; circuit c takes columns 2c+2 and 2c+3
    std::array<float, 16> channelScale{};
    double ptRatio = 0;                            // Text7(0)
    std::array<double, kMaxCircuits> clampAmps{};  // Text7(c+1): amperes at 0.2 V
    Wiring wiring;                                 // the reverse rotation changes the sign of Q
};

// The circuits of a recording whose highest column is `lastColumn`: (lastColumn - 2) / 2 + 1,
// at most 7, none below column 1.
int vipqCircuits(int lastColumn);

// The instantaneous series: voltage (V), and per circuit current (A), active (kW) and reactive
// (kvar) power, for samples 0..N-1.
struct VipqSeries {
    std::size_t N = 0;
    int circuits = 0;
    std::vector<float> voltage;
    std::vector<std::vector<float>> current, active, reactive;  // [circuit][sample]
};
VipqSeries vipqSeries(const VipqFftSettings& settings, const RawSampleTable& table, std::size_t n);

// Columns 0 "V" and 1 "3VRms", then per circuit c: 4c+2 current, 4c+3 RMS current, 4c+4 active
// and 4c+5 reactive power.
struct VipqSpectrum {
    std::size_t N = 1;
    std::size_t columns = 2;
    std::vector<float> values;  // [bin * columns + column]
    std::size_t bins() const { return N / 2 + 1; }
    float at(std::size_t bin, std::size_t column) const { return values[bin * columns + column]; }
};
VipqSpectrum vipqSpectrum(const VipqFftSettings& settings, const RawSampleTable& table, Progress& progress);

// The header "Hz,V,3VRms,I1,3IRms,P1,Q1,..." and one line per bin.
void writeVipqSpectrum(const VipqFftSettings& settings, const VipqSpectrum& spectrum, TextOutputFile& file,
                       Progress& progress);

}  // namespace pqwave
