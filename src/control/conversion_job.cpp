#include "control/conversion_job.h"

#include <cmath>

#include "common/messages.h"
#include "common/numbers.h"
#include "control/form1_model.h"
#include "input/recording_facts.h"

namespace pqwave {
namespace {

DataKind dataKindOf(const Form1Model& f) {
    for (int k = 0; k < 5; ++k)
        if (isSelected(f.Option1[k])) return static_cast<DataKind>(k);
    return DataKind::Automatic;
}

// The processing the settings choose, first match wins. Whether the 10 ms analysis can run
// depends on each recording's sampling; the conversion decides that.
Processing processingOf(const Form1Model& f) {
    if (isSelected(f.Option2[3]) && isChecked(f.Check4)) return Processing::MovingFft;
    if (isSelected(f.Option2[0]))
        return isChecked(f.Check13) ? Processing::SlidingAnalysis : Processing::IntervalAnalysis;
    const bool timeOfDay = isChecked(f.Check11);
    if (isSelected(f.Option2[1]) && !timeOfDay) return Processing::RawData;
    if (timeOfDay && isSelected(f.Option2[1]) && (isSelected(f.Option1[3]) || isSelected(f.Option1[4])))
        return Processing::TimeOfDayStatistics;
    if (isSelected(f.Option2[2])) return Processing::PqFft;
    if (isSelected(f.Option2[3])) return Processing::ChannelFft;
    return Processing::Nothing;
}

// The settings of the RMS and power analyses that the user sets; the recording adds the rest.
PowerSettings powerChoicesOf(const Form1Model& f) {
    PowerSettings s;
    s.ptRatio = valOf(f.Text7[0]);
    s.ptText = f.Text7[0].text;
    for (int c = 0; c < kMaxCircuits; ++c) {
        s.clampAmps[c] = valOf(f.Text7[c + 1]);
        s.clampTexts[c] = f.Text7[c + 1].text;
    }
    s.wiring = wiringOf(f);
    s.intervalMs = valOf(f.Text1);
    s.supplyFrequency = f.SupplyFrequency;
    s.lineVoltages = isSelected(f.Option3[0]);
    s.perPhase = isChecked(f.Check6);
    s.statisticsOnly = isChecked(f.Check10);
    s.fundamental = isChecked(f.Check1);
    s.fifth = isChecked(f.Check3);
    s.frequency = isChecked(f.Check5) && f.Check5.enabled;
    s.compensation = isChecked(f.Check12[0]);
    s.theoretical = isChecked(f.Check12[1]);
    s.kP = valOf(f.Text9[0]);
    s.kQ = valOf(f.Text9[1]);
    s.kRX = valOf(f.Text9[3]);
    return s;
}

const char* kindCaption(DataKind kind) {
    switch (kind) {
        case DataKind::Waveform8840:
            return "8840波形";
        case DataKind::Waveform:
            return "8808･35･41･80波形";
        case DataKind::Rms:
            return "8808･35･41Rms";
        case DataKind::Logger:
            return "8420･21ﾛｶﾞｰ";
        default:
            return "自動";
    }
}

const char* recordingDescription(RecordingKind kind) {
    switch (kind) {
        case RecordingKind::Waveform8840:
            return N_("an 8840 waveform recording");
        case RecordingKind::BlockWaveform:
            return N_("a waveform recording");
        case RecordingKind::BlockRms:
            return N_("an RMS recording");
        case RecordingKind::Logger:
            return N_("a logger recording");
        default:
            return N_("not a recording this program knows");
    }
}

}  // namespace

Wiring wiringOf(const Form1Model& f) {
    Wiring w;
    for (int c = 0; c < kMaxCircuits; ++c) {
        w.circuits[c].polarityInverted = isChecked(f.Check7[c]);
        w.circuits[c].starDelta = starDeltaOf(isChecked(f.Check9[c]), isChecked(f.Check8[c]));
    }
    w.rotation = isSelected(f.Option4[1]) ? Rotation::Reverse : Rotation::Forward;
    return w;
}

ConversionJob jobOf(const Form1Model& f) {
    ConversionJob job;
    job.kind = dataKindOf(f);
    job.processing = processingOf(f);
    job.statisticsOnly = isChecked(f.Check10);
    job.phaseCheck = isChecked(f.Check2) && f.Frame3.visible;
    job.outputName = f.Text5.text;
    job.power = powerChoicesOf(f);
    job.compensationCircuit = valOf(f.Text8[0]);
    job.theoreticalCircuit = valOf(f.Text8[1]);
    // The window shows the samples per interval of the file it shows; another file gets them
    // as a click would show them.
    if (f.FileRecognized == -1) {
        job.samplesPerInterval = valOf(f.Lab1OutN);
        job.samplesPerIntervalText = f.Lab1OutN.text;
    }
    job.raw.firstSample = f.Text2[0].text;
    job.raw.lastSample = f.Text2[1].text;
    job.raw.step = f.RawOutputStep;
    job.raw.clockTimes = isChecked(f.Check15);
    for (int c = 0; c < kPositions; ++c) job.raw.multipliers[c] = valOf(f.Text3[c]);
    job.raw.year = static_cast<int>(valOf(f.Text6));
    job.movingFft.exponent = valOf(f.Text11);
    job.movingFft.stepMs = valOf(f.Text12);
    job.movingFft.lowKHz = valOf(f.Text10[0]);
    job.movingFft.highKHz = valOf(f.Text10[1]);
    job.movingFft.stepKHz = valOf(f.Text10[2]);
    job.movingFft.bandMode = isChecked(f.Check14);
    job.channels.channelMap = f.ChannelMap;
    job.channels.swapFirstBlocks = isChecked(f.Check16);
    for (int p = 0; p < kPositions; ++p) job.channels.invertedColumn[p] = isChecked(f.Check17[p]);
    return job;
}

std::optional<std::string> kindMismatch(DataKind kind, const RecordingFacts& facts) {
    const RecordingKind recording = facts.kind;
    bool fits = false;
    switch (kind) {
        case DataKind::Waveform8840:
            fits = recording == RecordingKind::Waveform8840;
            break;
        case DataKind::Waveform:
            fits = recording == RecordingKind::BlockWaveform;
            break;
        case DataKind::Rms:
            fits = recording == RecordingKind::BlockRms;
            break;
        case DataKind::Logger:
            fits = recording == RecordingKind::Logger;
            break;
        case DataKind::Automatic:
            fits = facts.recognized();
            break;
    }
    if (fits) return std::nullopt;
    if (!facts.recognized()) return tr(recordingDescription(recording));
    return tr("{0}, not a {1} one", {tr(recordingDescription(recording)), kindCaption(kind)});
}

}  // namespace pqwave
