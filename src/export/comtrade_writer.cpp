// The COMTRADE pair: a first pass over the exported samples finds each analog channel's
// extreme codes (for min, max and the one reserved code), the second streams the records
// into NAME.dat, and NAME.cfg, which needs the counts, is written last.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "common/datetime.h"
#include "common/error.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/sample_counter.h"
#include "common/text_output_file.h"
#include "common/textforms.h"
#include "export/comtrade.h"

namespace pqwave {
namespace {

constexpr int kNoData = -32768;
constexpr std::size_t kMaxNameLength = 64;
constexpr std::int64_t kMicrosecondsPerDay = 86'400'000'000;

// The revision's names are ASCII; a comma would split the field.
bool writable(const std::string& name) {
    if (name.size() > kMaxNameLength) return false;
    return std::all_of(name.begin(), name.end(), [](char c) { return c >= 0x20 && c <= 0x7E && c != ','; });
}

std::string writableOr(const std::string& name, const std::string& replacement) {
    return writable(name) ? name : replacement;
}

// The shortest text that reads back as the same double, without an exponent unless the
// field would grow beyond its 32 characters.
std::string exactText(double value) {
    char text[64];
    auto fixed = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    if (fixed.ec == std::errc() && fixed.ptr - text <= 32) return std::string(text, fixed.ptr);
    auto scientific = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    std::string s(text, scientific.ptr);
    std::replace(s.begin(), s.end(), 'e', 'E');
    return s;
}

// A ratio as typed: 15 significant digits hide the binary noise of 200 / 0.2.
std::string ratioText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15G", value);
    return text;
}

std::string twoDigits(int value) {
    return {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

// dd/mm/yyyy,hh:mm:ss.ssssss
std::string comtradeTime(std::int64_t microseconds) {
    std::int64_t days = microseconds / kMicrosecondsPerDay;
    std::int64_t ofDay = microseconds % kMicrosecondsPerDay;
    if (ofDay < 0) ofDay += kMicrosecondsPerDay, --days;
    CivilDateTime date = toCivil(static_cast<double>(days));
    std::int64_t seconds = ofDay / 1'000'000;
    char text[40];
    std::snprintf(text, sizeof text, "%s/%s/%04d,%s:%s:%s.%06lld", twoDigits(date.day).c_str(),
                  twoDigits(date.month).c_str(), date.year, twoDigits(static_cast<int>(seconds / 3600)).c_str(),
                  twoDigits(static_cast<int>(seconds / 60 % 60)).c_str(),
                  twoDigits(static_cast<int>(seconds % 60)).c_str(), static_cast<long long>(ofDay % 1'000'000));
    return text;
}

// f(index of the exported sample from 0, row of the table)
template <typename F>
void forEachSample(const ComtradeSettings& s, F&& f) {
    std::size_t index = 0;
    for (SampleCounter counter(s.firstSample, s.step); counter.value() <= s.lastSample; counter.advance())
        f(index++, static_cast<std::size_t>(roundHalfEven(counter.value())));
}

// How one analog channel's codes are written: shifted up by one when that keeps -32768 out
// of the file, and the extremes written, for the min and max fields.
struct AnalogCodes {
    int shift = 0;
    int min = 0, max = 0;
};

std::vector<AnalogCodes> scanCodes(const ComtradeSettings& s, const RawSampleTable& table, std::size_t& samples) {
    const std::size_t channels = s.analog.size();
    std::vector<int> low(channels, std::numeric_limits<int>::max()), high(channels, std::numeric_limits<int>::min());
    samples = 0;
    forEachSample(s, [&](std::size_t, std::size_t row) {
        const std::int16_t* values = table.row(row);
        for (std::size_t k = 0; k < channels; ++k) {
            int code = values[s.analog[k].column];
            low[k] = std::min(low[k], code);
            high[k] = std::max(high[k], code);
        }
        ++samples;
    });
    std::vector<AnalogCodes> codes(channels);
    for (std::size_t k = 0; k < channels && samples > 0; ++k) {
        AnalogCodes& c = codes[k];
        if (low[k] == kNoData && high[k] < 32767) c.shift = 1;
        c.min = low[k] + c.shift;
        c.max = high[k] + c.shift;
        // Both extremes occur: BINARY writes -32768 as -32767.
        if (c.min == kNoData && s.format == ComtradeFormat::Binary) c.min = kNoData + 1;
    }
    return codes;
}

struct Timing {
    double timemult = 0;  // microseconds between exported samples
    std::int64_t firstMicroseconds = 0;
};

// Periods are whole picoseconds, which removes the binary noise of 1 / (1/60) without
// touching any period an instrument samples at.
Timing timingOf(const ComtradeSettings& s) {
    const double periodMicros = std::round(s.samplePeriodSeconds * 1e12) / 1e6;
    const double timemult = std::round(periodMicros * s.step * 1e6) / 1e6;
    if (!(periodMicros > 0) || !(timemult > 0) || !std::isfinite(timemult))
        throw ArithmeticError(tr("{0}: the sampling period is {1} s, so the samples have no times",
                                 {s.recordingName, formD(s.samplePeriodSeconds)}));
    Timing t;
    t.timemult = timemult;
    const long double first = SampleCounter(s.firstSample, s.step).value();
    const long double offset = (first - s.preTriggerSamples) * static_cast<long double>(periodMicros);
    if (!(std::fabs(offset) < 1e17L))
        throw ArithmeticError(tr("{0}: the pre-trigger of {1} samples puts the start out of any calendar",
                                 {s.recordingName, formD(s.preTriggerSamples)}));
    t.firstMicroseconds = s.triggerMicroseconds + std::llround(offset);
    return t;
}

void writeConfig(TextOutputFile& cfg, const ComtradeSettings& s, const std::vector<AnalogCodes>& codes,
                 const Timing& timing, std::size_t samples) {
    auto line = [&](const std::string& text) {
        cfg.writeAscii(text);
        cfg.endLine();
    };
    line(writableOr(s.stationName, "recording") + "," + writableOr(s.deviceId, "unknown") + ",1999");
    const std::size_t analog = s.analog.size(), digital = s.digital.size();
    line(std::to_string(analog + digital) + "," + std::to_string(analog) + "A," + std::to_string(digital) + "D");
    for (std::size_t k = 0; k < analog; ++k) {
        const ComtradeAnalogChannel& c = s.analog[k];
        const std::string n = std::to_string(k + 1);
        const double b = codes[k].shift == 0 ? 0.0 : -c.a * codes[k].shift;
        line(n + "," + writableOr(c.name, "ch" + n) + ",,," + writableOr(c.unit, "-") + "," + exactText(c.a) + "," +
             exactText(b) + ",0," + std::to_string(codes[k].min) + "," + std::to_string(codes[k].max) + "," +
             ratioText(c.primary) + "," + ratioText(c.secondary) + ",S");
    }
    for (std::size_t d = 0; d < digital; ++d) {
        const std::string n = std::to_string(d + 1);
        line(n + "," + writableOr(s.digital[d].name, "D" + n) + ",,,0");
    }
    line(ratioText(s.lineFrequency));
    line("1");
    line(exactText(1e6 / timing.timemult) + "," + std::to_string(samples));
    line(comtradeTime(timing.firstMicroseconds));
    line(comtradeTime(s.triggerMicroseconds));
    line(s.format == ComtradeFormat::Binary ? "BINARY" : "ASCII");
    line(exactText(timing.timemult));
}

inline char* putU32(char* out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) *out++ = static_cast<char>(v >> (8 * i) & 0xFF);
    return out;
}
inline char* putU16(char* out, std::uint16_t v) {
    *out++ = static_cast<char>(v & 0xFF);
    *out++ = static_cast<char>(v >> 8);
    return out;
}

// The records, streamed through one buffer; returns the BINARY codes raised off -32768.
std::int64_t writeData(TextOutputFile& dat, const ComtradeSettings& s, const std::vector<AnalogCodes>& codes,
                       const RawSampleTable& table, std::size_t samples, Progress& progress) {
    const bool binary = s.format == ComtradeFormat::Binary;
    const std::size_t analog = s.analog.size(), digital = s.digital.size(), words = (digital + 15) / 16;
    std::vector<int> columns, shifts;
    for (std::size_t k = 0; k < analog; ++k) {
        columns.push_back(s.analog[k].column);
        shifts.push_back(codes[k].shift);
    }
    // ASCII: each number appended needs kMaxNumberText bytes free where it starts.
    const std::size_t recordBytes = binary ? 8 + 2 * analog + 2 * words : 3 * kMaxNumberText + 8 * analog + 2 * digital;
    std::vector<std::uint16_t> packed(words);
    std::int64_t raised = 0;
    const double total = static_cast<double>(samples);

    forEachSample(s, [&](std::size_t index, std::size_t rowIndex) {
        const std::int16_t* row = table.row(rowIndex);
        char* out = dat.reserve(recordBytes);
        if (binary) {
            out = putU32(out, static_cast<std::uint32_t>(index + 1));
            out = putU32(out, static_cast<std::uint32_t>(index));
            for (std::size_t k = 0; k < analog; ++k) {
                int code = row[columns[k]] + shifts[k];
                if (code == kNoData) [[unlikely]] {
                    code = kNoData + 1;
                    ++raised;
                }
                out = putU16(out, static_cast<std::uint16_t>(code));
            }
            std::fill(packed.begin(), packed.end(), 0);
            for (std::size_t d = 0; d < digital; ++d)
                packed[d / 16] |=
                    static_cast<std::uint16_t>((row[s.digital[d].column] >> s.digital[d].bit & 1) << (d % 16));
            for (std::uint16_t word : packed) out = putU16(out, word);
        } else {
            out = appendI(out, static_cast<long long>(index + 1));
            *out++ = ',';
            out = appendI(out, static_cast<long long>(index));
            for (std::size_t k = 0; k < analog; ++k) {
                *out++ = ',';
                out = appendI(out, row[columns[k]] + shifts[k]);
            }
            for (const ComtradeDigitalChannel& d : s.digital) {
                *out++ = ',';
                *out++ = static_cast<char>('0' + (row[d.column] >> d.bit & 1));
            }
            *out++ = '\r';
            *out++ = '\n';
        }
        dat.release(out);
        if ((index & 0xFFFF) == 0xFFFF) progress.advance(static_cast<double>(index) / total);
    });
    return raised;
}

}  // namespace

std::filesystem::path comtradeDataPath(const std::filesystem::path& cfgPath) {
    std::filesystem::path dat = cfgPath;
    return dat.replace_extension(cfgPath.extension() == ".CFG" ? ".DAT" : ".dat");
}

ComtradeResult writeComtrade(const ComtradeSettings& s, const RawSampleTable& table,
                             const std::filesystem::path& cfgPath, Progress& progress, OutputFiles& files) {
    for (const ComtradeAnalogChannel& c : s.analog)
        if (c.column < 0 || static_cast<std::size_t>(c.column) >= table.columns())
            throw Error(ErrorKind::Malformed,
                        tr("{0}: channel {1} has no column in the samples", {s.recordingName, c.name}));
    for (const ComtradeDigitalChannel& d : s.digital)
        if (d.column < 0 || static_cast<std::size_t>(d.column) >= table.columns() || d.bit < 0 || d.bit > 15)
            throw Error(ErrorKind::Malformed,
                        tr("{0}: logic {1} has no column in the samples", {s.recordingName, d.name}));
    // A step below 1 would give samples twice, and one of 0 none after the first.
    if (!(s.firstSample >= 0) || !(s.step >= 1))
        throw Error(ErrorKind::NotAvailable, tr("{0}: samples from {1} every {2} cannot be exported",
                                                {s.recordingName, formD(s.firstSample), formS(s.step)}));
    if (s.lastSample > static_cast<double>(table.rows()) - 1.5)
        throw Error(ErrorKind::Malformed,
                    tr("{0}: the samples end before sample {1}", {s.recordingName, formD(s.lastSample)}));

    const Timing timing = timingOf(s);
    std::size_t samples = 0;
    const std::vector<AnalogCodes> codes = scanCodes(s, table, samples);
    if (samples == 0)
        throw Error(ErrorKind::NotAvailable, tr("{0}: the chosen range holds no samples", {s.recordingName}));
    if (samples > std::numeric_limits<std::uint32_t>::max())
        throw Error(ErrorKind::NotAvailable, tr("{0}: {1} samples are more than a COMTRADE file numbers",
                                                {s.recordingName, std::to_string(samples)}));

    // The data first: a reader that finds the new configuration finds its data beside it.
    TextOutputFile& dat = files.create(comtradeDataPath(cfgPath));
    ComtradeResult result;
    result.samples = static_cast<std::int64_t>(samples);
    result.lowestCodesRaised = writeData(dat, s, codes, table, samples, progress);
    writeConfig(files.create(cfgPath), s, codes, timing, samples);
    progress.throwIfCancelled();
    return result;
}

}  // namespace pqwave
