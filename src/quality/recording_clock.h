// The wall clock of a recording: times in the analyses are seconds from its first sample, and
// the 10-s, 10-min and 2-h intervals of the power-quality methods are aligned to the clock, not
// to the recording's start. The start is kept to the millisecond, so ticks fall on whole clock
// times however the date-time value rounds.
#pragma once

#include <cstdint>
#include <string>

namespace pqwave {

class RecordingClock {
public:
    // `startDateTime`: the first sample, days since 1899-12-30 (see common/datetime.h).
    explicit RecordingClock(double startDateTime);

    // The clock interval of `periodSeconds` that holds recording time `seconds`, counted from
    // 1899-12-30, and where such an interval begins in recording seconds.
    std::int64_t intervalIndex(double seconds, double periodSeconds) const;
    double intervalStart(std::int64_t index, double periodSeconds) const;
    // The first clock tick of `periodSeconds` strictly after `seconds`.
    double nextTick(double seconds, double periodSeconds) const {
        return intervalStart(intervalIndex(seconds, periodSeconds) + 1, periodSeconds);
    }

    // "yyyy/MM/dd H:mm:ss.fff" of recording time `seconds`, rounded to the millisecond.
    std::string text(double seconds) const;

private:
    std::int64_t startMilliseconds_ = 0;
};

}  // namespace pqwave
