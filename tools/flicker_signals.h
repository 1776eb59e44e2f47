// The flickermeter test signals: a supply whose RMS value is modulated sinusoidally or
// rectangularly by a relative change dV/V (peak to peak, in % of the mean RMS value), the
// table of rectangular modulations that give Pst = 1, and a three-phase V-connection
// recording of them scaled through a PT ratio.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/recording_generator.h"

namespace pqwave::gen {

enum class FlickerShape { Sinusoidal, Rectangular };

struct FlickerModulation {
    FlickerShape shape = FlickerShape::Sinusoidal;
    double hz = 8.8;  // rectangular: changes per minute / 120
    double deltaVPercent = 0.25;
    // Rectangular: the first change (from the upper level to the lower); sinusoidal: phase 0.
    double firstChangeSeconds = 0;
    // The RMS value's factor at `seconds`: 1 + dV/V / 2 x (sine or +-1).
    double factor(double seconds) const;
};

double hzOfChangesPerMinute(double changesPerMinute);

// The columns of the table: the lamp and the supply frequency.
enum class FlickerSystem { Lamp230V50Hz, Lamp230V60Hz, Lamp120V50Hz, Lamp120V60Hz };
double supplyHzOf(FlickerSystem system);

struct PstUnityPoint {
    double changesPerMinute = 0;
    double deltaVPercent = 0;
};
// The rectangular modulations giving Pst = 1.00 on that system (1, 2, 7, 39, 110 and 1620
// changes per minute, and 4000 or 4800 where the table gives them).
std::vector<PstUnityPoint> pstUnityPoints(FlickerSystem system);
// The point as a modulation whose first change comes 2.5 s into the 10 minutes.
FlickerModulation pstUnityModulation(const PstUnityPoint& point);
// 0.250 % at 8.8 Hz, sinusoidal: Pinst max = 1.00 through the 230 V lamp on a 50 Hz supply.
FlickerModulation pinstUnityModulation();

// peakVolts x factor(t - delaySeconds) x sin(2 pi supplyHz t + phase).
std::function<double(double)> modulatedVoltage(const FlickerModulation& modulation, double peakVolts, double supplyHz,
                                               double phaseDegrees, double delaySeconds = 0);

struct FlickerRecording {
    FlickerModulation modulation;
    double supplyHz = 50;
    double primaryLineVolts = 6600;
    double ptRatio = 60;  // the channels hold primary / ptRatio; Text7(0) reads them back
    double sampleHz = 2000;
    double seconds = 600;       // from a 10-minute clock tick on
    double leadInSeconds = 10;  // recorded before the tick (whole seconds)
    int layout = 41;
    std::string voltageRange = "50V";
};
// ch1 = u-v and ch2 = w-v of the supply, starting leadInSeconds before 13:50:00 on
// 2024-05-06 and ending a second after the last of `seconds`; the modulation's time counts
// from the tick.
RecordingSpec flickerRecordingSpec(const FlickerRecording& recording);

}  // namespace pqwave::gen
