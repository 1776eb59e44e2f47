#include "quality/voltage_events.h"

#include <algorithm>
#include <string>

namespace pqwave {
namespace {

const char* const kVoltageNames[kLineVoltages] = {"U12", "U23", "U31"};

}  // namespace

VoltageEventDetector::VoltageEventDetector(double declaredVolts, const EventThresholds& thresholds)
    : declaredVolts_(declaredVolts) {
    auto tracker = [&](PqEventType type, double beginPercent, double endPercent) {
        Tracker t;
        t.type = type;
        t.beginVolts = declaredVolts * beginPercent / 100;
        t.endVolts = declaredVolts * endPercent / 100;
        return t;
    };
    const EventThreshold& dip = thresholds.dip;
    const EventThreshold& swell = thresholds.swell;
    const EventThreshold& interruption = thresholds.interruption;
    trackers_ = {tracker(PqEventType::Dip, dip.percent, dip.percent + dip.hysteresisPercent),
                 tracker(PqEventType::Swell, swell.percent, swell.percent - swell.hysteresisPercent),
                 tracker(PqEventType::Interruption, interruption.percent,
                         interruption.percent + interruption.hysteresisPercent)};
}

void VoltageEventDetector::update(Tracker& t, const HalfCycleRms& value) {
    const bool upwards = t.type == PqEventType::Swell;
    // Beyond the begin level, and back within the end level, in the event's direction.
    auto beyond = [&](double v) { return upwards ? v > t.beginVolts : v < t.beginVolts; };
    auto back = [&](double v) { return upwards ? v <= t.endVolts : v >= t.endVolts; };
    const auto& v = value.volts;
    bool begins, ends;
    if (t.type == PqEventType::Interruption) {
        begins = std::all_of(v.begin(), v.end(), beyond);
        ends = std::any_of(v.begin(), v.end(), back);
    } else {
        begins = std::any_of(v.begin(), v.end(), beyond);
        ends = std::all_of(v.begin(), v.end(), back);
    }
    if (t.active && ends) {
        close(t, value.startSeconds);
        return;
    }
    if (!t.active && !begins) return;
    if (!t.active) {
        t.active = true;
        t.event = PqEvent{};
        t.event.type = t.type;
        t.event.startSeconds = value.startSeconds;
        t.event.extremeVolts = v[0];
        t.involved = {};
    }
    for (int k = 0; k < kLineVoltages; ++k) {
        t.event.extremeVolts = upwards ? std::max(t.event.extremeVolts, v[k]) : std::min(t.event.extremeVolts, v[k]);
        if (beyond(v[k])) t.involved[k] = true;
    }
}

void VoltageEventDetector::close(Tracker& t, double endSeconds) {
    t.active = false;
    PqEvent& e = t.event;
    e.durationSeconds = endSeconds - e.startSeconds;
    e.extremePercent = 100 * e.extremeVolts / declaredVolts_;
    for (int k = 0; k < kLineVoltages; ++k) {
        if (!t.involved[k] && t.type != PqEventType::Interruption) continue;
        if (!e.phases.empty()) e.phases += ' ';
        e.phases += kVoltageNames[k];
    }
    events_.push_back(e);
}

void VoltageEventDetector::add(const HalfCycleRms& value) {
    for (Tracker& t : trackers_) update(t, value);
}

void VoltageEventDetector::finish(double endSeconds) {
    for (Tracker& t : trackers_)
        if (t.active) close(t, endSeconds);
}

std::vector<PqEvent> VoltageEventDetector::events() const {
    std::vector<PqEvent> sorted = events_;
    // A dip and the interruption inside it may begin on the same Urms(1/2): the dip first.
    std::sort(sorted.begin(), sorted.end(), [](const PqEvent& a, const PqEvent& b) {
        return a.startSeconds != b.startSeconds ? a.startSeconds < b.startSeconds : a.type < b.type;
    });
    return sorted;
}

bool overlapsEvent(const std::vector<PqEvent>& events, double fromSeconds, double toSeconds) {
    return std::any_of(events.begin(), events.end(), [&](const PqEvent& e) {
        return e.startSeconds < toSeconds && e.startSeconds + e.durationSeconds > fromSeconds;
    });
}

std::string_view eventTypeText(PqEventType type) {
    switch (type) {
        case PqEventType::Dip:
            return "dip";
        case PqEventType::Swell:
            return "swell";
        case PqEventType::Interruption:
            return "interruption";
        case PqEventType::Rvc:
            return "rvc";
    }
    return "";
}

}  // namespace pqwave
