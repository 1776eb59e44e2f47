#include "quality/recording_clock.h"

#include <cmath>
#include <cstdio>

#include "common/datetime.h"

namespace pqwave {
namespace {

constexpr std::int64_t kMillisecondsPerDay = 86'400'000;

std::int64_t floorDivide(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

RecordingClock::RecordingClock(double startDateTime)
    : startMilliseconds_(std::isfinite(startDateTime) ? std::llround(startDateTime * kMillisecondsPerDay) : 0) {}

std::int64_t RecordingClock::intervalIndex(double seconds, double periodSeconds) const {
    // A time that intervalStart() returned belongs to the interval it starts, despite rounding.
    const double clockMilliseconds = static_cast<double>(startMilliseconds_) + seconds * 1000;
    return static_cast<std::int64_t>(std::floor(clockMilliseconds / (periodSeconds * 1000) + 1e-9));
}

double RecordingClock::intervalStart(std::int64_t index, double periodSeconds) const {
    // Whole milliseconds first, so a tick lands exactly on the start when they coincide.
    const auto tickMilliseconds =
        static_cast<std::int64_t>(std::llround(static_cast<double>(index) * periodSeconds * 1000));
    return static_cast<double>(tickMilliseconds - startMilliseconds_) / 1000;
}

std::string RecordingClock::text(double seconds) const {
    const std::int64_t ms = startMilliseconds_ + std::llround(seconds * 1000);
    const std::int64_t days = floorDivide(ms, kMillisecondsPerDay);
    const std::int64_t ofDay = ms - days * kMillisecondsPerDay;
    const CivilDateTime date = toCivil(static_cast<double>(days));
    char time[32];
    std::snprintf(time, sizeof time, " %d:%02d:%02d.%03d", static_cast<int>(ofDay / 3'600'000),
                  static_cast<int>(ofDay / 60'000 % 60), static_cast<int>(ofDay / 1000 % 60),
                  static_cast<int>(ofDay % 1000));
    return formatDate(date) + time;
}

}  // namespace pqwave
