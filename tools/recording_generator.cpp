#include "tools/recording_generator.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <numbers>
#include <random>
#include <stdexcept>

#include "common/messages.h"

namespace pqwave::gen {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr std::size_t kBlock = 512;

// ---- small byte helpers

void putText(std::vector<std::byte>& bytes, std::size_t offset, const std::string& text, std::size_t width, char pad) {
    if (bytes.size() < offset + width) bytes.resize(offset + width);
    for (std::size_t i = 0; i < width; ++i) bytes[offset + i] = static_cast<std::byte>(i < text.size() ? text[i] : pad);
}

void putU16be(std::vector<std::byte>& out, std::uint16_t v) {
    out.push_back(static_cast<std::byte>(v >> 8));
    out.push_back(static_cast<std::byte>(v & 0xFF));
}

void putU16le(std::vector<std::byte>& out, std::uint16_t v) {
    out.push_back(static_cast<std::byte>(v & 0xFF));
    out.push_back(static_cast<std::byte>(v >> 8));
}

void setI32le(std::vector<std::byte>& bytes, std::size_t offset, std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::byte>((u >> (8 * i)) & 0xFF);
}

void setI16le(std::vector<std::byte>& bytes, std::size_t offset, std::int16_t v) {
    auto u = static_cast<std::uint16_t>(v);
    bytes[offset] = static_cast<std::byte>(u & 0xFF);
    bytes[offset + 1] = static_cast<std::byte>(u >> 8);
}

std::int16_t clampToInt16(double v) {
    return static_cast<std::int16_t>(std::clamp(std::nearbyint(v), -32768.0, 32767.0));
}

// ---- what the instrument's numbers mean

double leadingNumber(const std::string& text) {
    return std::atof(text.c_str());
}

// Seconds per unit of the time-per-division text.
double secondsPerUnit(const std::string& text) {
    if (text.find("ms") != std::string::npos) return 1e-3;
    if (text.find("us") != std::string::npos) return 1e-6;
    if (text.find("min") != std::string::npos) return 60;
    return 1;
}

// Volts (or the channel's unit) per division of a range text, as the instrument defines it.
double rangePerDivision(const std::string& range, bool rmsFile) {
    double number = leadingNumber(range);
    if (range.find("mV") != std::string::npos) return number / 1000;
    if (range.find('A') != std::string::npos) return rmsFile ? number / 10 : number / 4;
    return number;
}

// ---- per-layout facts

int headerBlocksOf(const RecordingSpec& spec) {
    int analog = static_cast<int>(spec.channels.size());
    return 1 + analog + spec.logicChannels;
}

std::vector<int> recordedChannels(const RecordingSpec& spec) {
    std::vector<int> recorded;
    for (int k = 0; k < static_cast<int>(spec.channels.size()); ++k)
        if (spec.channels[k].recorded) recorded.push_back(k);
    return recorded;
}

// ---- headers

std::string orDefault(const std::string& text, const std::string& fallback) {
    return text.empty() ? fallback : text;
}

std::string recordLengthOf(const RecordingSpec& spec) {
    return orDefault(spec.recordLength, std::to_string(spec.sampleCount / std::max(spec.samplesPerDivision, 1)));
}

std::string numberOf(const ChannelSpec& channel, int position) {
    return orDefault(channel.number, std::to_string(position + 1));
}

std::vector<std::byte> header8840(const RecordingSpec& spec) {
    const int headerKilobytes = 2;
    std::vector<std::byte> h(headerKilobytes * 1024, std::byte{' '});
    putText(h, 0, "HIOKI8825", 9, ' ');
    putText(h, 15, std::to_string(headerKilobytes), 2, ' ');
    putText(h, 24, spec.startDate, 8, ' ');
    putText(h, 33, spec.startTime, 8, ' ');
    putText(h, 41, spec.preTrigger, 6, ' ');
    putText(h, 75, recordLengthOf(spec), 8, ' ');
    putText(h, 83, std::to_string(spec.sampleCount), 7, ' ');
    putText(h, 93, spec.timePerDivision + "/DIV", 9, ' ');
    std::string flags;
    for (int k = 0; k < 8; ++k)
        flags += k < static_cast<int>(spec.channels.size()) && spec.channels[k].recorded ? '1' : '0';
    putText(h, 116, flags, 8, ' ');
    for (int k = 0; k < 8 && k < static_cast<int>(spec.channels.size()); ++k)
        putText(h, 138 + 28 * k, spec.channels[k].range + "/DIV", 10, ' ');
    for (const auto& [position, text] : spec.positionOverrides) putText(h, position - 1, text, text.size(), ' ');
    return h;
}

void putField(std::vector<std::byte>& h, int block, int field, const std::string& text) {
    putText(h, kBlock * block + 12 * field, text, 12, '\0');
}

// The blocks of a block header, with the general block's identification filled in.
std::vector<std::byte> identifiedBlocks(const RecordingSpec& spec) {
    int blocks = headerBlocksOf(spec);
    std::vector<std::byte> h(kBlock * blocks, std::byte{0});
    putField(h, 0, 0, "HW");
    putField(h, 0, 1, std::to_string(blocks));
    putField(h, 0, 2, orDefault(spec.model, defaultModel(spec.layout)));
    return h;
}

std::vector<std::byte> blockHeader(const RecordingSpec& spec) {
    std::vector<std::byte> h = identifiedBlocks(spec);
    putField(h, 0, 4, spec.rms ? "RMS" : "WAVE");
    putField(h, 0, 5, recordLengthOf(spec));
    putField(h, 0, 6, std::to_string(spec.sampleCount));
    putField(h, 0, 7, spec.startDate);
    putField(h, 0, 8, spec.startTime);
    putField(h, 0, 10, std::to_string(spec.samplesPerDivision));
    putField(h, 0, 11, spec.timePerDivision);
    int counts = spec.countsPerDivision ? spec.countsPerDivision : defaultCountsPerDivision(spec.layout);
    putField(h, 0, 14, std::to_string(counts));
    putField(h, 0, 19, spec.preTrigger);
    int block = 1;
    for (int k = 0; k < static_cast<int>(spec.channels.size()); ++k, ++block) {
        const ChannelSpec& channel = spec.channels[k];
        putField(h, block, 0, "HC");
        putField(h, block, 1, numberOf(channel, k));
        putField(h, block, 2, channel.recorded ? "ON" : "OFF");
        putField(h, block, 4, channel.range);
    }
    for (int t = 0; t < spec.logicChannels; ++t, ++block) {
        putField(h, block, 0, "HL");
        putField(h, block, 1, std::to_string(t + 1));
    }
    for (const auto& [key, text] : spec.fieldOverrides) putField(h, key / 100, key % 100, text);
    return h;
}

std::vector<std::byte> loggerHeader(const RecordingSpec& spec) {
    std::vector<std::byte> h = identifiedBlocks(spec);
    putText(h, 72, recordLengthOf(spec), 8, '\0');
    putText(h, 84, spec.startDate, 8, '\0');
    putText(h, 96, " " + spec.startTime, 9, '\0');
    putText(h, 144, spec.timePerDivision, 5, '\0');
    putText(h, 180, std::to_string(spec.sampleCount), 7, '\0');
    putText(h, 204, spec.preTrigger, 5, '\0');
    putText(h, 468, "0", 1, '\0');  // logic channels are counted from their blocks
    putText(h, 469, std::to_string(spec.loggerExtraFlag % 10), 1, '\0');
    int block = 1;
    for (int k = 0; k < static_cast<int>(spec.channels.size()); ++k, ++block) {
        std::size_t base = kBlock * block;
        putText(h, base, "HC", 2, '\0');
        putText(h, base + 12, numberOf(spec.channels[k], k), 2, '\0');
        putText(h, base + 24, spec.channels[k].recorded ? "ON" : "OFF", 3, '\0');
        putText(h, base + 48, spec.channels[k].range, 10, '\0');
    }
    for (int t = 0; t < spec.logicChannels; ++t, ++block) putText(h, kBlock * block, "HL", 2, '\0');
    for (const auto& [key, text] : spec.fieldOverrides) putField(h, key / 100, key % 100, text);
    for (const auto& [position, text] : spec.positionOverrides) putText(h, position - 1, text, text.size(), '\0');
    return h;
}

// ---- samples

struct Series {
    std::vector<std::int16_t> values;  // waveform, or the maximum series of an RMS file
    std::vector<std::int16_t> minimum;
};

double calibrationGain(const Calibration& c) {
    return c.gainMantissa * std::pow(10.0, c.gainExponent);
}
double calibrationOffset(const Calibration& c) {
    return c.offsetMantissa * std::pow(10.0, c.offsetExponent);
}

// Counts of one volt at the channel input: what the loader's scale turns back into volts.
double countsPerUnit(const RecordingSpec& spec, const ChannelSpec& channel) {
    if (spec.layout == 86) {
        const Calibration& c = channel.calibration;
        return 1000.0 / (16.0 * calibrationGain(c) * c.unit);
    }
    double counts = spec.countsPerDivision ? spec.countsPerDivision : defaultCountsPerDivision(spec.layout);
    return counts / rangePerDivision(channel.range, spec.rms);
}

Series synthesize(const RecordingSpec& spec, const ChannelSpec& channel, std::mt19937& random) {
    Series s;
    if (!channel.codes.empty()) {
        s.values = channel.codes;
        s.values.resize(spec.sampleCount, 0);
        s.minimum = channel.minCodes.empty() ? channel.codes : channel.minCodes;
        s.minimum.resize(spec.sampleCount, 0);
        return s;
    }
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    double scale = countsPerUnit(spec, channel);
    double period = samplePeriodSeconds(spec);
    s.values.resize(spec.sampleCount);
    if (spec.rms) s.minimum.resize(spec.sampleCount);
    for (int j = 0; j < spec.sampleCount; ++j) {
        double value = channel.wave.valueAt(j * period, noise(random));
        if (spec.rms) {
            s.values[j] = clampToInt16(value * (1 + spec.rmsSpread) * scale);
            s.minimum[j] = clampToInt16(value * (1 - spec.rmsSpread) * scale);
        } else {
            s.values[j] = clampToInt16(value * scale);
        }
    }
    return s;
}

int logicValue(const RecordingSpec& spec, int sample, int channel) {
    return spec.logic ? spec.logic(sample, channel) & 0xFF : 0;
}

// What one stored value looks like on disk in the big-endian layouts.
std::uint16_t bigEndianCode(int layout, std::int16_t value) {
    switch (layout) {
        case 40:
            return static_cast<std::uint16_t>(value + 2048);
        case 80:
            return static_cast<std::uint16_t>(value + 8192);
        case 47:
            return static_cast<std::uint16_t>(value + 32768);
        default:
            return static_cast<std::uint16_t>(value);
    }
}

std::int16_t limitToLayout(int layout, std::int16_t value) {
    switch (layout) {
        case 40:
            return static_cast<std::int16_t>(std::clamp<int>(value, -2048, 2047));
        case 80:
            return static_cast<std::int16_t>(std::clamp<int>(value, -8192, 32767));
        case 86:
            return static_cast<std::int16_t>(std::clamp<int>(value, -2047, 2047));
        default:
            return value;
    }
}

std::vector<std::byte> tagged86Prefix(const std::vector<const ChannelSpec*>& channels, std::size_t& dataOffset) {
    const int channelCount = static_cast<int>(channels.size());
    const std::size_t subBlock = 96, calibrationAt = 16;
    std::size_t infoLength = 32 + subBlock * channelCount + 16;
    std::vector<std::byte> info(infoLength, std::byte{0});
    putText(info, 0, "LWBBWINF", 8, '\0');
    setI32le(info, 16, static_cast<std::int32_t>(infoLength));
    for (int i = 0; i < channelCount; ++i) {
        std::size_t f = 32 + subBlock * i;
        putText(info, f, "SXACAWMN", 8, '\0');
        setI16le(info, f + 12, static_cast<std::int16_t>(subBlock));
        setI16le(info, f + 14, static_cast<std::int16_t>(calibrationAt));
        const Calibration& c = channels[i]->calibration;
        std::size_t at = f + calibrationAt + 49;  // g + 49 bytes after the first byte of the tag
        setI32le(info, at, c.gainMantissa);
        info[at + 4] = static_cast<std::byte>(c.gainExponent);
        setI32le(info, at + 5, c.offsetMantissa);
        info[at + 9] = static_cast<std::byte>(c.offsetExponent);
        setI16le(info, at + 10, c.unit);
    }
    std::size_t end = 32 + subBlock * channelCount;
    putText(info, end, "SXACAEND", 8, '\0');
    setI16le(info, end + 12, 16);
    const std::size_t h = 64;
    std::vector<std::byte> data(h + 32, std::byte{0});
    putText(data, 0, "LWBBWDAT", 8, '\0');
    putText(data, 32, "LXIIWBLK", 8, '\0');
    setI32le(data, 48, static_cast<std::int32_t>(h));
    info.insert(info.end(), data.begin(), data.end());
    dataOffset = info.size();
    return info;
}

// The word a layout-86 file holds for a stored value, chosen so that the loader's
// rounding of (word + offset / gain) / 16 gives the value back.
std::uint16_t word86(const Calibration& c, std::int16_t value) {
    float offsetOverGain = static_cast<float>(calibrationOffset(c)) / static_cast<float>(calibrationGain(c));
    return static_cast<std::uint16_t>(clampToInt16(value * 16.0 - offsetOverGain));
}

}  // namespace

