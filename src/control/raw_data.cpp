#include "control/raw_data.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "common/code_text_cache.h"
#include "common/datetime.h"
#include "common/error.h"
#include "common/numbers.h"
#include "common/sample_counter.h"
#include "common/text.h"
#include "common/text_output_file.h"
#include "common/textforms.h"
#include "control/form1_model.h"

namespace pqwave {
namespace {

// Positions that may hold a recorded channel: the recorded count, and for 8840 files (which
// keep each channel at its own position even when one before it is switched off) up to
// the last active position, so a gap does not drop the last channel.
int channelPositions(const Form1Model& form) {
    int positions = std::max(form.ChannelCount, form.LastActiveChannel + 1);
    int columns = static_cast<int>(form.SampleTable.columns()) / (form.RmsDataFile == 1 ? 2 : 1);
    return std::clamp(std::min(positions, columns), 0, kPositions);
}

double requireNonZero(const Form1Model& form, double value, const char* what) {
    if (value == 0 || !std::isfinite(value))
        throw ArithmeticError(form.Label1.text + ": " + what + " is 0, so the values cannot be scaled");
    return value;
}

// Date and time of the recording's start, as the header labels give them.
double startDateTime(const Form1Model& form) {
    auto date = DateValue(form.Label15[0].text);
    auto time = TimeValue(form.Label15[1].text);
    if (!date || !time)
        throw Error(ErrorKind::Malformed, form.Label1.text + ": start \"" + form.Label15[0].text + " " +
                                              form.Label15[1].text + "\" is not a date and time");
    return *date + *time;
}

struct TimeColumn {
    bool clock = false;
    double start = 0;  // clock times: the date-time of sample 0
    double scale = 1;  // otherwise: 1 for seconds, 1000 for milliseconds
    std::string header;
};

// Clock times are written only when every one of them is a date the file can show.
void requireCalendarTimes(const Form1Model& form, double first, double last) {
    if (isCalendarDateTime(first) && isCalendarDateTime(last)) return;
    throw Error(ErrorKind::Malformed, form.Label1.text + ": the pre-trigger of " + form.Label26.text +
                                          " with a start of " + form.Label15[0].text + " " + form.Label15[1].text +
                                          " puts the sample times out of any calendar (時間軸を時刻(日時)で出力)");
}

TimeColumn timeColumnOf(const Form1Model& form) {
    TimeColumn t;
    double rate = valOf(form.Label21);
    if (isChecked(form.Check15) || rate <= 1) {
        t.clock = true;
        t.header = "日時";
        // Here the pre-trigger counts sample periods before the trigger.
        t.start = startDateTime(form) - secondsToDays(valOf(form.Label26) * form.SamplePeriodAtLoad);
    } else if (rate < 10) {
        t.header = "s";
    } else {
        t.header = "ms";
        t.scale = 1000;
    }
    return t;
}

// The range written back into Text2: a start below 0 becomes 0, an end beyond the
// recording its last sample.
void correctRange(Form1Model& form) {
    if (valOf(form.Text2[0]) < 0) setText(form.Text2[0], "0");
    if (form.SampleCount <= valOf(form.Text2[1])) setText(form.Text2[1], formD(form.SampleCount - 1));
}

// The per-file statistics of an RMS recording in the all-files run.
class RmsStatistics {
public:
    RmsStatistics(Form1Model& form, const std::vector<int>& channels) : form_(form), channels_(channels) {}
    bool active() const { return form_.BatchMode == 1 && form_.RmsDataFile == 1; }

    void fold(const std::int16_t* row, bool first) { form_.RmsStatistics.fold(row, channels_, first); }

