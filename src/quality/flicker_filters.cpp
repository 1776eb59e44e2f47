#include "quality/flicker_filters.h"

#include <cmath>
#include <numbers>

namespace pqwave {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

}  // namespace

std::complex<double> AnalogSection::response(double hz) const {
    const std::complex<double> s(0, kTwoPi * hz);
    return (b2 * s * s + b1 * s + b0) / (a2 * s * s + a1 * s + a0);
}

Biquad::Biquad(const AnalogSection& analog, double samplingHz, double matchHz) {
    // s = K (1 - 1/z) / (1 + 1/z); K chosen so that the digital response at matchHz is the
    // analogue one there.
    const double k = kTwoPi * matchHz / std::tan(std::numbers::pi * matchHz / samplingHz);
    const double k2 = k * k;
    const double n0 = analog.b2 * k2 + analog.b1 * k + analog.b0;
    const double n1 = 2 * (analog.b0 - analog.b2 * k2);
    const double n2 = analog.b2 * k2 - analog.b1 * k + analog.b0;
    const double d0 = analog.a2 * k2 + analog.a1 * k + analog.a0;
    const double d1 = 2 * (analog.a0 - analog.a2 * k2);
    const double d2 = analog.a2 * k2 - analog.a1 * k + analog.a0;
    b0_ = n0 / d0;
    b1_ = n1 / d0;
    b2_ = n2 / d0;
    a1_ = d1 / d0;
    a2_ = d2 / d0;
}

void Biquad::settle(double x) {
    const double y = x * (b0_ + b1_ + b2_) / (1 + a1_ + a2_);
    s1_ = y - b0_ * x;
    s2_ = b2_ * x - a2_ * y;
}

std::complex<double> Biquad::response(double hz, double samplingHz) const {
    const std::complex<double> z1 = std::polar(1.0, -kTwoPi * hz / samplingHz);
    return (b0_ + b1_ * z1 + b2_ * z1 * z1) / (1.0 + a1_ * z1 + a2_ * z1 * z1);
}

Cascade::Cascade(const std::vector<AnalogSection>& sections, double samplingHz, double matchHz)
    : samplingHz_(samplingHz) {
    for (const AnalogSection& section : sections) sections_.emplace_back(section, samplingHz, matchHz);
}

void Cascade::settle(double x) {
    for (Biquad& section : sections_) {
        section.settle(x);
        x = section.response(0, samplingHz_).real() * x;
    }
}

double Cascade::gain(double hz) const {
    std::complex<double> h = 1;
    for (const Biquad& section : sections_) h *= section.response(hz, samplingHz_);
    return std::abs(h);
}

std::vector<AnalogSection> butterworthLowPass(int order, double cornerHz) {
    const double w = kTwoPi * cornerHz;
    std::vector<AnalogSection> sections;
    for (int k = 1; k <= order / 2; ++k) {
        const double damping = std::sin((2 * k - 1) * std::numbers::pi / (2 * order));
        sections.push_back({0, 0, w * w, 1, 2 * damping * w, w * w});
    }
    return sections;
}

AnalogSection firstOrderHighPass(double cornerHz) {
    return {0, 1, 0, 0, 1, kTwoPi * cornerHz};
}

AnalogSection firstOrderLowPass(double timeConstantSeconds) {
    return {0, 0, 1, 0, timeConstantSeconds, 1};
}

FlickerLamp lampForSupply(double nominalHz) {
    return nominalHz > 55 ? FlickerLamp::Lamp120V : FlickerLamp::Lamp230V;
}

LampEyeModel lampEyeModel(FlickerLamp lamp) {
    if (lamp == FlickerLamp::Lamp120V) return {1.6357, 4.167375, 9.077169, 2.939902, 1.394468, 17.31512};
    return {1.74802, 4.05981, 9.15494, 2.27979, 1.22535, 21.9};
}

LampEyeModel lampEyeModel100V() {
    return {1.52067, 4.05217, 9.01508, 4.12991, 1.68945, 18.9417};
}

std::vector<AnalogSection> lampEyeSections(const LampEyeModel& m) {
    const double lambda = kTwoPi * m.lambdaHz, w1 = kTwoPi * m.w1Hz;
    const double w2 = kTwoPi * m.w2Hz, w3 = kTwoPi * m.w3Hz, w4 = kTwoPi * m.w4Hz;
    AnalogSection bandPass{0, m.k * w1, 0, 1, 2 * lambda, w1 * w1};
    AnalogSection leadLag{0, 1 / w2, 1, 1 / (w3 * w4), 1 / w3 + 1 / w4, 1};
    return {bandPass, leadLag};
}

double analogGain(const std::vector<AnalogSection>& sections, double hz) {
    std::complex<double> h = 1;
    for (const AnalogSection& section : sections) h *= section.response(hz);
    return std::abs(h);
}

}  // namespace pqwave
