// delta V10, the equivalent 10 Hz flicker voltage the Japanese supply rules quote: the RMS
// voltage's fluctuation over one minute, split into its spectrum dU_f (RMS volts of the
// component at f), each weighted by the visibility coefficient a_f (1 at 10 Hz), and added as
// root-sum-square; then put on a 100 V base by the minute's mean RMS voltage U:
//     delta V10 = 100 / U x sqrt(sum over f of (a_f dU_f)^2)      [V]
// from 0.05 Hz to 30 Hz. A 10 Hz sinusoidal fluctuation of 1 V RMS on a 100 V supply gives 1 V.
//
// The visibility curve: the published tables of a_f were not found in public sources, so the
// default curve is |H(f)| / |H(10 Hz)| of the lamp-eye weighting of the 100 V, 60 W lamp
// (k = 1.52067, lambda = 2 pi 4.05217, w1 = 2 pi 9.01508, w2 = 2 pi 4.12991, w3 = 2 pi 1.68945,
// w4 = 2 pi 18.9417, as the HIOKI 3196 manual lists them for its 100 V lamp flickermeter):
// the response of the Japanese 100 V incandescent lamp and eye, which is what the visibility
// curve describes. It is 1 at 10 Hz but peaks at 1.07 near 8.5 Hz. A table of (Hz, a) points
// replaces it where the official curve is at hand.
#pragma once

#include <functional>
#include <span>
#include <utility>
#include <vector>

#include "quality/delta_v10_spectrum.h"

namespace pqwave {

inline constexpr double kDeltaV10LowestHz = 0.05;
inline constexpr double kDeltaV10HighestHz = 30;
inline constexpr double kDeltaV10BaseVolts = 100;

class VisibilityCurve {
public:
    VisibilityCurve();  // the 100 V lamp's weighting, 1 at 10 Hz
    // Points (Hz, a_f) in rising frequency, joined linearly over log f; 0 outside them.
    explicit VisibilityCurve(std::vector<std::pair<double, double>> points);
    double at(double hz) const;

private:
    std::vector<std::pair<double, double>> points_;  // empty: the lamp model
    double modelAtTenHz_ = 1;
};

class DeltaV10Meter {
public:
    // `envelopeGain` says how the envelope values passed a fluctuation of the RMS voltage at
    // each frequency, so that the spectrum is read back to the voltage's own.
    DeltaV10Meter(double sampleHz, std::function<double(double)> envelopeGain, VisibilityCurve curve = {});
    // delta V10 of one minute of RMS envelope values in volts; NaN without values or voltage.
    double ofMinute(std::span<const double> envelopeVolts);

private:
    void weighBins();

    double sampleHz_;
    std::function<double(double)> envelopeGain_;
    VisibilityCurve curve_;
    FluctuationSpectrum spectrum_;
    std::vector<double> binWeights_;  // (a_f / gain)^2 per bin of the current transform size
};

// The hourly figures of the per-minute values (NaN minutes left out): the largest, the
// fourth largest (NaN with fewer than four minutes) and the mean.
struct DeltaV10Summary {
    double maximum = 0, fourthLargest = 0, mean = 0;
    int minutes = 0;
};
DeltaV10Summary summariseDeltaV10(std::span<const double> minuteValues);

}  // namespace pqwave
