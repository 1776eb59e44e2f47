// What is made of the flicker periods after the run: the flags of periods holding a dip,
// swell or interruption, Plt over each clock-aligned 2 hours, delta V10's hourly figures, and
// the row of STEM_PQflicker.csv.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "quality/delta_v10.h"
#include "quality/flicker_analysis.h"
#include "quality/pq_types.h"

namespace pqwave {

// True when a dip, swell or interruption (an RVC does not count) lies in [start, end) even in
// part.
bool holdsVoltageEvent(double startSeconds, double endSeconds, std::span<const PqEvent> events);
// Flags every period holding such an event.
void flagVoltageEvents(std::span<FlickerMinute> minutes, std::span<const PqEvent> events);
void flagVoltageEvents(std::span<ShortTermFlicker> shortTerm, std::span<const PqEvent> events);

struct LongTermFlicker {  // one clock-aligned 2 hours
    double startSeconds = 0, endSeconds = 0;
    int shortTermCount = 0;  // the 10-minute periods seen in it, 12 when complete
    bool complete = false;
    bool flagged = false;  // not complete, or any of its 10-minute periods flagged
    LineValues plt{};
};
// Plt from the Pst of each 2 hours; flag the 10-minute periods first so their flags pass on.
std::vector<LongTermFlicker> longTermFlicker(std::span<const ShortTermFlicker> shortTerm, double clockSecondsAtStart);

struct DeltaV10Hour {  // one clock-aligned hour
    double startSeconds = 0, endSeconds = 0;
    bool complete = false;  // 60 complete minutes
    bool flagged = false;
    std::array<DeltaV10Summary, kLineVoltages> voltages{};
};
std::vector<DeltaV10Hour> deltaV10Hours(std::span<const FlickerMinute> minutes, double clockSecondsAtStart);

inline constexpr std::string_view kFlickerMinuteHeader =
    "Start,End,Flag,dV10_U12(V),dV10_U23(V),dV10_U31(V),Pinst_max_U12,Pinst_max_U23,Pinst_max_U31";
// One row of STEM_PQflicker.csv after the Start and End texts the caller formats; values in
// the single-precision text form, a value not measured left empty.
std::string flickerMinuteRow(std::string_view startText, std::string_view endText, const FlickerMinute& minute);

}  // namespace pqwave
