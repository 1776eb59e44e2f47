// The values the power-quality engine and the flickermeter share: the recording's signals in
// physical units, Urms(1/2) (the RMS over one cycle, refreshed every half cycle) and the events
// found in it. Times are seconds from the recording's first sample; the recording's start date
// and time put them on the clock, to which the 10-minute and 2-hour intervals are aligned.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pqwave {

// The three line voltages of the V connection and each circuit's three phase currents, read in
// blocks so that an engine never needs the whole recording converted at once.
// Signal order: 0 U12, 1 U23, 2 U31 (volts, primary side), then circuit c's I1, I2, I3 (amperes,
// primary side) at 3 + 3c, 4 + 3c, 5 + 3c.
class PqSignalSource {
public:
    virtual ~PqSignalSource() = default;
    virtual std::int64_t sampleCount() const = 0;
    virtual double samplingHz() const = 0;
    virtual int circuits() const = 0;
    int signals() const { return 3 + 3 * circuits(); }
    // Fills out[s][k], k < count, with samples first + k of every signal s < signals().
    // first + count never exceeds sampleCount().
    virtual void read(std::int64_t first, std::size_t count, std::span<float* const> out) const = 0;
};

inline constexpr int kLineVoltages = 3;

// One Urms(1/2) value of the three line voltages: the cycle that starts at `startSeconds`.
struct HalfCycleRms {
    double startSeconds = 0;
    std::array<double, kLineVoltages> volts{};
};

enum class PqEventType { Dip, Swell, Interruption, Rvc };

struct PqEvent {
    PqEventType type = PqEventType::Dip;
    double startSeconds = 0;
    double durationSeconds = 0;
    double extremeVolts = 0;      // dip, interruption: residual; swell: maximum; RVC: delta Umax
    double extremePercent = 0;    // the same in % of the declared voltage Udin
    double steadyDeltaVolts = 0;  // RVC only: delta Uss between the steady states
    std::string phases;           // the voltages involved, e.g. "U12 U31"
};

}  // namespace pqwave
