#include "quality/flicker_channel.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <string>

#include "common/error.h"
#include "common/messages.h"
#include "common/textforms.h"

namespace pqwave {
namespace {

constexpr double kDecimatedHz = 1000;  // the chain's rate: at least this, below twice this
constexpr double kTickHz = 100;
// The demodulator's low-pass: 35 Hz on a 50 Hz supply, 42 Hz on a 60 Hz one, so that it
// passes a fluctuation at two thirds of the supply frequency alike on both.
constexpr double kLowPassPerSupplyHz = 0.7;
constexpr double kReferenceSupplyHz = 50;
constexpr int kLowPassOrder = 6;
constexpr double kHighPassHz = 0.05;
constexpr double kNormalisingSeconds = 60;
constexpr double kSmoothingSeconds = 0.3;
constexpr double kEnvelopeLowPassHz = 45;
constexpr int kEnvelopeLowPassOrder = 4;
// The reference fluctuation: Pinst = 1 at its maximum.
constexpr double kReferenceHz = 8.8;
constexpr double kReferenceRelativeChange = 0.0025;

}  // namespace

double FlickerChannel::pinstUnit() {
    // A relative fluctuation dV/V (peak to peak) of the RMS value makes the normalised mean
    // square swing by dV/V (peak); after weighting w, squaring and the 300 ms mean this is
    // (dV/V w)^2 / 2 with a ripple at twice the frequency that the mean passes by |G|.
    const double weighting =
        analogGain({firstOrderHighPass(kHighPassHz)}, kReferenceHz) *
        analogGain(butterworthLowPass(kLowPassOrder, kLowPassPerSupplyHz * kReferenceSupplyHz), kReferenceHz) *
        analogGain(lampEyeSections(lampEyeModel(FlickerLamp::Lamp230V)), kReferenceHz);
    const double amplitude = kReferenceRelativeChange * weighting;
    const double ripple = analogGain({firstOrderLowPass(kSmoothingSeconds)}, 2 * kReferenceHz);
    return amplitude * amplitude / 2 * (1 + ripple);
}

double FlickerChannel::checkedSamplingHz(double samplingHz, double nominalHz) {
    if (!(nominalHz > 0) || !(samplingHz >= minimumSamplingHz(nominalHz)))
        throw Error(ErrorKind::NotAvailable,
                    tr("flicker needs at least {0} samples per second at {1} Hz, the recording has {2}",
                       {formD(minimumSamplingHz(nominalHz)), formD(nominalHz), formD(samplingHz)}));
    return samplingHz;
}

FlickerChannel::FlickerChannel(double samplingHz, double nominalHz, FlickerLamp lamp)
    : samplingHz_(checkedSamplingHz(samplingHz, nominalHz)),
      factor_(std::max(1, static_cast<int>(std::floor(samplingHz / kDecimatedHz)))),
      decimatedHz_(samplingHz / factor_),
      tickFactor_(std::max(1, static_cast<int>(std::floor(decimatedHz_ / kTickHz)))),
      pinstUnit_(pinstUnit()),
      weightScale_(1.0 / (static_cast<double>(factor_) * factor_)),
      startSamples_(static_cast<std::size_t>(std::ceil(2 * decimatedHz_ / nominalHz))),
      normaliserAlpha_(1 - std::exp(-1 / (decimatedHz_ * kNormalisingSeconds))) {
    for (int i = 0; i < factor_; ++i) {
        risingWeight_.push_back(i + 1);
        fallingWeight_.push_back(factor_ - 1 - i);
    }
    const double lowPassHz = kLowPassPerSupplyHz * nominalHz;
    lowPass_ = Cascade(butterworthLowPass(kLowPassOrder, lowPassHz), decimatedHz_, lowPassHz);
    highPass_ = Cascade({firstOrderHighPass(kHighPassHz)}, decimatedHz_, kHighPassHz);
    lampEye_ = Cascade(lampEyeSections(lampEyeModel(lamp)), decimatedHz_, kReferenceHz);
    smoothing_ = Cascade({firstOrderLowPass(kSmoothingSeconds)}, decimatedHz_, 2 * kReferenceHz);
    envelopeLowPass_ =
        Cascade(butterworthLowPass(kEnvelopeLowPassOrder, kEnvelopeLowPassHz), decimatedHz_, kEnvelopeLowPassHz);
    startBuffer_.reserve(startSamples_);
}

void FlickerChannel::process(std::span<const float> volts, std::vector<FlickerTick>& ticks) {
    for (float v : volts) {
        const double square = static_cast<double>(v) * v;
        current_ += fallingWeight_[phase_] * square;
        next_ += risingWeight_[phase_] * square;
        if (++phase_ < factor_) continue;
        phase_ = 0;
        // The first block has no block before it, so its average would be short.
        if (blocks_++ > 0) demodulated(current_ * weightScale_, ticks);
        current_ = next_;
        next_ = 0;
    }
}

void FlickerChannel::demodulated(double meanSquare, std::vector<FlickerTick>& ticks) {
    if (started_) return weigh(meanSquare, ticks);
    startBuffer_.push_back(meanSquare);
    if (startBuffer_.size() >= startSamples_) start(ticks);
}

void FlickerChannel::start(std::vector<FlickerTick>& ticks) {
    const double mean = std::accumulate(startBuffer_.begin(), startBuffer_.end(), 0.0) / startBuffer_.size();
    lowPass_.settle(mean);
    meanSquare_ = mean;
    highPass_.settle(1);
    lampEye_.settle(0);
    smoothing_.settle(0);
    envelopeLowPass_.settle(std::sqrt(std::max(mean, 0.0)));
    started_ = true;
    for (double value : startBuffer_) weigh(value, ticks);
    startBuffer_ = {};
}

void FlickerChannel::weigh(double meanSquare, std::vector<FlickerTick>& ticks) {
    const double filtered = lowPass_.step(meanSquare);
    meanSquare_ += normaliserAlpha_ * (filtered - meanSquare_);
    // A dead voltage has no relative fluctuation to weigh.
    const double normalised = meanSquare_ > 0 ? filtered / meanSquare_ : 1;
    const double weighted = lampEye_.step(highPass_.step(normalised));
    const double sensation = smoothing_.step(weighted * weighted);
    const double envelope = envelopeLowPass_.step(std::sqrt(std::max(filtered, 0.0)));
    if (++tickPhase_ < tickFactor_) return;
    tickPhase_ = 0;
    ticks.push_back({sensation / pinstUnit_, envelope});
}

double FlickerChannel::tickSeconds(std::int64_t tick) const {
    // Tick n is decimated sample j = (n + 1) tickFactor - 1, made as block j + 1 ends (the
    // first block makes none).
    const double lastSample = ((tick + 1) * static_cast<double>(tickFactor_) + 1) * factor_ - 1;
    return lastSample / samplingHz_;
}

double FlickerChannel::envelopeGain(double hz) const {
    const double x = std::numbers::pi * hz / samplingHz_;
    const double boxcar = factor_ == 1 || x == 0 ? 1 : std::sin(factor_ * x) / (factor_ * std::sin(x));
    return boxcar * boxcar * lowPass_.gain(hz) * envelopeLowPass_.gain(hz);
}

}  // namespace pqwave