    void finish() {
        std::array<double, 16> factors{};
        for (int i : channels_) factors[i] = rawDataFactor(form_, i);
        form_.RmsStatistics.finish(channels_, factors, valOf(form_.Text2[1]) - valOf(form_.Text2[0]) + 1);
    }

private:
    Form1Model& form_;
    const std::vector<int>& channels_;
};

}  // namespace

std::vector<int> rawDataChannels(const Form1Model& form) {
    std::vector<int> channels;
    for (int i = 0; i < channelPositions(form); ++i)
        if (form.Label14[form.ChannelMap[i]].enabled) channels.push_back(i);
    return channels;
}

std::string rawDataColumnName(const Form1Model& form, int channel) {
    const std::string& caption = form.Label12[channel].text;
    std::size_t at = findChars(caption, "ﾚ", 3);
    return at == std::string::npos ? caption : leftChars(caption, at);
}

double rawDataFactor(const Form1Model& form, int channel) {
    const double countsPerDivision = requireNonZero(form, valOf(form.V_Div), "the count per division (V_Div)");
    const float multiplier = static_cast<float>(valOf(form.Text3[channel]));
    return static_cast<float>(form.ChannelScale[channel] * multiplier) / countsPerDivision;
}

RawDataRows rawDataRows(const Form1Model& form) {
    RawDataRows rows;
    rows.first = std::max(valOf(form.Text2[0]), 0.0);
    const double last = form.SampleCount <= valOf(form.Text2[1]) ? form.SampleCount - 1 : valOf(form.Text2[1]);
    rows.last = std::min(last, static_cast<double>(form.SampleTable.rows()) - 1.5);
    rows.step = form.RawOutputStep;
    return rows;
}

void writeRawData(Form1Model& form, TextOutputFile* file) {
    const std::vector<int> channels = rawDataChannels(form);
    const bool rms = form.RmsDataFile == 1;
    const TimeColumn time = timeColumnOf(form);
    requireNonZero(form, valOf(form.V_Div), "the count per division (V_Div)");

    if (file) {
        std::string header = time.header;
        for (int i : channels) {
            std::string name = rawDataColumnName(form, i);
            header += rms ? "," + name + "Max," + name + "min" : "," + name;
        }
        file->writeLine(header);
    }

    correctRange(form);
    const RawDataRows range = rawDataRows(form);
    const double first = range.first, last = range.last;
    if (time.clock && first <= last)
        requireCalendarTimes(form, time.start + secondsToDays(form.SamplePeriodAtLoad * first),
                             time.start + secondsToDays(form.SamplePeriodAtLoad * last));
    double secondsFactor = 0;
    if (!time.clock) {
        double samplesPerDivision = requireNonZero(form, valOf(form.T_Div), "the samples per division (T_Div)");
        secondsFactor = valOf(form.Label15[2]) / samplesPerDivision / form.TimeUnitFactor;
    }

    std::vector<CodeTextCache> texts;
    for (int i : channels) texts.emplace_back(rawDataFactor(form, i));
    RmsStatistics statistics(form, channels);
    const bool folding = statistics.active();
    const std::size_t valuesPerRow = channels.size() * (rms ? 2 : 1);
    const std::size_t rowBytes = 64 + valuesPerRow * (CodeTextCache::kTextBytes + 1);
    const double rowsTotal = std::max(1.0, last - first + 1);

    std::size_t rowsWritten = 0;
    for (SampleCounter s(first, range.step); s.value() <= last; s.advance()) {
        const std::size_t index = static_cast<std::size_t>(roundHalfEven(s.value()));
        const std::int16_t* row = form.SampleTable.row(index);
        if (folding) statistics.fold(row, rowsWritten == 0);
        ++rowsWritten;
        if (!file) continue;
        char* out = file->reserve(rowBytes);
        if (time.clock) {
            std::string clock = formT(time.start + secondsToDays(form.SamplePeriodAtLoad * s.value()));
            out = std::copy(clock.begin(), clock.end(), out);
        } else {
            out = appendP(out, s.value() * secondsFactor * time.scale);
        }
        for (std::size_t c = 0; c < channels.size(); ++c) {
            int column = rms ? 2 * channels[c] : channels[c];
            *out++ = ',';
            out = texts[c].append(out, row[column]);
            if (rms) {
                *out++ = ',';
                out = texts[c].append(out, row[column + 1]);
            }
        }
        *out++ = '\r';
        *out++ = '\n';
        file->release(out);
        if ((rowsWritten & 0xFFFF) == 0) form.progress.advance((s.value() - first) / rowsTotal);
    }
    if (folding && rowsWritten > 0) statistics.finish();
}

TimeOfDayInput timeOfDayInputOf(const Form1Model& form) {
    TimeOfDayInput input;
    // Here the pre-trigger is a percentage of the measurement time.
    input.start = startDateTime(form) - secondsToDays(valOf(form.LabSTim) * valOf(form.Label26) / 100);
    requireCalendarTimes(form, input.start, input.start + secondsToDays(form.SamplePeriod * form.SampleCount));
    input.year = static_cast<int>(valOf(form.Text6));
    input.samplePeriodSeconds = form.SamplePeriod;
    input.samples = static_cast<long long>(form.SampleCount);
    input.rmsRecording = isSelected(form.Option1[3]);
    input.channels = rawDataChannels(form);
    const double countsPerDivision = requireNonZero(form, valOf(form.V_Div), "the count per division (V_Div)");
    for (int i : input.channels) input.factors[i] = valOf(form.Text3[i]) * form.ChannelScale[i] / countsPerDivision;
    return input;
}

std::vector<ChannelColumn> summaryChannelsOf(const Form1Model& form) {
    std::vector<ChannelColumn> columns;
    for (int i : rawDataChannels(form)) columns.push_back({i, rawDataColumnName(form, i)});
    return columns;
}

}  // namespace pqwave
