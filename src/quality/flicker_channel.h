// One voltage through the flickermeter: samples in volts at the recording's rate go in, and
// about 100 times a second a tick comes out with the instantaneous flicker sensation Pinst
// (1 = the perceptibility threshold) and the voltage's RMS envelope in volts, from which
// delta V10 is drawn.
//
// The voltage is squared (the demodulator) and averaged down to about 1 kHz at once, so the
// 35 Hz low-pass, the voltage scaling by its 1-minute mean square, the 0.05 Hz high-pass, the
// lamp-eye weighting, the second squaring and the 300 ms mean all run at that rate whatever
// the recording's rate. The chain starts in the steady state of the first two cycles'
// mean square; its output settles within a few seconds (see kFlickerSettleSeconds).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "quality/flicker_filters.h"

namespace pqwave {

struct FlickerTick {
    double pinst = 0;
    double envelopeVolts = 0;  // RMS of the voltage, low-passed at 35 Hz
};

// How long after the first sample the ticks stop showing the chain's start.
inline constexpr double kFlickerSettleSeconds = 5;

class FlickerChannel {
public:
    // Refuses (Error, NotAvailable) a sampling rate below minimumSamplingHz(nominalHz).
    FlickerChannel(double samplingHz, double nominalHz, FlickerLamp lamp);

    // Appends the ticks that these samples complete.
    void process(std::span<const float> volts, std::vector<FlickerTick>& ticks);

    double tickHz() const { return decimatedHz_ / tickFactor_; }
    // Seconds from the first sample to the newest sample that tick n (0, 1, ...) has seen.
    double tickSeconds(std::int64_t tick) const;
    // How the envelope passes a fluctuation of the RMS voltage at `hz` (decimation and
    // low-passes), so a spectrum of the envelope can be read back to the voltage's own.
    double envelopeGain(double hz) const;

    static double minimumSamplingHz(double nominalHz) { return 16 * nominalHz; }
    // The output of the smoothing stage that a 0.250 % sinusoidal fluctuation at 8.8 Hz gives
    // at its maximum through the 230 V lamp's weighting: Pinst = 1 there, for either lamp.
    static double pinstUnit();

private:
    static double checkedSamplingHz(double samplingHz, double nominalHz);
    void demodulated(double meanSquare, std::vector<FlickerTick>& ticks);
    void start(std::vector<FlickerTick>& ticks);
    void weigh(double meanSquare, std::vector<FlickerTick>& ticks);

    double samplingHz_;
    int factor_;  // input samples per decimated sample
    double decimatedHz_;
    int tickFactor_;  // decimated samples per tick
    double pinstUnit_;

    // Triangular averaging over two blocks of factor_ samples: it suppresses what would
    // fold onto the flicker band around multiples of the decimated rate.
    std::vector<double> risingWeight_, fallingWeight_;
    double weightScale_;
    double current_ = 0, next_ = 0;
    int phase_ = 0;
    std::int64_t blocks_ = 0;

    std::size_t startSamples_;
    std::vector<double> startBuffer_;
    bool started_ = false;

    Cascade lowPass_, highPass_, lampEye_, smoothing_, envelopeLowPass_;
    double normaliserAlpha_;
    double meanSquare_ = 0;
    int tickPhase_ = 0;
};

}  // namespace pqwave
