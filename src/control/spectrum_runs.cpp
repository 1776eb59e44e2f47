#include "control/spectrum_runs.h"

#include <algorithm>
#include <cmath>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/textforms.h"
#include "spectrum/channel_fft.h"
#include "spectrum/moving_fft.h"
#include "spectrum/vipq_fft.h"

namespace pqwave {
namespace {

ChannelFftSettings channelFftSettings(const ConversionJob& job, const Recording& r) {
    ChannelFftSettings s;
    s.fileName = r.facts.fileName;
    s.sampleCount = r.facts.sampleCount;
    s.countsPerDivision = r.facts.countsPerDivision;
    s.samplingFrequency = r.facts.samplingHz;
    s.lastColumn = r.lastActiveChannel;
    s.channelScale = r.channelScale;
    for (int c = 0; c < kChannelPositions; ++c) s.multipliers[c] = static_cast<float>(job.raw.multipliers[c]);
    return s;
}

VipqFftSettings vipqFftSettings(const ConversionJob& job, const Recording& r) {
    const PowerSettings& p = job.power;
    VipqFftSettings s;
    s.fileName = r.facts.fileName;
    s.sampleCount = r.facts.sampleCount;
    s.countsPerDivision = r.facts.countsPerDivision;
    s.samplingFrequency = r.facts.samplingHz;
    s.lastColumn = r.lastActiveChannel;
    s.channelScale = r.channelScale;
    s.ptRatio = p.ptRatio;
    for (int c = 0; c < kMaxCircuits; ++c) s.clampAmps[c] = p.clampAmps[c];
    s.wiring = p.wiring;
    return s;
}

// Without 分割周期設定 the rows are the bins of each recording's window: 1 / window length.
MovingFftSettings movingFftSettings(const ConversionJob& job, const Recording& r) {
    const MovingFftChoices& m = job.movingFft;
    MovingFftSettings s;
    s.fileName = r.facts.fileName;
    s.sampleCount = static_cast<std::int64_t>(std::max(0.0, r.facts.sampleCount));
    s.samplingFrequency = r.facts.samplingHz;
    s.countsPerDivision = r.facts.countsPerDivision;
    s.recordSeconds = r.facts.recordSeconds;
    s.lastColumn = r.lastActiveChannel;
    s.channelScale = r.channelScale;
    s.exponent = m.exponent;
    s.stepMs = m.stepMs;
    s.lowKHz = m.lowKHz;
    s.highKHz = m.highKHz;
    s.stepKHz = m.stepKHz;
    if (!m.bandMode && s.samplingFrequency > 0) {
        const double windowMs = (1000 / s.samplingFrequency) * Val(formD(std::pow(2.0, m.exponent)));
        s.stepKHz = Val(formD(1 / Val(formD(windowMs))));
    }
    s.bandMode = m.bandMode;
    s.windowFiles = !job.statisticsOnly;
    s.outputName = job.outputName;
    s.summaries = true;
    return s;
}

}  // namespace

void writeChannelFft(const ConversionJob& job, const Recording& recording, TextOutputFile& file, Progress& progress) {
    const ChannelFftSettings settings = channelFftSettings(job, recording);
    const ChannelSpectrum spectrum = channelSpectrum(settings, recording.table, progress);
    writeChannelSpectrum(settings, spectrum, file, progress);
}

void writeVipqFft(const ConversionJob& job, const Recording& recording, TextOutputFile& file, Progress& progress) {
    const VipqFftSettings settings = vipqFftSettings(job, recording);
    const VipqSpectrum spectrum = vipqSpectrum(settings, recording.table, progress);
    writeVipqSpectrum(settings, spectrum, file, progress);
}

void writeMovingFftFiles(const ConversionJob& job, const Recording& recording, Progress& progress,
                         FileOutcome& outcome) {
    const MovingFftSettings settings = movingFftSettings(job, recording);
    MovingFftResult result = writeMovingFft(settings, recording.table, progress, *outcome.outputs);
    for (MovingFftSummaryLine& line : result.summaries)
        outcome.movingFft.push_back({line.column, std::move(line.header), std::move(line.fields)});
    if (result.windowsPastTheEnd > 0)
        outcome.warn(
            tr("{0}: {1} of the windows of {2} s would read past the loaded samples and were left out",
               {recording.facts.fileName, formI(result.windowsPastTheEnd), formD(recording.facts.recordSeconds)}));
}

}  // namespace pqwave
