#include "tools/flicker_signals.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace pqwave::gen {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr int kTickSecondOfDay = 13 * 3600 + 50 * 60;  // 13:50:00

struct PstUnityRow {
    double changesPerMinute;
    double lamp120V50Hz, lamp120V60Hz, lamp230V50Hz, lamp230V60Hz;  // dV/V in %; 0 where not given
};

// The rectangular fluctuations that give Pst = 1.00 (IEC 61000-4-15:2010, as the SICAM
// P850/P855 manual's Table 6-4 reprints them).
constexpr PstUnityRow kPstUnityRows[] = {
    {1, 3.178, 3.181, 2.715, 2.719},  {2, 2.561, 2.564, 2.191, 2.194},   {7, 1.694, 1.694, 1.450, 1.450},
    {39, 1.045, 1.040, 0.894, 0.895}, {110, 0.844, 0.844, 0.722, 0.723}, {1620, 0.545, 0.548, 0.407, 0.409},
    {4000, 3.426, 0, 2.343, 0},       {4800, 0, 4.837, 0, 3.263},
};

double columnOf(const PstUnityRow& row, FlickerSystem system) {
    switch (system) {
        case FlickerSystem::Lamp120V50Hz:
            return row.lamp120V50Hz;
        case FlickerSystem::Lamp120V60Hz:
            return row.lamp120V60Hz;
        case FlickerSystem::Lamp230V60Hz:
            return row.lamp230V60Hz;
        default:
            return row.lamp230V50Hz;
    }
}

std::string clockText(int secondOfDay) {
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d:%02d", secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60);
    return text;
}

}  // namespace

double FlickerModulation::factor(double seconds) const {
    const double t = seconds - firstChangeSeconds;
    if (shape == FlickerShape::Sinusoidal) return 1 + deltaVPercent / 200 * std::sin(kTwoPi * hz * t);
    // Changes every half period; the half period ending at the first change is the upper.
    const double halves = std::floor(t * 2 * hz);
    return 1 + deltaVPercent / 200 * (std::fmod(std::abs(halves), 2.0) == 1 ? 1 : -1);
}

double hzOfChangesPerMinute(double changesPerMinute) {
    return changesPerMinute / 120;
}

double supplyHzOf(FlickerSystem system) {
    return system == FlickerSystem::Lamp230V60Hz || system == FlickerSystem::Lamp120V60Hz ? 60 : 50;
}

std::vector<PstUnityPoint> pstUnityPoints(FlickerSystem system) {
    std::vector<PstUnityPoint> points;
    for (const PstUnityRow& row : kPstUnityRows)
        if (columnOf(row, system) > 0) points.push_back({row.changesPerMinute, columnOf(row, system)});
    return points;
}

FlickerModulation pstUnityModulation(const PstUnityPoint& point) {
    return {FlickerShape::Rectangular, hzOfChangesPerMinute(point.changesPerMinute), point.deltaVPercent, 2.5};
}

FlickerModulation pinstUnityModulation() {
    return {FlickerShape::Sinusoidal, 8.8, 0.250, 0};
}

std::function<double(double)> modulatedVoltage(const FlickerModulation& modulation, double peakVolts, double supplyHz,
                                               double phaseDegrees, double delaySeconds) {
    const double phase = phaseDegrees * std::numbers::pi / 180;
    return [=](double t) {
        return peakVolts * modulation.factor(t - delaySeconds) * std::sin(kTwoPi * supplyHz * t + phase);
    };
}

RecordingSpec flickerRecordingSpec(const FlickerRecording& r) {
    ThreePhaseSupply supply;
    supply.lineVolts = r.primaryLineVolts / r.ptRatio;
    supply.frequency = r.supplyHz;
    supply.voltageRange = r.voltageRange;
    RecordingSpec spec;
    spec.layout = r.layout;
    spec.channels = threePhaseChannels(supply);
    for (ChannelSpec& channel : spec.channels)
        channel.wave.signal = modulatedVoltage(r.modulation, channel.wave.amplitude, channel.wave.frequency,
                                               channel.wave.phaseDegrees, r.leadInSeconds);
    spec.startDate = "24-05-06";
    spec.startTime = clockText(kTickSecondOfDay - static_cast<int>(r.leadInSeconds));
    spec.samplesPerDivision = 100;
    char perDivision[32];
    const double milliseconds = 100 / r.sampleHz * 1e3;
    if (milliseconds == std::round(milliseconds))
        std::snprintf(perDivision, sizeof perDivision, "%gms", milliseconds);
    else
        std::snprintf(perDivision, sizeof perDivision, "%gus", milliseconds * 1e3);
    spec.timePerDivision = perDivision;
    spec.sampleCount = static_cast<int>(std::lround((r.leadInSeconds + r.seconds + 1) * r.sampleHz));
    return spec;
}

}  // namespace pqwave::gen
