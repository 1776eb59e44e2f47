// The recursive filters of the flickermeter: second-order sections designed from their
// analogue transfer functions by the bilinear transform (prewarped at the frequency that
// matters most), and the lamp-eye weighting of the 230 V and 120 V 60 W reference lamps.
// Every filter can start in the steady state of a constant input, so that a recording's first
// samples do not ring through the chain.
#pragma once

#include <complex>
#include <vector>

namespace pqwave {

// (b2 s^2 + b1 s + b0) / (a2 s^2 + a1 s + a0); a first-order factor has b2 = a2 = 0.
struct AnalogSection {
    double b2 = 0, b1 = 0, b0 = 1;
    double a2 = 0, a1 = 0, a0 = 1;
    std::complex<double> response(double hz) const;
};

// y = b0 x + s1; s1 = b1 x - a1 y + s2; s2 = b2 x - a2 y (transposed direct form II).
class Biquad {
public:
    Biquad() = default;
    // The bilinear transform of `analog` at `samplingHz`, exact at `matchHz`.
    Biquad(const AnalogSection& analog, double samplingHz, double matchHz);

    double step(double x) {
        double y = b0_ * x + s1_;
        s1_ = b1_ * x - a1_ * y + s2_;
        s2_ = b2_ * x - a2_ * y;
        return y;
    }
    // Puts the state where a constant input x would have left it.
    void settle(double x);
    std::complex<double> response(double hz, double samplingHz) const;

private:
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double s1_ = 0, s2_ = 0;
};

class Cascade {
public:
    Cascade() = default;
    Cascade(const std::vector<AnalogSection>& sections, double samplingHz, double matchHz);

    double step(double x) {
        for (Biquad& section : sections_) x = section.step(x);
        return x;
    }
    void settle(double x);
    double gain(double hz) const;  // magnitude of the digital response

private:
    std::vector<Biquad> sections_;
    double samplingHz_ = 1;
};

// A Butterworth low-pass of even order as second-order sections.
std::vector<AnalogSection> butterworthLowPass(int order, double cornerHz);
// First-order high-pass s / (s + w).
AnalogSection firstOrderHighPass(double cornerHz);
// First-order low-pass 1 / (1 + s tau).
AnalogSection firstOrderLowPass(double timeConstantSeconds);

// The reference lamp whose light the flickermeter's weighting follows.
enum class FlickerLamp { Lamp230V, Lamp120V };
// The lamp of the supply: 230 V at 50 Hz, 120 V at 60 Hz.
FlickerLamp lampForSupply(double nominalHz);

// K w1 s / (s^2 + 2 lambda s + w1^2) x (1 + s/w2) / ((1 + s/w3)(1 + s/w4)), frequencies in Hz.
struct LampEyeModel {
    double k, lambdaHz, w1Hz, w2Hz, w3Hz, w4Hz;
};
LampEyeModel lampEyeModel(FlickerLamp lamp);
// The 100 V lamp, from which the default visibility curve of delta V10 is drawn.
LampEyeModel lampEyeModel100V();
std::vector<AnalogSection> lampEyeSections(const LampEyeModel& model);
double analogGain(const std::vector<AnalogSection>& sections, double hz);

}  // namespace pqwave
