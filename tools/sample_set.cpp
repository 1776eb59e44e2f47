#include "tools/sample_set.h"

#include <cmath>

namespace pqwave::gen {
namespace {

// 110 V secondary (6.6 kV through a PT of 60), 50 Hz, two feeders through 200 A clamps.
RecordingSpec powerRecording(int layout) {
    ThreePhaseSupply supply;
    supply.lineVolts = 110;
    supply.voltageRange = layout == 40 ? "50V" : "100V";
    supply.harmonics = {{5, 3.0, 0}};
    supply.noise = 0.002;
    supply.circuits = {{120, 25, 200, {{5, 6.0, 40}}}, {60, -10, 200, {}}};
    RecordingSpec spec;
    spec.layout = layout;
    spec.timePerDivision = "50ms";
    spec.samplesPerDivision = 100;
    spec.sampleCount = 20000;
    spec.channels = threePhaseChannels(supply);
    spec.preTrigger = "0";
    return spec;
}

RecordingSpec loggerRecording() {
    RecordingSpec spec;
    spec.layout = 20;
    spec.timePerDivision = "1s";
    spec.samplesPerDivision = 1;
    spec.sampleCount = 3600;
    spec.startTime = "09:00:00";
    spec.channels.assign(4, ChannelSpec{});
    for (int k = 0; k < 4; ++k) {
        spec.channels[k].range = "1V";
        spec.channels[k].wave = {0.1 * (k + 1), 1.0 / 1200, 30.0 * k, 0.4, {}, 0.005};
    }
    spec.logicChannels = 2;
    spec.logic = [](int sample, int channel) { return (sample / (60 * (channel + 1))) % 16; };
    return spec;
}

RecordingSpec rmsRecording() {
    RecordingSpec spec;
    spec.layout = 41;
    spec.rms = true;
    spec.timePerDivision = "1min";
    spec.samplesPerDivision = 60;
    spec.sampleCount = 7200;
    spec.channels.assign(3, ChannelSpec{});
    spec.channels[0].range = spec.channels[1].range = "20V";
    spec.channels[0].wave = {2.0, 1.0 / 1800, 0, 105, {}, 0.3};
    spec.channels[1].wave = {2.5, 1.0 / 1800, 60, 104, {}, 0.3};
    spec.channels[2].range = "50mV";
    spec.channels[2].wave = {0.02, 1.0 / 3600, 0, 0.07, {}, 0.002};
    return spec;
}

}  // namespace

std::vector<SampleRecording> sampleSet() {
    RecordingSpec hi8860 = powerRecording(86);
    // The 886x calibrates every channel; the clamp channels need a finer gain than the voltages.
    for (std::size_t k = 2; k < hi8860.channels.size(); ++k) hi8860.channels[k].calibration.gainExponent = -5;
    return {
        {"SAMPLE_8840.WAV", powerRecording(40)},
        {"SAMPLE_8841.MEM", powerRecording(41)},
        {"SAMPLE_MR8880.MEM", powerRecording(80)},
        {"SAMPLE_8847.MEM", powerRecording(47)},
        {"SAMPLE_8860.MEM", hi8860},
        {"SAMPLE_8420.MEM", loggerRecording()},
        {"SAMPLE_8841.RMS", rmsRecording()},
    };
}

void writeSampleSet(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    for (const SampleRecording& sample : sampleSet()) writeRecording(sample.spec, folder / sample.fileName);
}

}  // namespace pqwave::gen
