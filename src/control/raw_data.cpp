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

// The recorded channels whose range position is in use, in recording order.
std::vector<int> participatingChannels(const Form1Model& form) {
    std::vector<int> channels;
    for (int i = 0; i < channelPositions(form); ++i)
        if (form.Label14[form.ChannelMap[i]].enabled) channels.push_back(i);
    return channels;
}

// "ch3ﾚﾝｼﾞ" gives "ch3": the caption up to the "ﾚ" found from its fourth character on.
std::string columnName(const std::string& caption) {
    std::size_t at = findChars(caption, "ﾚ", 3);
    return at == std::string::npos ? caption : leftChars(caption, at);
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

// The sample counter is single precision; where a step no longer moves it on (beyond 2^24
// samples) it carries on in double precision rather than stalling.
class SampleCounter {
public:
    SampleCounter(double start, float step) : value_(static_cast<float>(start)), step_(step) {}
    double value() const { return value_; }
    void advance() {
        if (single_) {
            float next = static_cast<float>(value_) + step_;
            if (next != static_cast<float>(value_)) {
                value_ = next;
                return;
            }
            single_ = false;
        }
        value_ += step_;
    }

private:
    double value_;
    float step_;
    bool single_ = true;
};

// The per-file statistics of an RMS recording in the all-files run.
class RmsStatistics {
public:
    RmsStatistics(Form1Model& form, const std::vector<int>& channels) : form_(form), channels_(channels) {}
    bool active() const { return form_.BatchMode == 1 && form_.RmsDataFile == 1; }

    void fold(const std::int16_t* row, bool first) { form_.RmsStatistics.fold(row, channels_, first); }

    void finish(const std::vector<float>& multipliers, double countsPerDivision) {
        std::array<double, 16> factors{};
        for (int i : channels_)
            factors[i] = static_cast<float>(form_.ChannelScale[i] * multipliers[i]) / countsPerDivision;
        form_.RmsStatistics.finish(channels_, factors, valOf(form_.Text2[1]) - valOf(form_.Text2[0]) + 1);
    }

private:
    Form1Model& form_;
    const std::vector<int>& channels_;
};

}  // namespace

void writeRawData(Form1Model& form, TextOutputFile* file) {
    const std::vector<int> channels = participatingChannels(form);
    const bool rms = form.RmsDataFile == 1;
    std::vector<float> multipliers(kPositions);
    for (int i = 0; i < channelPositions(form); ++i) multipliers[i] = static_cast<float>(valOf(form.Text3[i]));
    const TimeColumn time = timeColumnOf(form);
    const double countsPerDivision = requireNonZero(form, valOf(form.V_Div), "the count per division (V_Div)");

    if (file) {
        std::string header = time.header;
        for (int i : channels) {
            std::string name = columnName(form.Label12[i].text);
            header += rms ? "," + name + "Max," + name + "min" : "," + name;
        }
        file->writeLine(header);
    }

    correctRange(form);
    const double first = valOf(form.Text2[0]);
    const double last = std::min(valOf(form.Text2[1]), static_cast<double>(form.SampleTable.rows()) - 1.5);
    double secondsFactor = 0;
    if (!time.clock) {
        double samplesPerDivision = requireNonZero(form, valOf(form.T_Div), "the samples per division (T_Div)");
        secondsFactor = valOf(form.Label15[2]) / samplesPerDivision / form.TimeUnitFactor;
    }

    std::vector<CodeTextCache> texts;
    for (int i : channels)
        texts.emplace_back(static_cast<float>(form.ChannelScale[i] * multipliers[i]) / countsPerDivision);
    RmsStatistics statistics(form, channels);
    const bool folding = statistics.active();
    const std::size_t valuesPerRow = channels.size() * (rms ? 2 : 1);
    const std::size_t rowBytes = 64 + valuesPerRow * (CodeTextCache::kTextBytes + 1);
    const double rowsTotal = std::max(1.0, last - first + 1);

    std::size_t rowsWritten = 0;
    for (SampleCounter s(first, form.RawOutputStep); s.value() <= last; s.advance()) {
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
    if (folding && rowsWritten > 0) statistics.finish(multipliers, countsPerDivision);
}

TimeOfDayInput timeOfDayInputOf(const Form1Model& form) {
    TimeOfDayInput input;
    // Here the pre-trigger is a percentage of the measurement time.
    input.start = startDateTime(form) - secondsToDays(valOf(form.LabSTim) * valOf(form.Label26) / 100);
    input.year = static_cast<int>(valOf(form.Text6));
    input.samplePeriodSeconds = form.SamplePeriod;
    input.samples = static_cast<long long>(form.SampleCount);
    input.rmsRecording = isSelected(form.Option1[3]);
    input.channels = participatingChannels(form);
    const double countsPerDivision = requireNonZero(form, valOf(form.V_Div), "the count per division (V_Div)");
    for (int i : input.channels) input.factors[i] = valOf(form.Text3[i]) * form.ChannelScale[i] / countsPerDivision;
    return input;
}

std::vector<ChannelColumn> summaryChannelsOf(const Form1Model& form) {
    std::vector<ChannelColumn> columns;
    for (int i : participatingChannels(form)) columns.push_back({i, columnName(form.Label12[i].text)});
    return columns;
}

}  // namespace pqwave
