#include "quality/recording_signals.h"

#include <cmath>

#include "common/error.h"
#include "common/messages.h"

namespace pqwave {
namespace {

[[noreturn]] void refuse(const RecordingScaling& s, const std::string& problem) {
    throw Error(ErrorKind::NotAvailable, s.fileName + ": " + problem);
}

void requireScale(const RecordingScaling& s, double value, const std::string& what) {
    if (!std::isfinite(value) || value == 0)
        throw ArithmeticError(tr("{0}: {1} is {2}; the power-quality analysis needs a finite value other than 0",
                                 {s.fileName, what, std::to_string(value)}));
}

}  // namespace

RecordingSignals::RecordingSignals(const RecordingView& recording, RecordingScaling scaling)
    : table_(recording.table), scaling_(std::move(scaling)) {
    const RecordingScaling& s = scaling_;
    if (recording.channelCount < 2 || table_.columns() < 2)
        refuse(s, tr("the power-quality analysis needs the two line voltages ch1 (u-v) and ch2 (w-v); the recording "
                     "has {0} analog channel(s)",
                     {std::to_string(recording.channelCount)}));
    const int circuits = static_cast<int>(s.clampAmps.size());
    if (circuits > kPqMaxCircuits || 2 + 2 * circuits > recording.channelCount ||
        static_cast<std::size_t>(2 + 2 * circuits) > table_.columns())
        refuse(s, tr("{0} current circuits need {1} channels; the recording has {2}",
                     {std::to_string(circuits), std::to_string(2 + 2 * circuits),
                      std::to_string(recording.channelCount)}));
    if (s.sampleCount < 1 || static_cast<std::size_t>(s.sampleCount) > table_.rows())
        refuse(s, tr("holds {0} rows of samples, not the {1} samples per channel its header gives",
                     {std::to_string(table_.rows()), std::to_string(s.sampleCount)}));
    if (!(s.samplingHz > 0) || !std::isfinite(s.samplingHz))
        refuse(s, tr("the sampling frequency is {0} Hz", {std::to_string(s.samplingHz)}));
    requireScale(s, s.countsPerDivision, tr("the counts per division"));
    requireScale(s, s.ptRatio, tr("the PT ratio"));
    voltsCh1_ = recording.channelScale[0] / s.countsPerDivision * s.ptRatio;
    voltsCh2_ = recording.channelScale[1] / s.countsPerDivision * s.ptRatio;
    requireScale(s, voltsCh1_, tr("the range of ch{0}", {"1"}));
    requireScale(s, voltsCh2_, tr("the range of ch{0}", {"2"}));

    for (int c = 0; c < circuits; ++c) {
        const CircuitWiring& w = s.wiring.circuits[c];
        const double clampAmps = s.clampAmps[c];
        requireScale(s, clampAmps, tr("the clamp rating of circuit {0}", {std::to_string(c + 1)}));
        const double polarity = w.polaritySign();
        CircuitScale scale;
        scale.ampsU = recording.channelScale[2 * c + 2] / s.countsPerDivision * clampAmps / 0.2 * polarity;
        scale.ampsW = recording.channelScale[2 * c + 3] / s.countsPerDivision * clampAmps / 0.2 * polarity;
        requireScale(s, scale.ampsU, tr("the range of ch{0}", {std::to_string(2 * c + 3)}));
        requireScale(s, scale.ampsW, tr("the range of ch{0}", {std::to_string(2 * c + 4)}));
        const StarDeltaTerms terms = starDeltaTerms(w.starDelta);
        for (int k = 0; k < 3; ++k) {
            scale.newA[k] = terms.newA[k] / terms.divisor;
            scale.newB[k] = terms.newB[k] / terms.divisor;
        }
        circuitScales_.push_back(scale);
    }
}

void RecordingSignals::read(std::int64_t first, std::size_t count, std::span<float* const> out) const {
    for (std::size_t k = 0; k < count; ++k) {
        const std::int16_t* row = table_.row(static_cast<std::size_t>(first) + k);
        const double v1 = row[0] * voltsCh1_, v2 = row[1] * voltsCh2_;
        out[0][k] = static_cast<float>(v1);
        out[1][k] = static_cast<float>(-v2);
        out[2][k] = static_cast<float>(v2 - v1);
        for (std::size_t c = 0; c < circuitScales_.size(); ++c) {
            const CircuitScale& s = circuitScales_[c];
            const double a = row[2 * c + 2] * s.ampsU, b = row[2 * c + 3] * s.ampsW, t = a + b;
            const double i1 = s.newA[0] * a + s.newA[1] * b + s.newA[2] * t;
            const double i3 = s.newB[0] * a + s.newB[1] * b + s.newB[2] * t;
            out[3 + 3 * c][k] = static_cast<float>(i1);
            out[4 + 3 * c][k] = static_cast<float>(-(i1 + i3));
            out[5 + 3 * c][k] = static_cast<float>(i3);
        }
    }
}

}  // namespace pqwave
