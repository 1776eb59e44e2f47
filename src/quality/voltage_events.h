// Dips, swells and interruptions from Urms(1/2) of the three line voltages against the declared
// voltage Udin. A dip begins when any voltage falls below its threshold and ends when every
// voltage is back above threshold + hysteresis; a swell likewise upwards; an interruption begins
// when all voltages are below its threshold and ends when any is back above threshold +
// hysteresis (it lies inside a dip, which is reported too). Times are the starts of the
// Urms(1/2) cycles that cross; the extreme is the lowest (dip, interruption) or highest (swell)
// Urms(1/2) of any voltage during the event.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "quality/pq_settings.h"
#include "quality/pq_types.h"

namespace pqwave {

class VoltageEventDetector {
public:
    VoltageEventDetector(double declaredVolts, const EventThresholds& thresholds);

    void add(const HalfCycleRms& value);
    // Ends the events still going on at the recording's end.
    void finish(double endSeconds);
    // Every event, in time order.
    std::vector<PqEvent> events() const;

private:
    struct Tracker {
        PqEventType type = PqEventType::Dip;
        double beginVolts = 0, endVolts = 0;
        bool active = false;
        PqEvent event;
        std::array<bool, kLineVoltages> involved{};
    };
    void update(Tracker& t, const HalfCycleRms& value);
    void close(Tracker& t, double endSeconds);

    double declaredVolts_;
    std::array<Tracker, 3> trackers_;
    std::vector<PqEvent> events_;
};

// Whether any event lies (in part) in [fromSeconds, toSeconds): the flag of an aggregated value.
bool overlapsEvent(const std::vector<PqEvent>& events, double fromSeconds, double toSeconds);

std::string_view eventTypeText(PqEventType type);  // "dip", "swell", "interruption", "rvc"

}  // namespace pqwave
