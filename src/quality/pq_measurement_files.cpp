#include "quality/pq_measurement_files.h"

#include <cmath>
#include <string>
#include <vector>

#include "common/textforms.h"
#include "quality/recording_clock.h"

namespace pqwave {
namespace {

// The engine and the flickermeter place clock intervals alike to well within this.
constexpr double kSameTickSeconds = 0.5;

bool sameTime(double a, double b) {
    return std::abs(a - b) < kSameTickSeconds;
}

void appendValues(std::vector<std::string>& cells, const LineValues* values) {
    for (int v = 0; v < kLineVoltages; ++v)
        cells.push_back(values && std::isfinite((*values)[v]) ? formS(static_cast<float>((*values)[v])) : "");
}

const LineValues* shortTermAt(const PqMeasurement& m, const PqRow& row) {
    for (const ShortTermFlicker& s : m.flicker.shortTerm)
        if (sameTime(s.startSeconds, row.startSeconds)) return &s.pst;
    return nullptr;
}

const LineValues* longTermStartingAt(const PqMeasurement& m, const PqRow& row) {
    for (const LongTermFlicker& l : m.longTerm)
        if (sameTime(l.startSeconds, row.startSeconds)) return &l.plt;
    return nullptr;
}

const LineValues* completeLongTermEndingAt(const PqMeasurement& m, const PqRow& row) {
    for (const LongTermFlicker& l : m.longTerm)
        if (l.complete && sameTime(l.endSeconds, row.endSeconds)) return &l.plt;
    return nullptr;
}

}  // namespace

PqExtraColumns flickerColumns(const PqMeasurement& measurement, PqAggregation aggregation) {
    PqExtraColumns columns;
    columns.headers = {"Pst_U12", "Pst_U23", "Pst_U31", "Plt_U12", "Plt_U23", "Plt_U31"};
    columns.cells = [&measurement, aggregation](const PqRow& row) {
        std::vector<std::string> cells;
        const bool tenMinutes = aggregation == PqAggregation::TenMinutes;
        const bool twoHours = aggregation == PqAggregation::TwoHours;
        appendValues(cells, tenMinutes ? shortTermAt(measurement, row) : nullptr);
        appendValues(cells, twoHours     ? longTermStartingAt(measurement, row)
                            : tenMinutes ? completeLongTermEndingAt(measurement, row)
                                         : nullptr);
        return cells;
    };
    return columns;
}

void writePqMeasurement(const PqSettings& settings, const PqMeasurement& measurement, const PqMeasurementFiles& files) {
    writePqFiles(settings, measurement.result, {files.summary, files.harmonics, files.events},
                 flickerColumns(measurement, settings.aggregation));
    const RecordingClock clock(settings.startDateTime);
    files.flicker.writeLine(pqRecordingLine(settings, measurement.result));
    files.flicker.writeLine(kFlickerMinuteHeader);
    for (const FlickerMinute& minute : measurement.flicker.minutes) {
        files.flicker.writeAscii(
            flickerMinuteRow(clock.text(minute.startSeconds), clock.text(minute.endSeconds), minute));
        files.flicker.endLine();
    }
}

}  // namespace pqwave
