// One pass over the recording, block by block: U12's zero crossings give the cycle clock; from
// it and the samples in the buffer the run computes Urms(1/2) (events), the 10-s frequencies and
// the chains of basic intervals. A chain starts at each 10-minute tick (the first at the first
// zero crossing) and runs, interval after interval, until the group (one basic interval, or 15
// for 3 s) that holds the next tick is complete; so values near a tick may overlap, as
// the class A synchronisation has it. Flags and the 10-min frequencies wait for the end, when
// every event and every 10-s value is known.
#include "quality/power_quality.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>

#include "common/error.h"
#include "common/messages.h"
#include "common/textforms.h"
#include "quality/basic_interval.h"
#include "quality/cycle_clock.h"
#include "quality/declared_voltage.h"
#include "quality/half_cycle_rms.h"
#include "quality/interval_accumulator.h"
#include "quality/recording_clock.h"
#include "quality/sample_buffer.h"
#include "quality/ten_second_frequency.h"
#include "quality/voltage_events.h"

namespace pqwave {
namespace {

constexpr std::size_t kBlockSamples = std::size_t{1} << 15;
constexpr double kResynchronisationSeconds = 600;
constexpr int kThreeSecondGroup = 15;  // basic intervals: 150 cycles at 50 Hz, 180 at 60 Hz
constexpr double kDeclaredVoltageSeconds = 10;
constexpr double kLowestMeanVolts = 10;  // below this the first 10 s show no supply to name Udin by
constexpr double kStartCycles = 4;       // before the first basic interval can begin

[[noreturn]] void refuse(const PqSettings& s, const std::string& problem) {
    throw Error(ErrorKind::NotAvailable, s.fileName + ": " + problem);
}

void checkThresholds(const PqSettings& s) {
    const EventThresholds& t = s.thresholds;
    const bool ordered = t.interruption.percent > 0 && t.interruption.percent < t.dip.percent && t.dip.percent < 100 &&
                         t.swell.percent > 100;
    const bool hysteresis =
        t.dip.hysteresisPercent >= 0 && t.swell.hysteresisPercent >= 0 && t.interruption.hysteresisPercent >= 0;
    if (!ordered || !hysteresis)
        refuse(s, tr("the event thresholds (interruption {0} %, dip {1} %, swell {2} % of Udin) must rise from "
                     "interruption to dip below 100 % and swell above it, with hysteresis of 0 % or more",
                     {formD(t.interruption.percent), formD(t.dip.percent), formD(t.swell.percent)}));
}

void checkRecording(const PqSettings& s, const PqSignalSource& signals) {
    if (s.nominalHz != 50 && s.nominalHz != 60)
        refuse(s,
               tr("the nominal supply frequency is {0} Hz; the analysis knows 50 Hz and 60 Hz", {formD(s.nominalHz)}));
    const double fs = signals.samplingHz();
    if (!(fs > 10 * s.nominalHz) || !std::isfinite(fs))
        refuse(s, tr("sampled at {0} Hz, too slowly for the 5th harmonic of a {1} Hz supply (more than {2} Hz is "
                     "needed)",
                     {formD(fs), formD(s.nominalHz), formD(10 * s.nominalHz)}));
    const int cycles = s.nominalHz == 60 ? 12 : 10;
    const double seconds = static_cast<double>(signals.sampleCount()) / fs;
    const double needed = (cycles + kStartCycles) / s.nominalHz;
    if (seconds < needed)
        refuse(s, tr("the recording lasts {0} s, too short for one basic interval of {1} cycles after the supply's "
                     "first cycles ({2} s)",
                     {formD(seconds), std::to_string(cycles), formD(needed)}));
    if (s.declaredVolts && !(*s.declaredVolts > 0 && std::isfinite(*s.declaredVolts)))
        refuse(s, tr("the declared voltage is {0} V", {formD(*s.declaredVolts)}));
    checkThresholds(s);
}

// The mean of the three line voltages' RMS over the first `samples`, read block by block.
double meanLineVolts(const PqSignalSource& signals, std::int64_t samples) {
    SampleBuffer buffer(signals);
    std::array<double, kLineVoltages> squares{};
    while (buffer.end() < samples) {
        const std::int64_t from = buffer.end();
        buffer.readMore(static_cast<std::size_t>(std::min<std::int64_t>(kBlockSamples, samples - from)));
        for (int v = 0; v < kLineVoltages; ++v) {
            const float* x = buffer.signal(v) + (from - buffer.first());
            for (std::int64_t k = 0; k < buffer.end() - from; ++k) squares[v] += static_cast<double>(x[k]) * x[k];
        }
        buffer.dropBefore(buffer.end());
    }
    double sum = 0;
    for (double s : squares) sum += std::sqrt(s / static_cast<double>(samples));
    return sum / kLineVoltages;
}

// The squares of the line voltages' basic values in a chain's current 3-s group.
struct ThreeSecondSquares {
    std::array<double, kLineVoltages> sums{};
    int count = 0;
    double startSeconds = 0;
};

struct Chain {
    double phase = 0;      // where its next basic interval begins, on the cycle clock
    double endTick = 0;    // the 10-minute tick after its start
    std::int64_t key = 0;  // the clock interval of a 10-min or 2-h aggregation
    IntervalAccumulator group;
    ThreeSecondSquares threeSeconds;
    bool ended = false;
};

struct PendingRow {
    PqRow row;
    double flagFrom = 0, flagTo = 0;  // the time whose events flag it
    bool partial = false;
    bool clockAligned = false;
};

class PowerQualityRun {
public:
    PowerQualityRun(const PqSettings& settings, const PqSignalSource& signals, Progress& progress,
                    const PqObservers& observers)
        : s_(settings),
          signals_(signals),
          progress_(progress),
          observers_(observers),
          fs_(signals.samplingHz()),
          durationSeconds_(static_cast<double>(signals.sampleCount()) / fs_),
          wall_(settings.startDateTime),
          buffer_(signals),
          analysis_(fs_, settings.nominalHz, signals.circuits()),
          frequency_(wall_, durationSeconds_) {}

