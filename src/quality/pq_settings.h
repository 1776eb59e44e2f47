// What a power-quality run takes besides the signals, as plain values: the recording's name,
// instrument and clock, the supply's nominal frequency and declared voltage Udin, the
// aggregation interval and the thresholds of dips, swells and interruptions.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pqwave {

enum class PqAggregation {
    BasicInterval,  // every 10/12-cycle value (about 200 ms)
    ThreeSeconds,   // 150/180 cycles: 15 basic intervals
    TenMinutes,     // clock-aligned
    TwoHours,       // clock-aligned
};

// "200ms", "3s", "10min", "2h" and back; nothing for any other text.
std::string_view aggregationText(PqAggregation aggregation);
std::optional<PqAggregation> aggregationFromText(std::string_view text);

// An event begins beyond `percent` of Udin and ends once every voltage is back by
// `hysteresisPercent` (for an interruption: once any voltage is).
struct EventThreshold {
    double percent = 0;
    double hysteresisPercent = 0;
};

struct EventThresholds {
    EventThreshold dip{90, 2};
    EventThreshold swell{110, 2};
    EventThreshold interruption{10, 2};
};

struct PqSettings {
    std::string fileName;      // named in every message
    std::string modelText;     // the instrument, for the first line of the files
    double startDateTime = 0;  // the first sample: days since 1899-12-30 (common/datetime.h)
    double nominalHz = 50;     // 50: 10-cycle basic intervals, 60: 12-cycle
    // Udin. Without it, the standard voltage nearest the mean line voltage of the first 10 s.
    std::optional<double> declaredVolts;
    PqAggregation aggregation = PqAggregation::TenMinutes;
    EventThresholds thresholds;
};

}  // namespace pqwave
