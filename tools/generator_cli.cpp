#include "tools/generator_cli.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <sstream>

#include "common/messages.h"
#include "tools/flicker_signals.h"
#include "tools/pq_signals.h"
#include "tools/recording_generator.h"
#include "tools/sample_set.h"

namespace pqwave::gen {
namespace {

const char* const kUsage =
    N_("usage: pqwave-gen [options] -o FILE\n"
       "       pqwave-gen --sample-set FOLDER\n"
       "\n"
       "Recording:\n"
       "  --layout N              data layout 40 (8840), 41 (8841/8835/8807), 80 (MR8880), 47 (8847),\n"
       "                          20 (8420 logger) or 86 (886x); default 41\n"
       "  --model TEXT            model text of the header (default follows the layout)\n"
       "  --samples N             samples per channel (default 1000)\n"
       "  --time-per-div TEXT     time per division with unit, e.g. 5ms, 200us, 1min; the logger's\n"
       "                          sampling interval (default 5ms)\n"
       "  --samples-per-div N     default 100\n"
       "  --counts-per-div N      raw counts per division (default follows the layout)\n"
       "  --date TEXT --time TEXT start date and time (default 24-05-06 13:45:30)\n"
       "  --pretrigger TEXT --record-length TEXT\n"
       "  --rms                   RMS-value recording (maximum and minimum series)\n"
       "  --logic N               logic channels; --extra-flag sets the logger's extra flag\n"
       "  --seed N                noise seed (default 1)\n"
       "Channels:\n"
       "  --channels N            N channels of a 50 Hz sine (default 1)\n"
       "  --range TEXT            range of every channel, e.g. 100V, 500mV, 20A, 1V (logger)\n"
       "  --amplitude X           peak of the plain channels, in volts at the input (default 100)\n"
       "  --off K                 channel K (1-based) switched off\n"
       "  --three-phase VOLTS     ch1 = u-v and ch2 = w-v of a supply with this line RMS voltage\n"
       "  --frequency HZ          supply frequency (default 50)\n"
       "  --unbalance X --reverse\n"
       "  --noise X               uniform noise, as a fraction of each channel's peak\n"
       "  --voltage-harmonic ORDER:VOLTS   harmonic on both line voltages (peak volts)\n"
       "  --flicker sine:HZ:PERCENT | rect:CPM:PERCENT   the voltages' RMS value modulated by\n"
       "                          dV/V = PERCENT peak to peak, sinusoidally at HZ or in CPM\n"
       "                          rectangular changes per minute\n"
       "  --circuit AMPS[:LAGDEG[:CLAMPAMPS]]   a current circuit on the next channel pair\n"
       "  --current-range TEXT    range of the current channels (default 50mV)\n"
       "Power-quality test supply (replaces --three-phase; --frequency and --circuit apply):\n"
       "  --pq-supply VOLTS       line voltages U12, U23, U31 with this fundamental RMS (primary)\n"
       "  --pt RATIO              the voltage channels record the primary voltages / RATIO (default 1)\n"
       "  --pq-tone ORDER:PERCENT[:PHASEDEG]   harmonic (or interharmonic, ORDER not whole) on all three\n"
       "  --pq-unbalance PERCENT[:DEG]         negative sequence in % of the positive\n"
       "  --pq-change START:SECONDS:F12:F23:F31   U12, U23, U31 at these fractions from START for SECONDS\n"
       "                          (dips, swells, interruptions, steps)\n"
       "  --calibration GM:GE:OM:OE:UNIT   886x calibration of every channel: gain GM x 10^GE and\n"
       "                          offset OM x 10^OE per count, unit factor (default 1:-2:0:0:1000)\n"
       "Header fields, written as given:\n"
       "  --field BLOCK:FIELD=TEXT   block-header field (block 0 = general)\n"
       "  --position POS=TEXT        1-based byte position (8840 and logger files)\n");

std::optional<double> number(const std::string& text) {
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0') return std::nullopt;
    return value;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, separator)) parts.push_back(part);
    return parts;
}

