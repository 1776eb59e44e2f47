// The cycles of the supply, as the clock of every synchronised window: a mark at each rising
// zero crossing of U12 (interpolated between samples), so that "phase" x (cycles, counted from
// the first crossing) maps to a time by interpolating between marks. A crossing counts only
// after U12 has been well below zero, so noise and harmonics around zero add none; the raw
// waveform is used, not a filtered one, because a filter's step response would move the
// crossings after every sudden change of magnitude and so shorten or stretch the cycles of
// Urms(1/2) in a dip. Where U12 has no crossings (an interruption), marks continue at the last
// measured period, flagged as not measured, so windows keep going; the 10-s frequency counts
// measured cycles only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

namespace pqwave {

struct CycleMark {
    double seconds = 0;
    bool measured = true;  // false: put in a gap at the mean measured period
};

class CycleClock {
public:
    // A crossing counts only after U12 has been below -5 % of the declared voltage's peak.
    CycleClock(double samplingHz, double nominalHz, double declaredVolts);

    // Samples first, first + 1, ... of U12 in volts, in order, block after block.
    void feed(const float* u12, std::int64_t first, std::size_t count);

    bool empty() const { return marks_.empty(); }
    // Absolute mark numbers: the first mark ever found is 0; marks before `firstHeld()` are dropped.
    std::int64_t firstHeld() const { return base_; }
    std::int64_t markCount() const { return base_ + static_cast<std::int64_t>(marks_.size()); }
    const CycleMark& mark(std::int64_t index) const { return marks_[static_cast<std::size_t>(index - base_)]; }
    double lastPhase() const { return static_cast<double>(markCount() - 1); }

    // Time at phase x, for firstHeld() <= x <= lastPhase().
    double timeAt(double phase) const;
    // Phase at a time between the first held mark and the last.
    double phaseAt(double seconds) const;

    // Forgets the marks wholly before phase x.
    void dropBefore(double phase);

private:
    void addCrossing(double seconds);
    void fillGapUpTo(double seconds);

    double samplingHz_, nominalHz_;
    double armingLevel_ = 0;
    double previous_ = 0;  // the sample before the next one fed
    bool armed_ = false;
    double periodSeconds_ = 0;  // the mean of the last measured periods
    std::deque<CycleMark> marks_;
    std::int64_t base_ = 0;
};

}  // namespace pqwave
