#include "quality/basic_interval.h"

#include <cmath>
#include <complex>
#include <limits>

#include "quality/pq_result.h"

namespace pqwave {
namespace {

constexpr int kHighestThdOrder = 40;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::size_t powerOfTwoAtLeast(double n) {
    std::size_t p = 64;
    while (static_cast<double>(p) < n) p *= 2;
    return p;
}

// The spectrum quantity q's signal: U12, U23, U31, then I1 (3 + 3c) and I3 (5 + 3c).
int signalOf(int quantity) {
    if (quantity < kLineVoltages) return quantity;
    const int c = (quantity - kLineVoltages) / 2;
    return (quantity - kLineVoltages) % 2 == 0 ? 3 + 3 * c : 5 + 3 * c;
}

// Built for processors with AVX2 and for any x86-64, with the same results (no fused
// multiply-add).
__attribute__((target_clones("avx2", "default"))) void interpolate(const float* __restrict x, std::int64_t first,
                                                                   const std::int64_t* __restrict index,
                                                                   const double* __restrict weights, std::size_t points,
                                                                   double* __restrict out) {
    for (std::size_t m = 0; m < points; ++m) {
        const float* p = x + (index[m] - first) - 1;
        const double* w = weights + 4 * m;
        out[m] = w[0] * p[0] + w[1] * p[1] + w[2] * p[2] + w[3] * p[3];
    }
}

}  // namespace

BasicIntervalAnalysis::BasicIntervalAnalysis(double samplingHz, double nominalHz, int circuits)
    : samplingHz_(samplingHz),
      circuits_(circuits),
      cycles_(nominalHz == 60 ? 12 : 10),
      highestOrder_(std::min(kHighestHarmonic, static_cast<int>(std::ceil(samplingHz / 2 / nominalHz)) - 1)),
      // At least as many points as recorded samples, so resampling loses nothing the recording
      // holds, and room for the top subgroup's upper bin.
      points_(powerOfTwoAtLeast(std::max(cycles_ * samplingHz / nominalHz, 2.0 * (cycles_ * highestOrder_ + 2)))),
      fft_(points_) {
    index_.resize(points_);
    weights_.resize(4 * points_);
    resampled_.resize(points_);
    re_.resize(points_ / 2 + 1);
    im_.resize(points_ / 2 + 1);
    fundamentalRe_.resize(static_cast<std::size_t>(spectrumQuantities(circuits)));
    fundamentalIm_.resize(fundamentalRe_.size());
}

void BasicIntervalAnalysis::placePoints(double startSeconds, double endSeconds) {
    const double from = startSeconds * samplingHz_;
    const double step = (endSeconds - startSeconds) * samplingHz_ / static_cast<double>(points_);
    for (std::size_t m = 0; m < points_; ++m) {
        const double position = from + static_cast<double>(m) * step;
        const double floor = std::floor(position);
        const double u = position - floor;
        index_[m] = static_cast<std::int64_t>(floor);
        double* w = &weights_[4 * m];
        w[0] = -u * (u - 1) * (u - 2) / 6;
        w[1] = (u + 1) * (u - 1) * (u - 2) / 2;
        w[2] = -(u + 1) * u * (u - 2) / 2;
        w[3] = (u + 1) * u * (u - 1) / 6;
    }
}

void BasicIntervalAnalysis::resample(const SampleBuffer& buffer, int signal) {
    const std::int64_t base = buffer.first();
    const bool inside = index_.front() - 1 >= base && index_.back() + 2 < buffer.end();
    if (inside) {
        interpolate(buffer.signal(signal), base, index_.data(), weights_.data(), points_, resampled_.data());
        return;
    }
    for (std::size_t m = 0; m < points_; ++m) {
        const double* w = &weights_[4 * m];
        double y = 0;
        for (int k = 0; k < 4; ++k) y += w[k] * buffer.at(signal, index_[m] - 1 + k);
        resampled_[m] = y;
    }
}

void BasicIntervalAnalysis::subgroups(int quantity, BasicValues& out) {
    const std::size_t lastBin = static_cast<std::size_t>(cycles_ * highestOrder_ + 1);
    fft_.transform(resampled_.data(), lastBin, re_.data(), im_.data());
    // Squared RMS of bin k: 2 |X_k|^2 / M^2.
    const double scale = 2 / (static_cast<double>(points_) * static_cast<double>(points_));
    auto power = [&](int k) { return scale * (re_[k] * re_[k] + im_[k] * im_[k]); };
    double* values = &out.spectra[static_cast<std::size_t>(quantity) * kSpectrumValues];
    for (int slot = 0; slot < kSpectrumValues; ++slot) values[slot] = kNaN;
    for (int h = 1; h <= highestOrder_; ++h) {
        const int centre = cycles_ * h;
        values[harmonicSlot(h)] = std::sqrt(power(centre - 1) + power(centre) + power(centre + 1));
    }
    for (int n = 0; n < highestOrder_; ++n) {
        double sum = 0;
        for (int k = cycles_ * n + 2; k <= cycles_ * n + cycles_ - 2; ++k) sum += power(k);
        values[interharmonicSlot(n)] = std::sqrt(sum);
    }
    double distortion = 0;
    for (int h = 2; h <= std::min(kHighestThdOrder, highestOrder_); ++h)
        distortion += values[harmonicSlot(h)] * values[harmonicSlot(h)];
    const double fundamental = values[harmonicSlot(1)];
    out.thdPercent[static_cast<std::size_t>(quantity)] =
        fundamental > 0 ? 100 * std::sqrt(distortion) / fundamental : kNaN;
    const double phasorScale = std::sqrt(2.0) / static_cast<double>(points_);
    fundamentalRe_[static_cast<std::size_t>(quantity)] = re_[cycles_] * phasorScale;
    fundamentalIm_[static_cast<std::size_t>(quantity)] = im_[cycles_] * phasorScale;
}

void BasicIntervalAnalysis::sequenceAndPower(BasicValues& out) const {
    using Phasor = std::complex<double>;
    auto phasor = [&](int q) { return Phasor(fundamentalRe_[q], fundamentalIm_[q]); };
    const Phasor a = std::polar(1.0, 2 * std::acos(-1.0) / 3);
    const Phasor u12 = phasor(0), u23 = phasor(1), u31 = phasor(2);
    // Line voltages have no zero sequence, so these are the phase voltages' sequences too.
    const Phasor positive = (u12 + a * u23 + a * a * u31) / 3.0;
    const Phasor negative = (u12 + a * a * u23 + a * u31) / 3.0;
    out.unbalancePercent = std::abs(positive) > 0 ? 100 * std::abs(negative) / std::abs(positive) : kNaN;
    for (int c = 0; c < circuits_; ++c) {
        // Two wattmeters: U12 with I1 and U32 = -U23 with I3 give a three-wire circuit's power.
        const Phasor s =
            u12 * std::conj(phasor(kLineVoltages + 2 * c)) - u23 * std::conj(phasor(kLineVoltages + 2 * c + 1));
        BasicValues::Power& p = out.power[static_cast<std::size_t>(c)];
        p.watts = s.real();
        p.vars = s.imag();
        p.powerFactor = std::abs(s) > 0 ? s.real() / std::abs(s) : kNaN;
    }
}

void BasicIntervalAnalysis::analyze(const SampleBuffer& buffer, double startSeconds, double endSeconds,
                                    BasicValues& out) {
    const int quantities = spectrumQuantities(circuits_);
    const int signals = kLineVoltages + 3 * circuits_;
    out.startSeconds = startSeconds;
    out.endSeconds = endSeconds;
    out.rms.resize(static_cast<std::size_t>(signals));
    out.spectra.resize(static_cast<std::size_t>(quantities) * kSpectrumValues);
    out.thdPercent.resize(static_cast<std::size_t>(quantities));
    out.power.resize(static_cast<std::size_t>(circuits_));
    const double from = startSeconds * samplingHz_, to = endSeconds * samplingHz_;
    for (int s = 0; s < signals; ++s)
        out.rms[static_cast<std::size_t>(s)] = std::sqrt(squareIntegral(buffer, s, from, to) / (to - from));
    placePoints(startSeconds, endSeconds);
    for (int q = 0; q < quantities; ++q) {
        resample(buffer, signalOf(q));
        subgroups(q, out);
    }
    sequenceAndPower(out);
}

}  // namespace pqwave