struct Options {
    RecordingSpec spec;
    ThreePhaseSupply supply;
    bool threePhase = false;
    int plainChannels = 1;
    double amplitude = 100;
    std::string range;
    std::vector<int> off;
    std::optional<Calibration> calibration;
    std::optional<PqSupply> pq;
    double ptRatio = 1;
    std::optional<FlickerModulation> flicker;
    std::string output;
    std::string sampleSet;
};

// Numbers separated by ':', between `least` and `most` of them; nothing when they are not.
std::optional<std::vector<double>> numbers(const std::string& text, std::size_t least, std::size_t most) {
    std::vector<double> values;
    for (const std::string& part : split(text, ':')) {
        auto v = number(part);
        if (!v) return std::nullopt;
        values.push_back(*v);
    }
    if (values.size() < least || values.size() > most) return std::nullopt;
    return values;
}

std::string applyPqOption(Options& o, const std::string& name, const std::string& value) {
    if (!o.pq) o.pq = PqSupply{};
    PqSupply& pq = *o.pq;
    if (name == "--pq-supply") {
        auto v = numbers(value, 1, 1);
        if (!v || !((*v)[0] > 0)) return tr("{0} needs a voltage above 0", {name});
        pq.lineVolts = (*v)[0];
    } else if (name == "--pt") {
        auto v = numbers(value, 1, 1);
        if (!v || !((*v)[0] > 0)) return tr("{0} needs a ratio above 0", {name});
        o.ptRatio = (*v)[0];
    } else if (name == "--pq-tone") {
        auto v = numbers(value, 2, 3);
        if (!v || !((*v)[0] > 0)) return tr("{0} needs ORDER:PERCENT[:PHASEDEG]", {name});
        pq.tones.push_back({(*v)[0], (*v)[1], v->size() > 2 ? (*v)[2] : 0, 1});
    } else if (name == "--pq-unbalance") {
        auto v = numbers(value, 1, 2);
        if (!v) return tr("{0} needs PERCENT[:DEG]", {name});
        pq.unbalancePercent = (*v)[0];
        pq.unbalanceDegrees = v->size() > 1 ? (*v)[1] : 0;
    } else if (name == "--pq-change") {
        auto v = numbers(value, 5, 5);
        if (!v) return tr("{0} needs START:SECONDS:F12:F23:F31", {name});
        pq.changes.push_back({(*v)[0], (*v)[1], {(*v)[2], (*v)[3], (*v)[4]}});
    } else {
        return tr("unknown option {0}", {name});
    }
    return {};
}

