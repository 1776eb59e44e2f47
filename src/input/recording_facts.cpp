// The derivations of the main window's header display, as plain values. The window shows each
// derived number as text and every later rule read it back, so each number here is the one its
// text gives back ("shown"): a rate rounded to 0.1 Hz, a time rounded to 0.01, 0 where the
// header gives no number.
#include "input/recording_facts.h"

#include <cmath>
#include <variant>

#include "common/datetime.h"
#include "common/numbers.h"
#include "common/text.h"
#include "common/textforms.h"

namespace pqwave {
namespace {

// The number a label shows for `value`: 0 when it is not finite.
double shown(double value) {
    return std::isfinite(value) ? Val(formD(value)) : 0;
}

double timeUnitFactorOfBlockHeader(const std::string& timeAxis) {
    if (contains(timeAxis, "ms")) return 1000;
    if (contains(timeAxis, "us")) return 1000000;
    if (contains(timeAxis, "min")) return 1.0 / 60;
    return 1;
}

std::string channelName(const std::string& numberField) {
    double rounded = roundHalfEven(Val(numberField));
    long n = fitsInt32(rounded) ? static_cast<long>(rounded) : 0;
    if (n > 100) return "ch" + std::to_string(n / 100) + "-" + std::to_string(n % 100) + "ﾚﾝｼﾞ";
    return "ch" + numberField + "ﾚﾝｼﾞ";
}

// The start time as "hh-mm-ss" for the proposed file name; a text that is no time is kept,
// without the characters a file name cannot hold.
std::string timeForFileName(const std::string& startTime) {
    if (auto time = TimeValue(startTime)) return formatHhMmSs(*time);
    std::string kept = startTime;
    for (char& c : kept)
        if (c == '/' || c == '\\' || c == ':') c = '-';
    return kept;
}

// The time axis' number, the sample count and everything derived from them.
void deriveTimeAxis(RecordingFacts& f) {
    f.timePerDivision = Val(leftChars(f.timeAxis, 3));
    const double d = f.timePerDivision, perDivision = f.samplesPerDivision;
    f.sampleCount = roundHalfEven(f.layout.sampleCount);
    f.samplingHz = shown(Int(perDivision * (1 / d) * f.timeUnitFactor * 10 + 0.5) / 10);
    const double period = d / perDivision / f.timeUnitFactor;
    f.samplePeriod = std::isfinite(period) ? static_cast<float>(period) : 0.0f;
    const double periodAtLoad = (d / f.timeUnitFactor) / perDivision;
    f.samplePeriodAtLoad = std::isfinite(periodAtLoad) ? periodAtLoad : 0.0;
}

// The measurement time of a block header, from the whole record length: its first four
// characters alone would make a record of 12000 divisions last a tenth of its time.
double blockRecordSeconds(const RecordingFacts& f, double recordLength) {
    return shown(Int(f.timePerDivision * recordLength / f.timeUnitFactor * 100 + 0.5) / 100);
}

void fillFacts(RecordingFacts& f, const Header8840& h) {
    f.kind = RecordingKind::Waveform8840;
    f.layout = recordingLayoutOf(h);
    f.model = "8840";
    f.samplesPerDivision = 100;
    f.countsPerDivision = 80;
    f.startDate = h.startDate;
    f.startTime = h.startTime;
    f.recordLength = h.recordLength;
    f.timeAxis = h.timePerDivision;
    f.preTriggerText = h.preTrigger;
    for (int k = 0; k < 8; ++k)
        f.channels[k] = {"ch" + std::to_string(k + 1) + "ﾚﾝｼﾞ", h.ranges[k], f.layout.channelPresent[k]};
    f.timeUnitFactor = contains(f.timeAxis, "m") ? 1000 : contains(f.timeAxis, "u") ? 1000000 : 1;
    deriveTimeAxis(f);
    // The count as the window shows it, in single precision.
    const double shownCount = Val(formS(static_cast<float>(f.layout.sampleCount)));
    f.recordSeconds = shown((shownCount - 1) / f.samplingHz);
}

void fillFacts(RecordingFacts& f, const BlockHeader& h) {
    const HeaderBlock& g = h.general;
    f.layout = recordingLayoutOf(h);
    f.kind = f.layout.rmsDataFile == 1 ? RecordingKind::BlockRms : RecordingKind::BlockWaveform;
    f.model = g[2];
    f.samplesPerDivision = f.layout.formatCode == 80 ? 100 : shown(Val(g[10]));
    f.countsPerDivision = shown(Val(g[14]));
    auto date = DateValue(g[7]);
    f.startDate = date ? formT(*date) : g[7];
    f.startTime = leftChars(g[8], 8);
    f.recordLength = formD(Val(g[5]));
    f.timeAxis = g[11] + "/DIV";
    f.preTriggerText = g[19];
    f.timeUnitFactor = timeUnitFactorOfBlockHeader(f.timeAxis);
    deriveTimeAxis(f);
    f.recordSeconds = blockRecordSeconds(f, Val(f.recordLength));
    for (int u = 0; u < kChannelPositions && f.layout.channelPresent[u]; ++u) {
        const HeaderBlock& block = h.channelBlocks[f.layout.sourceOfPosition[u]];
        f.channels[u] = {channelName(block[1]), block[4] + "/DIV", true};
    }
}

void fillFacts(RecordingFacts& f, const LoggerHeader& h) {
    f.kind = RecordingKind::Logger;
    f.layout = recordingLayoutOf(h);
    f.model = h.general[2];
    f.samplesPerDivision = 1;
    f.countsPerDivision = 20000;
    f.startDate = h.startDate;
    f.startTime = h.startTime;
    f.recordLength = h.recordLength;
    f.timeAxis = h.samplingInterval;
    f.preTriggerText = h.preTrigger;
    // Each recorded channel takes the next position, as in block-header files, so that a
    // switched-off channel between two recorded ones leaves no gap in the channel table.
    for (int u = 0; u < kChannelPositions && f.layout.channelPresent[u]; ++u) {
        const LoggerChannelBlock& block = h.channels[f.layout.sourceOfPosition[u]];
        f.channels[u] = {"ch" + formD(Val(block.number)) + "ﾚﾝｼﾞ", block.range + "/fs", true};
    }
    f.timeUnitFactor = timeUnitFactorOfBlockHeader(f.timeAxis);
    f.timePerDivision = Val(leftChars(f.timeAxis, 3));
    f.recordSeconds = blockRecordSeconds(f, Val(leftChars(f.recordLength, 4)));
    deriveTimeAxis(f);
}

}  // namespace

double RecordingFacts::samplesPerIntervalOf(double intervalMs) const {
    if (kind == RecordingKind::Logger) return 1;
    const double n =
        shown(Int(samplesPerDivision * (intervalMs / timePerDivision) / 1000 * timeUnitFactor * 1000 + 0.5) / 1000);
    // The label holds the number in single precision.
    return Val(formS(static_cast<float>(n)));
}

std::optional<double> RecordingFacts::startDateTime() const {
    auto date = DateValue(startDate);
    auto time = TimeValue(startTime);
    if (!date || !time) return std::nullopt;
    return *date + *time;
}

std::string RecordingFacts::proposedOutputName() const {
    return rightChars(startDate, 2) + "D" + timeForFileName(startTime) + ".csv";
}

RecordingFacts recordingFactsOf(const InstrumentHeader& header, const std::string& fileName) {
    RecordingFacts facts;
    facts.fileName = fileName;
    std::visit(
        [&facts](const auto& h) {
            if constexpr (!std::is_same_v<std::decay_t<decltype(h)>, UnrecognizedHeader>) fillFacts(facts, h);
        },
        header);
    facts.preTrigger = shown(Val(facts.preTriggerText));
    return facts;
}

RecordingFacts readRecordingFacts(const std::filesystem::path& path) {
    return recordingFactsOf(readHeader(path), path.string());
}

}  // namespace pqwave