double Waveform::valueAt(double seconds, double noiseSample) const {
    if (signal) return signal(seconds) + noise * noiseSample;
    double w = 2 * kPi * frequency * seconds;
    double value = offset + amplitude * std::sin(w + phaseDegrees * kPi / 180);
    for (const Harmonic& h : harmonics) value += h.amplitude * std::sin(h.order * w + h.phaseDegrees * kPi / 180);
    return value + noise * noiseSample;
}

std::string defaultModel(int layout) {
    switch (layout) {
        case 40:
            return "8840";
        case 80:
            return "MR8880";
        case 47:
            return "8847";
        case 20:
            return "8420";
        case 86:
            return "8860";
        default:
            return "8841";
    }
}

int defaultCountsPerDivision(int layout) {
    switch (layout) {
        case 40:
            return 80;
        case 20:
            return 20000;
        case 80:
            return 800;
        default:
            return 1600;
    }
}

double samplePeriodSeconds(const RecordingSpec& spec) {
    double perDivision = leadingNumber(spec.timePerDivision) * secondsPerUnit(spec.timePerDivision);
    return spec.layout == 20 ? perDivision : perDivision / spec.samplesPerDivision;
}

GeneratedRecording generateRecording(const RecordingSpec& spec) {
    if (spec.sampleCount < 0) throw std::invalid_argument(tr("negative sample count"));
    std::mt19937 random(spec.seed);
    std::vector<int> recorded = recordedChannels(spec);
    const int channelCount = static_cast<int>(recorded.size());
    const bool rms = spec.rms;
    const int layout = spec.layout;

    std::vector<Series> series;
    for (int k : recorded) {
        Series s = synthesize(spec, spec.channels[k], random);
        for (auto& v : s.values) v = limitToLayout(layout, v);
        for (auto& v : s.minimum) v = limitToLayout(layout, v);
        series.push_back(std::move(s));
    }

    GeneratedRecording out;
    const std::size_t n = static_cast<std::size_t>(spec.sampleCount);
    const int lcc = spec.logicChannels;
    int analogColumns = (rms ? 2 : 1) * channelCount;
    if (layout == 40 && !recorded.empty()) analogColumns = std::max(analogColumns, recorded.back() + 1);
    int columns = (rms ? 2 : 1) * channelCount + 2 * lcc + (layout == 20 ? spec.loggerExtraFlag : 0);
    columns = std::max(columns, analogColumns);
    out.expected.resize(n + 1, static_cast<std::size_t>(columns));

    std::vector<std::byte>& bytes = out.bytes;
    if (layout == 40) {
        bytes = header8840(spec);
        for (std::size_t i = 0; i < recorded.size(); ++i)
            for (std::size_t j = 0; j < n; ++j) {
                putU16be(bytes, bigEndianCode(40, series[i].values[j]));
                out.expected(j, recorded[i]) = series[i].values[j];
            }
        int groups = lcc == 0 ? 0 : lcc <= 2 ? 1 : 2;
        for (std::size_t j = 0; j < n; ++j)
            for (int t = 0; t < groups; ++t) {
                int value = logicValue(spec, static_cast<int>(j), t);
                bytes.push_back(static_cast<std::byte>(value));
                out.expected(j, channelCount + t) = static_cast<std::int16_t>(value);
            }
        return out;
    }

    if (layout == 20) {
        bytes = loggerHeader(spec);
        int groups = lcc == 0 ? 0 : lcc <= 2 ? 1 : lcc;
        for (std::size_t j = 0; j < n; ++j) {
            for (int i = 0; i < channelCount; ++i) {
                putU16be(bytes, static_cast<std::uint16_t>(series[i].values[j]));
                out.expected(j, i) = series[i].values[j];
            }
            if (spec.loggerExtraFlag != 0)
                for (int t = 0; t < lcc; ++t) putU16be(bytes, 0xABCD);  // words the loader skips
            for (int t = 0; t < groups; ++t) {
                int value = logicValue(spec, static_cast<int>(j), t) & 0x0F;
                putU16be(bytes, static_cast<std::uint16_t>(value << 12 | 0x0A5));
                out.expected(j, channelCount + t) = static_cast<std::int16_t>(value);
            }
        }
        return out;
    }

    bytes = blockHeader(spec);
    if (layout == 86) {
        std::size_t dataOffset = 0;
        std::vector<const ChannelSpec*> channels;
        for (int k : recorded) channels.push_back(&spec.channels[k]);
        std::vector<std::byte> prefix = tagged86Prefix(channels, dataOffset);
        bytes.insert(bytes.end(), prefix.begin(), prefix.end());
        for (std::size_t j = 0; j < n; ++j)
            for (int i = 0; i < channelCount; ++i) {
                putU16le(bytes, word86(channels[i]->calibration, series[i].values[j]));
                out.expected(j, i) = series[i].values[j];
            }
        return out;
    }

    // 41, 80 and 47: sample after sample, big-endian.
    for (std::size_t j = 0; j < n; ++j) {
        for (int i = 0; i < channelCount; ++i) {
            if (rms) {
                putU16be(bytes, bigEndianCode(layout, series[i].values[j]));
                putU16be(bytes, bigEndianCode(layout, series[i].minimum[j]));
                out.expected(j, 2 * i) = series[i].values[j];
                out.expected(j, 2 * i + 1) = series[i].minimum[j];
            } else {
                putU16be(bytes, bigEndianCode(layout, series[i].values[j]));
                out.expected(j, i) = series[i].values[j];
            }
        }
        if (lcc > 0 && layout != 47) {
            int high = logicValue(spec, static_cast<int>(j), 0) & 0x0F;
            int low = lcc == 2 ? logicValue(spec, static_cast<int>(j), 1) & 0x0F : 0;
            bytes.push_back(static_cast<std::byte>(high << 4 | low));
            int a = analogColumns;
            out.expected(j, a) = static_cast<std::int16_t>(high);
            if (lcc == 2) out.expected(j, a + 1) = static_cast<std::int16_t>(low);
        }
    }
    return out;
}

