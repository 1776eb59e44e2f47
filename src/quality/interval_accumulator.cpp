#include "quality/interval_accumulator.h"

#include <cmath>

namespace pqwave {

IntervalAccumulator::IntervalAccumulator(int circuits, int cyclesPerWindow)
    : circuits_(circuits),
      cyclesPerWindow_(cyclesPerWindow),
      rmsSquares_(static_cast<std::size_t>(kLineVoltages + 3 * circuits)),
      spectraSquares_(static_cast<std::size_t>(spectrumQuantities(circuits)) * kSpectrumValues),
      thdSquares_(static_cast<std::size_t>(spectrumQuantities(circuits))),
      watts_(static_cast<std::size_t>(circuits)),
      vars_(static_cast<std::size_t>(circuits)),
      powerFactor_(static_cast<std::size_t>(circuits)) {}

void IntervalAccumulator::clear() {
    *this = IntervalAccumulator(circuits_, cyclesPerWindow_);
}

void IntervalAccumulator::add(const BasicValues& v) {
    if (count_ == 0) firstStart_ = v.startSeconds;
    lastEnd_ = v.endSeconds;
    seconds_ += v.endSeconds - v.startSeconds;
    ++count_;
    for (std::size_t k = 0; k < rmsSquares_.size(); ++k) rmsSquares_[k] += v.rms[k] * v.rms[k];
    // Orders above the highest stay NaN, and so does their sum.
    for (std::size_t k = 0; k < spectraSquares_.size(); ++k) spectraSquares_[k] += v.spectra[k] * v.spectra[k];
    for (std::size_t q = 0; q < thdSquares_.size(); ++q) thdSquares_[q].add(v.thdPercent[q] * v.thdPercent[q]);
    unbalanceSquares_.add(v.unbalancePercent * v.unbalancePercent);
    for (int c = 0; c < circuits_; ++c) {
        watts_[c].add(v.power[c].watts);
        vars_[c].add(v.power[c].vars);
        powerFactor_[c].add(v.power[c].powerFactor);
    }
}

PqRow IntervalAccumulator::row() const {
    PqRow r;
    r.startSeconds = firstStart_;
    r.endSeconds = lastEnd_;
    if (count_ == 0) return r;
    auto rootMean = [&](double squares) { return static_cast<float>(std::sqrt(squares / count_)); };
    r.frequencyHz = static_cast<float>(cyclesPerWindow_ * count_ / seconds_);
    for (int k = 0; k < kLineVoltages; ++k) {
        r.lineVolts[k] = rootMean(rmsSquares_[k]);
        r.thdPercent[k] = thdSquares_[k].rootMean();
    }
    r.unbalancePercent = unbalanceSquares_.rootMean();
    r.circuits.resize(static_cast<std::size_t>(circuits_));
    for (int c = 0; c < circuits_; ++c) {
        PqCircuitValues& values = r.circuits[c];
        for (int k = 0; k < 3; ++k) values.amps[k] = rootMean(rmsSquares_[kLineVoltages + 3 * c + k]);
        values.kW = watts_[c].count > 0 ? static_cast<float>(watts_[c].sum / watts_[c].count / 1000) : kNoValue;
        values.kvar = vars_[c].count > 0 ? static_cast<float>(vars_[c].sum / vars_[c].count / 1000) : kNoValue;
        values.powerFactor = powerFactor_[c].mean();
        values.thdPercent = {thdSquares_[kLineVoltages + 2 * c].rootMean(),
                             thdSquares_[kLineVoltages + 2 * c + 1].rootMean()};
    }
    r.spectra.resize(spectraSquares_.size());
    for (std::size_t k = 0; k < spectraSquares_.size(); ++k) r.spectra[k] = rootMean(spectraSquares_[k]);
    return r;
}

}  // namespace pqwave
