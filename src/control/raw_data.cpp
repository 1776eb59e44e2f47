#include "control/raw_data.h"

#include <algorithm>
#include <cmath>

#include "common/code_text_cache.h"
#include "common/datetime.h"
#include "common/error.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/sample_counter.h"
#include "common/text.h"
#include "common/text_output_file.h"
#include "common/textforms.h"

namespace pqwave {
namespace {

// Positions that may hold a recorded channel: the recorded count, and for 8840 files (which
// keep each channel at its own position even when one before it is switched off) up to
// the last active position, so a gap does not drop the last channel.
int channelPositions(const Recording& r) {
    const int positions = std::max(r.facts.channelCount(), r.lastActiveChannel + 1);
    const int columns = static_cast<int>(r.table.columns()) / (r.facts.rms() ? 2 : 1);
    return std::clamp(std::min(positions, columns), 0, kChannelPositions);
}

std::string columnName(const std::string& caption) {
    const std::size_t at = findChars(caption, "ﾚ", 3);
    return at == std::string::npos ? caption : leftChars(caption, at);
}

std::vector<RawDataColumn> columnsOf(const ConversionJob& job, const Recording& r) {
    std::vector<RawDataColumn> columns;
    for (int i = 0; i < channelPositions(r); ++i) {
        if (!r.facts.channels[i].recorded) continue;
        const auto multiplier = static_cast<float>(job.raw.multipliers[i]);
        const double factor = static_cast<float>(r.channelScale[i] * multiplier) / r.facts.countsPerDivision;
        columns.push_back({i, columnName(r.facts.channels[i].name), factor});
    }
    return columns;
}

// The date-time of sample 0 as the header gives the start; refuses one that is no date.
double startDateTime(const RecordingFacts& f) {
    if (auto start = f.startDateTime()) return *start;
    throw Error(ErrorKind::Malformed,
                tr("{0}: start \"{1} {2}\" is not a date and time", {f.fileName, f.startDate, f.startTime}));
}

// Clock times are written only when every one of them is a date the file can show.
void requireCalendarTimes(const RecordingFacts& f, double first, double last) {
    if (isCalendarDateTime(first) && isCalendarDateTime(last)) return;
    throw Error(ErrorKind::Malformed, tr("{0}: the pre-trigger of {1} with a start of {2} {3} puts the sample times "
                                         "out of any calendar (時間軸を時刻(日時)で出力)",
                                         {f.fileName, formD(f.preTrigger), f.startDate, f.startTime}));
}

void setTimeColumn(const ConversionJob& job, const RecordingFacts& f, RawDataSettings& s) {
    const double rate = f.samplingHz;
    s.samplePeriodAtLoad = f.samplePeriodAtLoad;
    if (job.raw.clockTimes || rate <= 1) {
        s.clockTimes = true;
        s.timeHeader = "日時";
        // Here the pre-trigger counts sample periods before the trigger.
        s.clockStart = startDateTime(f) - secondsToDays(f.preTrigger * f.samplePeriodAtLoad);
        return;
    }
    s.timeHeader = rate < 10 ? "s" : "ms";
    s.timeScale = rate < 10 ? 1 : 1000;
    if (f.samplesPerDivision == 0 || !std::isfinite(f.samplesPerDivision))
        throw ArithmeticError(
            tr("{0}: the samples per division (T_Div) is 0, so the samples have no times", {f.fileName}));
    // The whole time axis text's number, not only its first three characters.
    s.secondsPerSample = Val(f.timeAxis) / f.samplesPerDivision / f.timeUnitFactor;
}

struct SampleRange {
    double first = 0, last = -1;
};

// The range as the run corrects it: a start below 0 is 0, an end beyond the recording (or
// none) its last sample.
SampleRange correctedRange(const ConversionJob& job, const RecordingFacts& f) {
    const double first = Val(job.raw.firstSample);
    const double last = job.raw.lastSample.empty() ? f.sampleCount - 1 : Val(job.raw.lastSample);
    return {first < 0 ? 0 : first, f.sampleCount <= last ? f.sampleCount - 1 : last};
}

}  // namespace

std::optional<std::string> spreadsheetRowsWarning(const ConversionJob& job, const RecordingFacts& facts) {
    if (job.processing != Processing::RawData || job.statisticsOnly) return std::nullopt;
    const SampleRange range = correctedRange(job, facts);
    const double step = job.raw.step >= 1 ? job.raw.step : 1;
    if (!(range.last >= range.first)) return std::nullopt;
    const double samples = range.last - range.first + 1;
    const double lines = std::floor((range.last - range.first) / step) + 1 + 2;
    if (!(lines > kSpreadsheetRows)) return std::nullopt;
    const double fittingStep = std::ceil(samples / (kSpreadsheetRows - 2));
    return tr(
        "{0}: the raw-data CSV will have {1} lines, more than the {2} a spreadsheet opens; it is written all "
        "the same, and a Step (Text4, --step) of {3} would fit it",
        {facts.fileName, formD(lines), formD(kSpreadsheetRows), formD(fittingStep)});
}

RawDataSettings rawDataSettingsFor(const ConversionJob& job, const Recording& r) {
    const RecordingFacts& f = r.facts;
    RawDataSettings s;
    s.fileName = f.fileName;
    s.rms = f.rms();
    s.columns = columnsOf(job, r);
    setTimeColumn(job, f, s);
    const SampleRange range = correctedRange(job, f);
    s.correctedFirst = range.first;
    s.correctedLast = range.last;
    s.first = s.correctedFirst;
    s.last = std::min(s.correctedLast, static_cast<double>(r.table.rows()) - 1.5);
    s.step = job.raw.step;
    if (s.clockTimes && s.first <= s.last)
        requireCalendarTimes(f, s.clockStart + secondsToDays(f.samplePeriodAtLoad * s.first),
                             s.clockStart + secondsToDays(f.samplePeriodAtLoad * s.last));
    return s;
}

void writeRawData(const RawDataSettings& s, const Recording& recording, TextOutputFile* file, Progress& progress,
                  RmsFileStatistics* statistics) {
    if (file) {
        std::string header = s.timeHeader;
        for (const RawDataColumn& c : s.columns)
            header += s.rms ? "," + c.name + "Max," + c.name + "min" : "," + c.name;
        file->writeLine(header);
    }
    std::vector<int> channels;
    std::vector<CodeTextCache> texts;
    for (const RawDataColumn& c : s.columns) {
        channels.push_back(c.channel);
        texts.emplace_back(c.factor);
    }
    const bool folding = statistics && s.rms;
    const std::size_t valuesPerRow = s.columns.size() * (s.rms ? 2 : 1);
    const std::size_t rowBytes = 64 + valuesPerRow * (CodeTextCache::kTextBytes + 1);
    const double rowsTotal = std::max(1.0, s.last - s.first + 1);

    std::size_t rowsWritten = 0;
    for (SampleCounter counter(s.first, s.step); counter.value() <= s.last; counter.advance()) {
        const std::size_t index = static_cast<std::size_t>(roundHalfEven(counter.value()));
        const std::int16_t* row = recording.table.row(index);
        if (folding) statistics->fold(row, channels, rowsWritten == 0);
        ++rowsWritten;
        if (!file) continue;
        char* out = file->reserve(rowBytes);
        if (s.clockTimes) {
            std::string clock = formT(s.clockStart + secondsToDays(s.samplePeriodAtLoad * counter.value()));
            out = std::copy(clock.begin(), clock.end(), out);
        } else {
            out = appendP(out, counter.value() * s.secondsPerSample * s.timeScale);
        }
        for (std::size_t c = 0; c < channels.size(); ++c) {
            const int column = s.rms ? 2 * channels[c] : channels[c];
            *out++ = ',';
            out = texts[c].append(out, row[column]);
            if (s.rms) {
                *out++ = ',';
                out = texts[c].append(out, row[column + 1]);
            }
        }
        *out++ = '\r';
        *out++ = '\n';
        file->release(out);
        if ((rowsWritten & 0xFFFF) == 0) progress.advance((counter.value() - s.first) / rowsTotal);
    }
    if (folding && rowsWritten > 0) {
        std::array<double, 16> factors{};
        for (const RawDataColumn& c : s.columns) factors[c.channel] = c.factor;
        statistics->finish(channels, factors, s.correctedLast - s.correctedFirst + 1);
    }
}

TimeOfDayInput timeOfDayInputFor(const ConversionJob& job, const Recording& r) {
    const RecordingFacts& f = r.facts;
    TimeOfDayInput input;
    // Here the pre-trigger is a percentage of the measurement time.
    input.start = startDateTime(f) - secondsToDays(f.recordSeconds * f.preTrigger / 100);
    requireCalendarTimes(f, input.start, input.start + secondsToDays(f.samplePeriod * f.sampleCount));
    input.year = job.raw.year;
    input.samplePeriodSeconds = f.samplePeriod;
    input.samples = static_cast<long long>(f.sampleCount);
    input.rmsRecording = job.kind == DataKind::Rms;
    for (const RawDataColumn& c : columnsOf(job, r)) {
        input.channels.push_back(c.channel);
        input.factors[c.channel] = job.raw.multipliers[c.channel] * r.channelScale[c.channel] / f.countsPerDivision;
    }
    return input;
}

std::vector<ChannelColumn> summaryChannelsOf(const RawDataSettings& settings) {
    std::vector<ChannelColumn> columns;
    for (const RawDataColumn& c : settings.columns) columns.push_back({c.channel, c.name});
    return columns;
}

}  // namespace pqwave