void writeRecording(const RecordingSpec& spec, const std::filesystem::path& path) {
    GeneratedRecording recording = generateRecording(spec);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(recording.bytes.data()),
               static_cast<std::streamsize>(recording.bytes.size()));
    if (!file) throw std::runtime_error(tr("cannot write {0}", {path.string()}));
}

std::vector<ChannelSpec> threePhaseChannels(const ThreePhaseSupply& supply) {
    // Phase voltages van = Vp sin(wt), vbn = Vp sin(wt - 120), vcn = Vp sin(wt + 120) for the
    // forward sequence; the recorder sees u-v on ch1 and w-v on ch2.
    const double vp = supply.lineVolts * std::sqrt(2.0) / std::sqrt(3.0);
    const double line = vp * std::sqrt(3.0);
    const double sequence = supply.reverse ? -1 : 1;
    std::vector<ChannelSpec> channels(2);
    channels[0].range = channels[1].range = supply.voltageRange;
    channels[0].wave = {line, supply.frequency, 30 * sequence, 0, supply.harmonics, supply.noise * line};
    channels[1].wave = {line * (1 - supply.unbalance),
                        supply.frequency,
                        90 * sequence,
                        0,
                        supply.harmonics,
                        supply.noise * line * (1 - supply.unbalance)};
    for (const Circuit& circuit : supply.circuits) {
        double volts = circuit.amps * std::sqrt(2.0) * 0.2 / circuit.clampAmps;
        std::vector<Harmonic> harmonics = circuit.harmonics;
        for (Harmonic& h : harmonics) h.amplitude *= 0.2 / circuit.clampAmps;
        ChannelSpec u, w;
        u.range = w.range = supply.currentRange;
        u.wave = {volts, supply.frequency, -circuit.lagDegrees, 0, harmonics, supply.noise * volts};
        std::vector<Harmonic> shifted = harmonics;
        for (Harmonic& h : shifted) h.phaseDegrees += 120 * sequence * h.order;
        w.wave = {volts, supply.frequency, 120 * sequence - circuit.lagDegrees, 0, shifted, supply.noise * volts};
        channels.push_back(u);
        channels.push_back(w);
    }
    return channels;
}

}  // namespace pqwave::gen
