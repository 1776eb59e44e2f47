#include "quality/flicker_analysis.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "common/error.h"
#include "common/messages.h"
#include "common/textforms.h"

namespace pqwave {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMinuteSeconds = 60;
constexpr double kShortTermSeconds = 600;

LineValues unmeasured() {
    LineValues values;
    values.fill(kNaN);
    return values;
}

}  // namespace

FlickerAnalysis::FlickerAnalysis(double samplingHz, int voltages, const FlickerSettings& settings)
    : voltages_(voltages), clockSecondsAtStart_(settings.clockSecondsAtStart) {
    if (voltages < 1 || voltages > kLineVoltages) throw std::invalid_argument("flicker of 1 to 3 voltages");
    const double needed = FlickerChannel::minimumSamplingHz(settings.nominalHz);
    if (!(samplingHz >= needed))
        throw Error(ErrorKind::NotAvailable,
                    tr("{0}: sampled at {1} Hz; the flickermeter needs at least {2} Hz on a {3} Hz supply",
                       {settings.fileName, formD(samplingHz), formD(needed), formD(settings.nominalHz)}));
    const FlickerLamp lamp = settings.lamp.value_or(lampForSupply(settings.nominalHz));
    for (int v = 0; v < voltages; ++v) {
        channels_.emplace_back(samplingHz, settings.nominalHz, lamp);
        // Every voltage's envelope passes fluctuations alike; the meter keeps its own copy.
        deltaV10_.emplace_back(
            channels_.back().tickHz(), [channel = channels_.back()](double hz) { return channel.envelopeGain(hz); },
            settings.visibility);
    }
    ticks_.resize(voltages);
    pinstMax_.assign(voltages, 0.0);
    envelopes_.resize(voltages);
    classifiers_.resize(voltages);
}

void FlickerAnalysis::process(std::span<const float* const> volts, std::size_t count) {
    if (static_cast<int>(volts.size()) < voltages_) throw std::invalid_argument("fewer voltages than the analysis");
    for (int v = 0; v < voltages_; ++v) {
        ticks_[v].clear();
        channels_[v].process({volts[v], count}, ticks_[v]);
    }
    const std::size_t produced = ticks_.front().size();
    for (std::size_t i = 0; i < produced; ++i)
        take(channels_.front().tickSeconds(tickCount_ + static_cast<std::int64_t>(i)), i);
    tickCount_ += static_cast<std::int64_t>(produced);
}

void FlickerAnalysis::take(double seconds, std::size_t tick) {
    // Before then the ticks show the chain's start, not the voltage.
    if (seconds < kFlickerSettleSeconds) return;
    if (closes(minute_, kMinuteSeconds, seconds)) closeMinute(true);
    if (closes(shortTerm_, kShortTermSeconds, seconds)) closeShortTerm(true);
    if (!minute_.open) moveTo(minute_, kMinuteSeconds, seconds);
    if (!shortTerm_.open) moveTo(shortTerm_, kShortTermSeconds, seconds);
    for (int v = 0; v < voltages_; ++v) {
        const FlickerTick& t = ticks_[v][tick];
        pinstMax_[v] = std::max(pinstMax_[v], t.pinst);
        envelopes_[v].push_back(t.envelopeVolts);
        classifiers_[v].add(t.pinst);
    }
    lastSeconds_ = seconds;
}

bool FlickerAnalysis::closes(Period& period, double lengthSeconds, double seconds) {
    return period.open &&
           static_cast<std::int64_t>(std::floor((clockSecondsAtStart_ + seconds) / lengthSeconds)) != period.index;
}

void FlickerAnalysis::moveTo(Period& period, double lengthSeconds, double seconds) {
    period.index = static_cast<std::int64_t>(std::floor((clockSecondsAtStart_ + seconds) / lengthSeconds));
    period.startSeconds = static_cast<double>(period.index) * lengthSeconds - clockSecondsAtStart_;
    period.endSeconds = period.startSeconds + lengthSeconds;
    period.open = true;
    period.complete = seconds - period.startSeconds <= 1.5 / channels_.front().tickHz();
}

bool FlickerAnalysis::completeAtEnd(const Period& period) const {
    return lastSeconds_ >= period.endSeconds - 1.5 / channels_.front().tickHz();
}

void FlickerAnalysis::closeMinute(bool reachedEnd) {
    FlickerMinute m;
    m.startSeconds = minute_.startSeconds;
    m.endSeconds = minute_.endSeconds;
    m.complete = minute_.complete && (reachedEnd || completeAtEnd(minute_));
    m.flagged = !m.complete;
    m.deltaV10 = unmeasured();
    m.pinstMax = unmeasured();
    const double oneSecond = channels_.front().tickHz();
    for (int v = 0; v < voltages_; ++v) {
        if (static_cast<double>(envelopes_[v].size()) >= oneSecond)
            m.deltaV10[v] = deltaV10_[v].ofMinute(envelopes_[v]);
        m.pinstMax[v] = pinstMax_[v];
        envelopes_[v].clear();
        pinstMax_[v] = 0;
    }
    series_.minutes.push_back(m);
    minute_.open = false;
}

void FlickerAnalysis::closeShortTerm(bool reachedEnd) {
    ShortTermFlicker s;
    s.startSeconds = shortTerm_.startSeconds;
    s.endSeconds = shortTerm_.endSeconds;
    s.complete = shortTerm_.complete && (reachedEnd || completeAtEnd(shortTerm_));
    s.flagged = !s.complete;
    s.pst = unmeasured();
    for (int v = 0; v < voltages_; ++v) {
        s.pst[v] = shortTermSeverity(smoothedPercentiles(classifiers_[v]));
        classifiers_[v].clear();
    }
    series_.shortTerm.push_back(s);
    shortTerm_.open = false;
}

FlickerSeries FlickerAnalysis::finish() {
    if (minute_.open) closeMinute(false);
    if (shortTerm_.open) closeShortTerm(false);
    return std::move(series_);
}

FlickerSeries analyseFlicker(const PqSignalSource& source, const FlickerSettings& settings, Progress* progress) {
    constexpr std::int64_t kBlock = 1 << 16;
    const std::int64_t total = source.sampleCount();
    std::vector<std::vector<float>> buffers(source.signals(), std::vector<float>(kBlock));
    std::vector<float*> out;
    std::vector<const float*> in;
    for (std::vector<float>& buffer : buffers) {
        out.push_back(buffer.data());
        in.push_back(buffer.data());
    }
    FlickerAnalysis analysis(source.samplingHz(), kLineVoltages, settings);
    for (std::int64_t first = 0; first < total; first += kBlock) {
        const auto count = static_cast<std::size_t>(std::min(kBlock, total - first));
        source.read(first, count, out);
        analysis.process(std::span<const float* const>(in.data(), kLineVoltages), count);
        if (progress) progress->advance(static_cast<double>(first + static_cast<std::int64_t>(count)) / total);
    }
    return analysis.finish();
}

}  // namespace pqwave
