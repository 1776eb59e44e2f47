#include "quality/pq_measurement.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "common/error.h"
#include "quality/power_quality.h"
#include "quality/rvc.h"

namespace pqwave {
namespace {

FlickerSettings flickerSettingsOf(const PqSettings& s) {
    FlickerSettings f;
    f.fileName = s.fileName;
    f.nominalHz = s.nominalHz;
    f.clockSecondsAtStart = clockSecondsOf(s.startDateTime);
    return f;
}

RvcSettings rvcSettingsOf(const PqSettings& s, const PqMeasurementOptions& options, double declaredVolts) {
    RvcSettings r;
    r.nominalHz = s.nominalHz;
    r.udinVolts = declaredVolts;
    r.thresholdPercent = options.rvcThresholdPercent;
    r.hysteresisPercent = options.rvcHysteresisPercent;
    r.dipPercent = s.thresholds.dip.percent;
    r.swellPercent = s.thresholds.swell.percent;
    return r;
}

}  // namespace

double clockSecondsOf(double startDateTime) {
    return std::round(startDateTime * 86400 * 1000) / 1000;
}

PqMeasurement measurePowerQuality(const PqSettings& settings, const PqSignalSource& signals, Progress& progress,
                                  const PqMeasurementOptions& options) {
    PqMeasurement m;
    const FlickerSettings flickerSettings = flickerSettingsOf(settings);
    std::optional<FlickerAnalysis> flicker;
    if (options.flicker) {
        try {
            flicker.emplace(signals.samplingHz(), kLineVoltages, flickerSettings);
        } catch (const Error& error) {
            // The other quantities stand without it.
            if (error.kind() != ErrorKind::NotAvailable) throw;
            m.flickerProblem = error.what();
        }
    }
    std::optional<RvcDetector> rvc;
    PqObservers observers;
    observers.declaredVoltage = [&](double volts) { rvc.emplace(rvcSettingsOf(settings, options, volts)); };
    observers.halfCycle = [&](const HalfCycleRms& value) { rvc->add(value); };
    if (flicker)
        observers.lineVoltages = [&](std::span<const float* const> volts, std::size_t count) {
            flicker->process(volts, count);
        };
    ThreeSecondExtremes extremes(settings.startDateTime);
    observers.threeSecondVoltages = [&](double start, double, const std::array<double, kLineVoltages>& volts) {
        extremes.add(start, volts);
    };
    m.result = runPowerQuality(settings, signals, progress, observers);
    m.threeSecondExtremes = extremes.take();

    std::vector<PqEvent>& events = m.result.events;
    if (rvc) events.insert(events.end(), rvc->events().begin(), rvc->events().end());
    std::stable_sort(events.begin(), events.end(),
                     [](const PqEvent& a, const PqEvent& b) { return a.startSeconds < b.startSeconds; });
    if (flicker) {
        m.flicker = flicker->finish();
        flagVoltageEvents(m.flicker.minutes, events);
        flagVoltageEvents(m.flicker.shortTerm, events);
        m.longTerm = longTermFlicker(m.flicker.shortTerm, flickerSettings.clockSecondsAtStart);
        m.deltaV10Hours = deltaV10Hours(m.flicker.minutes, flickerSettings.clockSecondsAtStart);
    }
    return m;
}

}  // namespace pqwave
