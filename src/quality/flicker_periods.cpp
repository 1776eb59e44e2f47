#include "quality/flicker_periods.h"

#include <cmath>
#include <cstdint>

#include "common/textforms.h"
#include "quality/flicker_statistics.h"

namespace pqwave {
namespace {

constexpr double kHourSeconds = 3600;
constexpr double kLongTermSeconds = 7200;

// The clock period (of `lengthSeconds`) that a period starting on a clock tick lies in; the
// second of margin keeps rounding of the tick from moving it to the period before.
std::int64_t clockPeriod(double startSeconds, double clockSecondsAtStart, double lengthSeconds) {
    return static_cast<std::int64_t>(std::floor((clockSecondsAtStart + startSeconds + 1) / lengthSeconds));
}

template <typename Period>
void flagAll(std::span<Period> periods, std::span<const PqEvent> events) {
    for (Period& period : periods)
        if (holdsVoltageEvent(period.startSeconds, period.endSeconds, events)) period.flagged = true;
}

// Runs `each(group, startSeconds)` over the runs of `periods` that share a clock period.
template <typename Period, typename Each>
void forEachClockPeriod(std::span<const Period> periods, double clockSecondsAtStart, double lengthSeconds, Each each) {
    std::size_t first = 0;
    while (first < periods.size()) {
        const std::int64_t index = clockPeriod(periods[first].startSeconds, clockSecondsAtStart, lengthSeconds);
        std::size_t last = first;
        while (last < periods.size() &&
               clockPeriod(periods[last].startSeconds, clockSecondsAtStart, lengthSeconds) == index)
            ++last;
        each(periods.subspan(first, last - first), static_cast<double>(index) * lengthSeconds - clockSecondsAtStart);
        first = last;
    }
}

void appendValue(std::string& row, double value) {
    row += ',';
    if (!std::isnan(value)) row += formS(static_cast<float>(value));
}

}  // namespace

bool holdsVoltageEvent(double startSeconds, double endSeconds, std::span<const PqEvent> events) {
    for (const PqEvent& event : events) {
        if (event.type == PqEventType::Rvc) continue;
        const double eventEnd = event.startSeconds + event.durationSeconds;
        if (event.startSeconds < endSeconds && (eventEnd > startSeconds || event.startSeconds >= startSeconds))
            return true;
    }
    return false;
}

void flagVoltageEvents(std::span<FlickerMinute> minutes, std::span<const PqEvent> events) {
    flagAll(minutes, events);
}

void flagVoltageEvents(std::span<ShortTermFlicker> shortTerm, std::span<const PqEvent> events) {
    flagAll(shortTerm, events);
}

std::vector<LongTermFlicker> longTermFlicker(std::span<const ShortTermFlicker> shortTerm, double clockSecondsAtStart) {
    std::vector<LongTermFlicker> result;
    forEachClockPeriod(shortTerm, clockSecondsAtStart, kLongTermSeconds,
                       [&](std::span<const ShortTermFlicker> group, double startSeconds) {
                           LongTermFlicker l;
                           l.startSeconds = startSeconds;
                           l.endSeconds = startSeconds + kLongTermSeconds;
                           l.shortTermCount = static_cast<int>(group.size());
                           l.complete = group.size() == kLongTermSeconds / 600;
                           for (const ShortTermFlicker& s : group) {
                               l.complete = l.complete && s.complete;
                               l.flagged = l.flagged || s.flagged;
                           }
                           l.flagged = l.flagged || !l.complete;
                           for (int v = 0; v < kLineVoltages; ++v) {
                               std::vector<double> pst;
                               for (const ShortTermFlicker& s : group) pst.push_back(s.pst[v]);
                               l.plt[v] = longTermSeverity(pst);
                           }
                           result.push_back(l);
                       });
    return result;
}

std::vector<DeltaV10Hour> deltaV10Hours(std::span<const FlickerMinute> minutes, double clockSecondsAtStart) {
    std::vector<DeltaV10Hour> result;
    forEachClockPeriod(minutes, clockSecondsAtStart, kHourSeconds,
                       [&](std::span<const FlickerMinute> group, double startSeconds) {
                           DeltaV10Hour h;
                           h.startSeconds = startSeconds;
                           h.endSeconds = startSeconds + kHourSeconds;
                           h.complete = group.size() == kHourSeconds / 60;
                           for (const FlickerMinute& m : group) {
                               h.complete = h.complete && m.complete;
                               h.flagged = h.flagged || m.flagged;
                           }
                           h.flagged = h.flagged || !h.complete;
                           for (int v = 0; v < kLineVoltages; ++v) {
                               std::vector<double> values;
                               for (const FlickerMinute& m : group) values.push_back(m.deltaV10[v]);
                               h.voltages[v] = summariseDeltaV10(values);
                           }
                           result.push_back(h);
                       });
    return result;
}

std::string flickerMinuteRow(std::string_view startText, std::string_view endText, const FlickerMinute& minute) {
    std::string row;
    row.append(startText).append(",").append(endText).append(minute.flagged ? ",1" : ",0");
    for (double v : minute.deltaV10) appendValue(row, v);
    for (double v : minute.pinstMax) appendValue(row, v);
    return row;
}

}  // namespace pqwave
