// The power-quality signals of a loaded V-connection recording: U12 = ch1 (u-v), U23 = -ch2
// (v-w), U31 = ch2 - ch1 (w-u) in primary volts (code x range per division / counts per division
// x PT ratio), and each circuit c's phase currents from columns 2c+2 (I1) and 2c+3 (I3) in
// primary amperes (clamp rating / 0.2 V), with the circuit's polarity inversion and star-delta
// transform applied as the interval analysis applies them, and I2 = -(I1 + I3).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "input/recording_view.h"
#include "power/wiring.h"
#include "quality/pq_types.h"

namespace pqwave {

// Two voltage columns and seven column pairs fill the sixteen columns a recording can hold.
inline constexpr int kPqMaxCircuits = kMaxCircuits;

struct RecordingScaling {
    std::string fileName;          // named in every message
    std::int64_t sampleCount = 0;  // samples per channel; the loaded table holds one row more
    double samplingHz = 0;
    double countsPerDivision = 0;
    double ptRatio = 1;
    std::vector<double> clampAmps;  // circuit c on columns 2c+2 and 2c+3: amperes per 0.2 V
    Wiring wiring;                  // polarity and star-delta transform of each circuit
};

class RecordingSignals : public PqSignalSource {
public:
    // Refuses, naming the file, a recording without the two voltage channels, circuits beyond
    // its columns, and scales that are zero or not finite. Keeps a reference to the table.
    RecordingSignals(const RecordingView& recording, RecordingScaling scaling);

    std::int64_t sampleCount() const override { return scaling_.sampleCount; }
    double samplingHz() const override { return scaling_.samplingHz; }
    int circuits() const override { return static_cast<int>(scaling_.clampAmps.size()); }
    void read(std::int64_t first, std::size_t count, std::span<float* const> out) const override;

private:
    struct CircuitScale {
        double ampsU = 0, ampsW = 0;                         // per code, polarity included
        std::array<double, 3> newA{1, 0, 0}, newB{0, 1, 0};  // the transform's rows over (a, b, a + b)
    };

    const RawSampleTable& table_;
    RecordingScaling scaling_;
    double voltsCh1_ = 0, voltsCh2_ = 0;  // per code
    std::vector<CircuitScale> circuitScales_;
};

}  // namespace pqwave
