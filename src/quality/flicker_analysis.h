// Flicker of the line voltages over the clock: each voltage through the flickermeter, Pinst
// classified over each clock-aligned 10 minutes into Pst, and per clock-aligned minute the
// largest Pinst and delta V10. Samples go in as blocks (a PqSignalSource's read, or any other
// loop); times are seconds from the first sample, and the clock time of that sample aligns
// the periods. A period the recording only partly covers (or whose start the flickermeter had
// not settled for) is still given, computed from the part covered, and marked not complete.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/progress.h"
#include "quality/delta_v10.h"
#include "quality/flicker_channel.h"
#include "quality/flicker_statistics.h"
#include "quality/pq_types.h"

namespace pqwave {

struct FlickerSettings {
    std::string fileName;             // named in a refusal
    double nominalHz = 50;            // the supply frequency setting (Option5)
    std::optional<FlickerLamp> lamp;  // default: lampForSupply(nominalHz)
    // Clock time of the first sample in seconds from a midnight, e.g. the recording's start
    // date-time value x 86400: the minutes, 10 minutes and 2 hours start on its ticks.
    double clockSecondsAtStart = 0;
    VisibilityCurve visibility;
};

using LineValues = std::array<double, kLineVoltages>;  // U12, U23, U31; NaN where not measured

struct FlickerMinute {
    double startSeconds = 0, endSeconds = 0;
    bool complete = false;
    bool flagged = false;   // not complete, or holding a dip, swell or interruption
    LineValues deltaV10{};  // volts on the 100 V base
    LineValues pinstMax{};
};

struct ShortTermFlicker {  // one clock-aligned 10 minutes
    double startSeconds = 0, endSeconds = 0;
    bool complete = false;
    bool flagged = false;
    LineValues pst{};
};

struct FlickerSeries {
    std::vector<FlickerMinute> minutes;
    std::vector<ShortTermFlicker> shortTerm;
};

class FlickerAnalysis {
public:
    // `voltages` (1 to 3) signals, in the order U12, U23, U31. Refuses (Error, NotAvailable,
    // naming the file) a sampling below FlickerChannel::minimumSamplingHz.
    FlickerAnalysis(double samplingHz, int voltages, const FlickerSettings& settings);

    // volts[v][k], k < count, for every voltage v: the next samples.
    void process(std::span<const float* const> volts, std::size_t count);
    // Closes the open periods and hands over every period seen.
    FlickerSeries finish();

private:
    struct Period {
        std::int64_t index = 0;
        double startSeconds = 0, endSeconds = 0;
        bool open = false;
        bool complete = false;
    };

    void take(double seconds, std::size_t tick);
    void moveTo(Period& period, double lengthSeconds, double seconds);
    bool closes(Period& period, double lengthSeconds, double seconds);
    bool completeAtEnd(const Period& period) const;
    void closeMinute(bool reachedEnd);
    void closeShortTerm(bool reachedEnd);

    int voltages_;
    double clockSecondsAtStart_;
    std::vector<FlickerChannel> channels_;
    std::vector<DeltaV10Meter> deltaV10_;
    std::vector<std::vector<FlickerTick>> ticks_;
    std::int64_t tickCount_ = 0;
    double lastSeconds_ = 0;

    Period minute_, shortTerm_;
    std::vector<double> pinstMax_;
    std::vector<std::vector<double>> envelopes_;
    std::vector<PinstClassifier> classifiers_;
    FlickerSeries series_;
};

// Reads the three line voltages of `source` in blocks through a FlickerAnalysis; advances
// `progress` (and so stops on cancel) when given.
FlickerSeries analyseFlicker(const PqSignalSource& source, const FlickerSettings& settings,
                             Progress* progress = nullptr);

}  // namespace pqwave
