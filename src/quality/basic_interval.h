// The values of one basic interval (10 cycles at 50 Hz, 12 at 60 Hz, of the measured
// fundamental): RMS of every signal; harmonic and interharmonic subgroups of the line voltages
// and of I1 and I3 of every circuit; THD; voltage unbalance; fundamental P, Q and power factor.
// The window is resampled to a power-of-two number of points spread evenly over exactly its
// cycles (cubic Lagrange interpolation between the recorded samples), so the DFT's bins fall on
// the harmonics whatever the frequency: bin N x h is harmonic h, bins are f/N apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "quality/real_fft.h"
#include "quality/sample_buffer.h"

namespace pqwave {

struct BasicValues {
    double startSeconds = 0, endSeconds = 0;
    std::vector<double> rms;         // every signal of the source
    std::vector<double> spectra;     // [quantity x kSpectrumValues + slot], RMS; NaN above the highest order
    std::vector<double> thdPercent;  // per spectrum quantity, orders 2..40 (THDS)
    double unbalancePercent = 0;     // negative / positive sequence of the fundamental line voltages
    struct Power {
        double watts = 0, vars = 0, powerFactor = 0;  // power factor NaN without power
    };
    std::vector<Power> power;  // per circuit
};

class BasicIntervalAnalysis {
public:
    BasicIntervalAnalysis(double samplingHz, double nominalHz, int circuits);

    int cyclesPerWindow() const { return cycles_; }
    // The highest harmonic order below half the sampling frequency (at the nominal frequency).
    int highestOrder() const { return highestOrder_; }

    // The window [startSeconds, endSeconds) must lie in the buffer (its edges clamp).
    void analyze(const SampleBuffer& buffer, double startSeconds, double endSeconds, BasicValues& out);

private:
    void placePoints(double startSeconds, double endSeconds);
    void resample(const SampleBuffer& buffer, int signal);
    void subgroups(int quantity, BasicValues& out);
    void sequenceAndPower(BasicValues& out) const;

    double samplingHz_;
    int circuits_;
    int cycles_;
    int highestOrder_;
    std::size_t points_;
    RealFft fft_;
    // Per point: the recorded sample before it and the four Lagrange weights of samples
    // i - 1 .. i + 2.
    std::vector<std::int64_t> index_;
    std::vector<double> weights_;
    std::vector<double> resampled_, re_, im_;
    std::vector<double> fundamentalRe_, fundamentalIm_;  // RMS phasor per spectrum quantity
};

}  // namespace pqwave