    PqResult run();

private:
    void chooseDeclaredVoltage();
    void feedClock(std::int64_t from);
    void showLineVoltages(std::int64_t from);
    void step();
    void startChains();
    Chain makeChain(double phase, double startSeconds) const;
    void runChain(Chain& chain);
    void aggregate(Chain& chain);
    void tellThreeSeconds(Chain& chain);
    void endChain(Chain& chain);
    void emitGroup(const IntervalAccumulator& group, bool partial);
    void closeClockRow(std::int64_t key);
    void dropUnneeded();
    void finish();

    double rowPeriodSeconds() const { return s_.aggregation == PqAggregation::TwoHours ? 7200 : 600; }
    bool clockAligned() const {
        return s_.aggregation == PqAggregation::TenMinutes || s_.aggregation == PqAggregation::TwoHours;
    }

    const PqSettings& s_;
    const PqSignalSource& signals_;
    Progress& progress_;
    const PqObservers& observers_;
    const double fs_;
    const double durationSeconds_;
    const RecordingClock wall_;
    PqResult result_;
    SampleBuffer buffer_;
    std::optional<CycleClock> clock_;
    std::optional<VoltageEventDetector> events_;
    BasicIntervalAnalysis analysis_;
    HalfCycleRmsMeter halfCycles_{fs_};
    TenSecondFrequencyMeter frequency_;
    BasicValues values_;
    std::vector<Chain> chains_;
    bool chainsStarted_ = false;
    double nextChainTick_ = 0;
    std::map<std::int64_t, IntervalAccumulator> clockRows_;
    std::vector<PendingRow> rows_;
};

void PowerQualityRun::chooseDeclaredVoltage() {
    const auto samples = std::min<std::int64_t>(signals_.sampleCount(),
                                                static_cast<std::int64_t>(std::ceil(kDeclaredVoltageSeconds * fs_)));
    result_.firstTenSecondsVolts = meanLineVolts(signals_, samples);
    if (s_.declaredVolts) {
        result_.declaredVolts = *s_.declaredVolts;
        return;
    }
    if (!(result_.firstTenSecondsVolts >= kLowestMeanVolts))
        refuse(s_, tr("the line voltages of the first 10 s average {0} V, too little to choose the declared voltage "
                      "Udin from; give it",
                      {formD(result_.firstTenSecondsVolts)}));
    result_.declaredVolts = nearestStandardVolts(result_.firstTenSecondsVolts);
    result_.declaredAutomatically = true;
}

void PowerQualityRun::feedClock(std::int64_t from) {
    const float* u12 = buffer_.signal(0) + (from - buffer_.first());
    clock_->feed(u12, from, static_cast<std::size_t>(buffer_.end() - from));
}

void PowerQualityRun::showLineVoltages(std::int64_t from) {
    if (!observers_.lineVoltages) return;
    std::array<const float*, kLineVoltages> volts{};
    for (int v = 0; v < kLineVoltages; ++v) volts[v] = buffer_.signal(v) + (from - buffer_.first());
    observers_.lineVoltages(volts, static_cast<std::size_t>(buffer_.end() - from));
}

PqResult PowerQualityRun::run() {
    chooseDeclaredVoltage();
    clock_.emplace(fs_, s_.nominalHz, result_.declaredVolts);
    events_.emplace(result_.declaredVolts, s_.thresholds);
    if (observers_.declaredVoltage) observers_.declaredVoltage(result_.declaredVolts);
    const double samples = static_cast<double>(signals_.sampleCount());
    while (!buffer_.atRecordingEnd()) {
        const std::int64_t from = buffer_.end();
        buffer_.readMore(kBlockSamples);
        feedClock(from);
        showLineVoltages(from);
        step();
        progress_.advance(static_cast<double>(buffer_.end()) / samples);
    }
    finish();
    return std::move(result_);
}

void PowerQualityRun::step() {
    halfCycles_.advance(*clock_, buffer_, [this](const HalfCycleRms& value) {
        events_->add(value);
        if (observers_.halfCycle) observers_.halfCycle(value);
    });
    frequency_.advance(*clock_);
    startChains();
    for (Chain& chain : chains_) runChain(chain);
    std::erase_if(chains_, [](const Chain& c) { return c.ended; });
    dropUnneeded();
}

Chain PowerQualityRun::makeChain(double phase, double startSeconds) const {
    return Chain{phase, wall_.nextTick(startSeconds, kResynchronisationSeconds),
                 wall_.intervalIndex(startSeconds, rowPeriodSeconds()),
                 IntervalAccumulator(signals_.circuits(), analysis_.cyclesPerWindow()), ThreeSecondSquares{}};
}

void PowerQualityRun::startChains() {
    const CycleClock& clock = *clock_;
    if (clock.empty()) return;
    if (!chainsStarted_) {
        const double start = clock.timeAt(static_cast<double>(clock.firstHeld()));
        chains_.push_back(makeChain(static_cast<double>(clock.firstHeld()), start));
        nextChainTick_ = wall_.nextTick(start, kResynchronisationSeconds);
        chainsStarted_ = true;
    }
    while (clock.timeAt(clock.lastPhase()) >= nextChainTick_) {
        chains_.push_back(makeChain(clock.phaseAt(nextChainTick_), nextChainTick_));
        nextChainTick_ = wall_.nextTick(nextChainTick_, kResynchronisationSeconds);
    }
}

void PowerQualityRun::runChain(Chain& chain) {
    const CycleClock& clock = *clock_;
    while (!chain.ended) {
        const double endPhase = chain.phase + analysis_.cyclesPerWindow();
        if (endPhase > clock.lastPhase()) return;
        const double start = clock.timeAt(chain.phase), end = clock.timeAt(endPhase);
        // The interpolation reads two samples beyond the window's end.
        if (!buffer_.atRecordingEnd() && std::ceil(end * fs_) + 3 > static_cast<double>(buffer_.end())) return;
        analysis_.analyze(buffer_, start, end, values_);
        chain.phase = endPhase;
        aggregate(chain);
        if (observers_.threeSecondVoltages) tellThreeSeconds(chain);
        const bool groupComplete = s_.aggregation != PqAggregation::ThreeSeconds || chain.group.count() == 0;
        if (groupComplete && end >= chain.endTick) endChain(chain);
    }
}

void PowerQualityRun::aggregate(Chain& chain) {
    switch (s_.aggregation) {
        case PqAggregation::BasicInterval:
            chain.group.add(values_);
            emitGroup(chain.group, false);
            chain.group.clear();
            break;
        case PqAggregation::ThreeSeconds:
            chain.group.add(values_);
            if (chain.group.count() == kThreeSecondGroup) {
                emitGroup(chain.group, false);
                chain.group.clear();
            }
            break;
        case PqAggregation::TenMinutes:
        case PqAggregation::TwoHours:
            clockRows_.try_emplace(chain.key, signals_.circuits(), analysis_.cyclesPerWindow())
                .first->second.add(values_);
            break;
    }
}

void PowerQualityRun::tellThreeSeconds(Chain& chain) {
    ThreeSecondSquares& group = chain.threeSeconds;
    if (group.count == 0) group.startSeconds = values_.startSeconds;
    for (int v = 0; v < kLineVoltages; ++v) group.sums[v] += values_.rms[v] * values_.rms[v];
    if (++group.count < kThreeSecondGroup) return;
    std::array<double, kLineVoltages> volts{};
    for (int v = 0; v < kLineVoltages; ++v) volts[v] = std::sqrt(group.sums[v] / kThreeSecondGroup);
    observers_.threeSecondVoltages(group.startSeconds, values_.endSeconds, volts);
    group = {};
}

void PowerQualityRun::endChain(Chain& chain) {
    chain.ended = true;
    if (clockAligned() && wall_.intervalIndex(chain.endTick, rowPeriodSeconds()) != chain.key) closeClockRow(chain.key);
}

void PowerQualityRun::emitGroup(const IntervalAccumulator& group, bool partial) {
    PendingRow pending;
    pending.row = group.row();
    pending.flagFrom = pending.row.startSeconds;
    pending.flagTo = pending.row.endSeconds;
    pending.partial = partial;
    rows_.push_back(std::move(pending));
}

void PowerQualityRun::closeClockRow(std::int64_t key) {
    auto it = clockRows_.find(key);
    if (it == clockRows_.end()) return;
    const IntervalAccumulator& sums = it->second;
    PendingRow pending;
    pending.row = sums.row();
    pending.row.startSeconds = wall_.intervalStart(key, rowPeriodSeconds());
    pending.row.endSeconds = wall_.intervalStart(key + 1, rowPeriodSeconds());
    pending.flagFrom = std::min(pending.row.startSeconds, sums.firstStart());
    pending.flagTo = std::max(pending.row.endSeconds, sums.lastEnd());
    pending.partial = pending.row.startSeconds < 0 || pending.row.endSeconds > durationSeconds_;
    pending.clockAligned = true;
    rows_.push_back(std::move(pending));
    clockRows_.erase(it);
}

void PowerQualityRun::dropUnneeded() {
    const CycleClock& clock = *clock_;
    if (clock.empty()) {
        buffer_.dropBefore(buffer_.end() - 4);
        return;
    }
    double phase = std::min(halfCycles_.neededPhase(), frequency_.neededPhase());
    for (const Chain& chain : chains_) phase = std::min(phase, chain.phase);
    phase = std::max(phase, static_cast<double>(clock.firstHeld()));
    buffer_.dropBefore(static_cast<std::int64_t>(std::floor(clock.timeAt(phase) * fs_)) - 4);
    clock_->dropBefore(phase - 1);
}

double meanFrequency(const std::vector<TenSecondFrequency>& values, double from, double to) {
    double sum = 0;
    int count = 0;
    for (const TenSecondFrequency& f : values)
        if (f.startSeconds >= from && f.startSeconds < to && std::isfinite(f.hz)) sum += f.hz, ++count;
    return count > 0 ? sum / count : NAN;
}

void PowerQualityRun::finish() {
    frequency_.finish();
    events_->finish(durationSeconds_);
    for (Chain& chain : chains_)
        if (chain.group.count() > 0) emitGroup(chain.group, true);
    while (!clockRows_.empty()) closeClockRow(clockRows_.begin()->first);
    if (rows_.empty())
        refuse(s_, clock_->empty() ? tr("U12 shows no zero crossings, so no supply frequency to measure by")
                                   : tr("the recording holds no complete basic interval of {0} cycles",
                                        {std::to_string(analysis_.cyclesPerWindow())}));

    result_.events = events_->events();
    result_.frequencies = frequency_.values();
    for (TenSecondFrequency& f : result_.frequencies)
        f.flagged = f.flagged || overlapsEvent(result_.events, f.startSeconds, f.endSeconds);
    std::stable_sort(rows_.begin(), rows_.end(),
                     [](const PendingRow& a, const PendingRow& b) { return a.row.startSeconds < b.row.startSeconds; });
    for (PendingRow& p : rows_) {
        p.row.flagged = p.partial || overlapsEvent(result_.events, p.flagFrom, p.flagTo);
        if (p.clockAligned)
            p.row.frequencyHz =
                static_cast<float>(meanFrequency(result_.frequencies, p.row.startSeconds, p.row.endSeconds));
        result_.rows.push_back(std::move(p.row));
    }
    result_.samplingHz = fs_;
    result_.nominalHz = s_.nominalHz;
    result_.durationSeconds = durationSeconds_;
    result_.circuits = signals_.circuits();
    result_.highestOrder = analysis_.highestOrder();
}

}  // namespace

PqResult runPowerQuality(const PqSettings& settings, const PqSignalSource& signals, Progress& progress,
                         const PqObservers& observers) {
    checkRecording(settings, signals);  // before anything is sized by the sampling frequency
    ProgressScope scope(progress);
    return PowerQualityRun(settings, signals, progress, observers).run();
}

}  // namespace pqwave