// Applies one option with its value; returns a problem text, empty when fine.
std::string applyOption(Options& o, const std::string& name, const std::string& value) {
    auto needNumber = [&](double& target) -> std::string {
        auto v = number(value);
        if (!v) return tr("{0} needs a number, not \"{1}\"", {name, value});
        target = *v;
        return {};
    };
    double n = 0;
    std::string problem;
    if (name == "--layout") {
        if (!(problem = needNumber(n)).empty()) return problem;
        o.spec.layout = static_cast<int>(n);
        if (n != 40 && n != 41 && n != 80 && n != 47 && n != 20 && n != 86) return tr("unknown layout {0}", {value});
    } else if (name == "--model") {
        o.spec.model = value;
    } else if (name == "--samples") {
        problem = needNumber(n);
        o.spec.sampleCount = static_cast<int>(n);
    } else if (name == "--time-per-div") {
        o.spec.timePerDivision = value;
    } else if (name == "--samples-per-div") {
        problem = needNumber(n);
        o.spec.samplesPerDivision = static_cast<int>(n);
    } else if (name == "--counts-per-div") {
        problem = needNumber(n);
        o.spec.countsPerDivision = static_cast<int>(n);
    } else if (name == "--date") {
        o.spec.startDate = value;
    } else if (name == "--time") {
        o.spec.startTime = value;
    } else if (name == "--pretrigger") {
        o.spec.preTrigger = value;
    } else if (name == "--record-length") {
        o.spec.recordLength = value;
    } else if (name == "--logic") {
        problem = needNumber(n);
        o.spec.logicChannels = static_cast<int>(n);
        o.spec.logic = [](int sample, int channel) { return (sample / 10 + channel) % 16; };
    } else if (name == "--seed") {
        problem = needNumber(n);
        o.spec.seed = static_cast<std::uint32_t>(n);
    } else if (name == "--channels") {
        problem = needNumber(n);
        o.plainChannels = static_cast<int>(n);
    } else if (name == "--range") {
        o.range = value;
    } else if (name == "--amplitude") {
        problem = needNumber(o.amplitude);
    } else if (name == "--off") {
        problem = needNumber(n);
        o.off.push_back(static_cast<int>(n) - 1);
    } else if (name == "--three-phase") {
        o.threePhase = true;
        problem = needNumber(o.supply.lineVolts);
    } else if (name == "--frequency") {
        problem = needNumber(o.supply.frequency);
    } else if (name == "--unbalance") {
        problem = needNumber(o.supply.unbalance);
    } else if (name == "--noise") {
        problem = needNumber(o.supply.noise);
    } else if (name == "--current-range") {
        o.supply.currentRange = value;
    } else if (name == "--voltage-harmonic") {
        auto parts = split(value, ':');
        auto order = parts.size() == 2 ? number(parts[0]) : std::nullopt;
        auto volts = parts.size() == 2 ? number(parts[1]) : std::nullopt;
        if (!order || !volts) return tr("{0} needs ORDER:VOLTS", {name});
        o.supply.harmonics.push_back({static_cast<int>(*order), *volts, 0});
    } else if (name == "--flicker") {
        auto parts = split(value, ':');
        auto rate = parts.size() == 3 ? number(parts[1]) : std::nullopt;
        auto percent = parts.size() == 3 ? number(parts[2]) : std::nullopt;
        if (!rate || !percent || (parts[0] != "sine" && parts[0] != "rect"))
            return tr("{0} needs sine:HZ:PERCENT or rect:CPM:PERCENT", {name});
        if (parts[0] == "sine")
            o.flicker = FlickerModulation{FlickerShape::Sinusoidal, *rate, *percent, 0};
        else
            o.flicker = FlickerModulation{FlickerShape::Rectangular, hzOfChangesPerMinute(*rate), *percent, 0};
    } else if (name == "--circuit") {
        auto parts = split(value, ':');
        Circuit circuit;
        std::vector<double*> targets = {&circuit.amps, &circuit.lagDegrees, &circuit.clampAmps};
        if (parts.empty() || parts.size() > 3) return tr("{0} needs AMPS[:LAGDEG[:CLAMPAMPS]]", {name});
        for (std::size_t i = 0; i < parts.size(); ++i) {
            auto v = number(parts[i]);
            if (!v) return tr("{0} needs AMPS[:LAGDEG[:CLAMPAMPS]]", {name});
            *targets[i] = *v;
        }
        o.supply.circuits.push_back(circuit);
        o.threePhase = true;
    } else if (name.starts_with("--pq-") || name == "--pt") {
        return applyPqOption(o, name, value);
    } else if (name == "--calibration") {
        auto parts = split(value, ':');
        std::vector<double> v;
        for (const std::string& part : parts)
            if (auto x = number(part); x && *x == std::trunc(*x)) v.push_back(*x);
        auto fits = [](double x, double bits) { return x >= -std::ldexp(1, bits - 1) && x < std::ldexp(1, bits - 1); };
        if (parts.size() != 5 || v.size() != 5 || !fits(v[0], 32) || !fits(v[1], 8) || !fits(v[2], 32) ||
            !fits(v[3], 8) || !fits(v[4], 16))
            return tr("{0} needs GM:GE:OM:OE:UNIT, whole numbers of 32, 8, 32, 8 and 16 bits", {name});
        o.calibration = Calibration{static_cast<std::int32_t>(v[0]), static_cast<std::int8_t>(v[1]),
                                    static_cast<std::int32_t>(v[2]), static_cast<std::int8_t>(v[3]),
                                    static_cast<std::int16_t>(v[4])};
    } else if (name == "--field") {
        auto equals = value.find('=');
        auto key = split(value.substr(0, equals), ':');
        auto block = key.size() == 2 ? number(key[0]) : std::nullopt;
        auto field = key.size() == 2 ? number(key[1]) : std::nullopt;
        if (equals == std::string::npos || !block || !field || *field < 0 || *field > 41)
            return tr("{0} needs BLOCK:FIELD=TEXT", {name});
        o.spec.fieldOverrides[static_cast<int>(*block) * 100 + static_cast<int>(*field)] = value.substr(equals + 1);
    } else if (name == "--position") {
        auto equals = value.find('=');
        auto position = number(value.substr(0, equals));
        if (equals == std::string::npos || !position || *position < 1) return tr("{0} needs POS=TEXT", {name});
        o.spec.positionOverrides[static_cast<int>(*position)] = value.substr(equals + 1);
    } else if (name == "-o") {
        o.output = value;
    } else if (name == "--sample-set") {
        o.sampleSet = value;
    } else {
        return tr("unknown option {0}", {name});
    }
    return problem;
}

