#include "report/event_classes.h"

namespace pqwave {
namespace {

const std::vector<double> kDipRows{90, 80, 70, 40, 5, 0};   // row r spans [bounds[r+1], bounds[r])
const std::vector<double> kDipColumns{0.2, 0.5, 1, 5, 60};  // then one column beyond a minute
const std::vector<double> kSwellRows{120, 110};             // u >= 120; 120 > u > 110
const std::vector<double> kSwellColumns{0.5, 5, 60};
constexpr double kShortInterruptionSeconds = 180;

int columnOf(const std::vector<double>& bounds, double seconds) {
    for (std::size_t c = 0; c < bounds.size(); ++c)
        if (seconds <= bounds[c]) return static_cast<int>(c);
    return static_cast<int>(bounds.size());
}

EventClassTable emptyTable(const std::vector<double>& rows, const std::vector<double>& columns, int rowCount) {
    EventClassTable t;
    t.rowBounds = rows;
    t.columnBounds = columns;
    t.counts.assign(static_cast<std::size_t>(rowCount), std::vector<int>(columns.size() + 1, 0));
    return t;
}

}  // namespace

std::array<int, 2> dipCell(double residualPercent, double seconds) {
    int row = 0;  // a residual at or above 90 % (a dip threshold set higher) counts in the top row
    while (row + 1 < static_cast<int>(kDipRows.size()) - 1 && residualPercent < kDipRows[row + 1]) ++row;
    return {row, columnOf(kDipColumns, seconds)};
}

std::array<int, 2> swellCell(double maximumPercent, double seconds) {
    return {maximumPercent >= kSwellRows[0] ? 0 : 1, columnOf(kSwellColumns, seconds)};
}

EventClasses classifyEvents(std::span<const TimedEvent> events) {
    EventClasses c;
    c.dips = emptyTable(kDipRows, kDipColumns, static_cast<int>(kDipRows.size()) - 1);
    c.swells = emptyTable(kSwellRows, kSwellColumns, 2);
    for (const TimedEvent& timed : events) {
        const PqEvent& e = *timed.event;
        switch (e.type) {
            case PqEventType::Dip: {
                const auto [row, column] = dipCell(e.extremePercent, e.durationSeconds);
                ++c.dips.counts[row][column];
                break;
            }
            case PqEventType::Swell: {
                const auto [row, column] = swellCell(e.extremePercent, e.durationSeconds);
                ++c.swells.counts[row][column];
                break;
            }
            case PqEventType::Interruption:
                ++(e.durationSeconds <= kShortInterruptionSeconds ? c.shortInterruptions : c.longInterruptions);
                break;
            default:
                break;
        }
    }
    return c;
}

}  // namespace pqwave