void buildChannels(Options& o) {
    if (o.pq) {
        o.pq->frequency = o.supply.frequency;
        for (const Circuit& c : o.supply.circuits) o.pq->circuits.push_back({c.amps, c.lagDegrees, c.clampAmps, {}});
        PqChannelRanges ranges{o.ptRatio, o.range.empty() ? "100V" : o.range, o.supply.currentRange};
        o.spec.channels = pqChannels(*o.pq, ranges);
    } else if (o.threePhase) {
        if (!o.range.empty()) o.supply.voltageRange = o.range;
        o.spec.channels = threePhaseChannels(o.supply);
    } else {
        o.spec.channels.assign(static_cast<std::size_t>(std::max(o.plainChannels, 0)), ChannelSpec{});
        for (std::size_t k = 0; k < o.spec.channels.size(); ++k) {
            ChannelSpec& channel = o.spec.channels[k];
            if (!o.range.empty()) channel.range = o.range;
            channel.wave = {o.amplitude, o.supply.frequency,          30.0 * static_cast<double>(k), 0,
                            {},          o.supply.noise * o.amplitude};
        }
    }
    if (o.flicker) {
        // The voltages only: a three-phase recording's current channels keep their sines.
        const std::size_t voltages = o.threePhase ? 2 : o.spec.channels.size();
        for (std::size_t k = 0; k < voltages && k < o.spec.channels.size(); ++k) {
            Waveform& wave = o.spec.channels[k].wave;
            wave.signal = modulatedVoltage(*o.flicker, wave.amplitude, wave.frequency, wave.phaseDegrees);
        }
    }
    for (int k : o.off)
        if (k >= 0 && k < static_cast<int>(o.spec.channels.size())) o.spec.channels[k].recorded = false;
    if (o.calibration)
        for (ChannelSpec& channel : o.spec.channels) channel.calibration = *o.calibration;
}

}  // namespace

int runGenerator(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "-h" || name == "--help") {
            out << tr(kUsage);
            return 0;
        }
        std::string problem;
        if (name == "--rms") {
            o.spec.rms = true;
        } else if (name == "--reverse") {
            o.supply.reverse = true;
        } else if (name == "--extra-flag") {
            o.spec.loggerExtraFlag = 1;
        } else if (i + 1 < args.size()) {
            problem = applyOption(o, name, args[++i]);
        } else {
            problem = tr("{0} needs a value", {name});
        }
        if (!problem.empty()) {
            err << "pqwave-gen: " << problem << "\n" << tr(kUsage);
            return 2;
        }
    }
    try {
        if (!o.sampleSet.empty()) {
            writeSampleSet(o.sampleSet);
            return 0;
        }
        if (o.output.empty()) {
            err << "pqwave-gen: " << tr("no output file (-o FILE)") << "\n" << tr(kUsage);
            return 2;
        }
        buildChannels(o);
        writeRecording(o.spec, o.output);
    } catch (const std::exception& error) {
        err << "pqwave-gen: " << error.what() << '\n';
        return 1;
    }
    return 0;
}

}  // namespace pqwave::gen
