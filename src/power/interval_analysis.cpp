// PQOut0ms: per output interval the three-phase RMS voltage (ch1 = u-v and ch2 = w-v in V
// connection), every circuit's RMS current and its active and reactive power by the
// two-wattmeter method, and as chosen per-phase values, compensation values, harmonics,
// logic states and frequency. Sums are single precision; each contribution is formed in
// double from single inputs and rounded back into its sum, so long intervals round as the
// instrument software's do.
#include "power/interval_analysis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/every_core.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/text_output_file.h"
#include "power/frequency.h"
#include "power/harmonics.h"
#include "power/interval_sums.h"
#include "power/output_interval.h"
#include "power/step_guard.h"
#include "power/wiring.h"

namespace pqwave {
namespace {

// The samples of a stretch of intervals, enough to share between the cores; a stretch holds no
// more than 2048 intervals' sums (1.4 MB).
constexpr long long kSamplesPerStretch = 1 << 18;

void refuseUnusable(const PowerSettings& s) {
    requireSamplesInInterval(s);
    double lastPosition = roundHalfEven(s.samplesPerInterval - 1);
    if (lastPosition > 32767)
        throw ArithmeticError(
            tr("{0}: an output interval of {1} samples is longer than the 32768 samples the "
               "analysis takes; shorten 出力間隔",
               {s.fileName, s.samplesPerIntervalText}));
}

// Per-sample values that keep their previous value when a step fails.
struct HeldValues {
    float vm = 0, x = 0, vb = 0;
};

// Reference sine and cosine of the fundamental (row 0) and the 5th harmonic (row 1) by
// position in the interval.
struct ReferenceTables {
    std::vector<std::vector<double>> sine, cosine;
};

Correlation correlation(const std::array<float, 3>& sine, const std::array<float, 3>& cosine) {
    return {sine, cosine};
}

Correlation correlation(const std::array<Lanes, 3>& sine, const std::array<Lanes, 3>& cosine, int lane) {
    return {{sine[0][lane], sine[1][lane], sine[2][lane]}, {cosine[0][lane], cosine[1][lane], cosine[2][lane]}};
}

class IntervalAnalysis {
public:
    IntervalAnalysis(const PowerSettings& settings, const RecordingView& recording, TextOutputFile* file,
                     Progress& progress, const RowObserver& observer)
        : s_(settings),
          recording_(recording),
          file_(file),
          progress_(progress),
          observer_(observer),
          qts_(settings.wiring.qts()),
          writer_(settings) {
        refuseUnusable(s_);
        writing_ = file_ != nullptr && !s_.statisticsOnly;
        values_.logic.assign(static_cast<std::size_t>(std::max(s_.logicChannelCount, 0)), 0);
    }

    IntervalResult run();

private:
    void prepareTables();
    SampleInput sampleInput() const;
    void addCompensation(const SampleInput& in, const std::int64_t* rows, int count);
    void addCrossings(const std::int64_t* rows, int count);
    void rowsOf(long long m, std::vector<std::int64_t>& rows) const;
    long long intervalsInMemory(long long rows, int positions) const;
    void sumIntervals(const SampleInput& in, long long first, long long count, std::vector<IntervalSums>& sums,
                      double progressStart, double progressShare);
    void endInterval(long long m);
    void averageInterval(long long m);

    // Stores a computed value, or keeps the previous one (and counts the step) when it
    // cannot be computed.
    template <typename T>
    void set(T& target, double value) {
        guard_.assign(target, value);
    }

    const PowerSettings& s_;
    const RecordingView& recording_;
    TextOutputFile* file_;
    Progress& progress_;
    const RowObserver& observer_;
    const float qts_;
    bool writing_ = false;
    bool hasSecondVoltage_ = true;
    int lastPosition_ = 0;  // rnd(N - 1): positions 0..lastPosition_ in each interval
    ReferenceTables tables_;
    IntervalSums sums_;
    HeldValues held_;
    FrequencyMeter frequency_;
    StepGuard guard_;
    RowValues values_;
    RowWriter writer_;
    IntervalResult result_;
};

void IntervalAnalysis::prepareTables() {
    std::size_t columns = static_cast<std::size_t>(roundHalfEven(s_.samplesPerInterval)) + 1;
    tables_.sine.assign(2, std::vector<double>(columns, 0.0));
    tables_.cosine.assign(2, std::vector<double>(columns, 0.0));
    lastPosition_ = static_cast<int>(roundHalfEven(s_.samplesPerInterval - 1));
    const double fs = s_.samplingFrequency;
    if (s_.fundamental) fillReferenceTable(tables_.sine, tables_.cosine, 0, 1, s_.supplyFrequency, fs, lastPosition_);
    if (s_.fifth) fillReferenceTable(tables_.sine, tables_.cosine, 1, 5, s_.supplyFrequency, fs, lastPosition_);
    if (s_.frequency)
        result_.intervalFrequency.assign(
            static_cast<std::size_t>(std::floor(s_.totalSamples / s_.samplesPerInterval)) + 1, 0.0f);
}

SampleInput IntervalAnalysis::sampleInput() const {
    SampleInput in = sampleInputFor(s_, recording_, hasSecondVoltage_);
    in.fundSine = tables_.sine[0].data();
    in.fundCosine = tables_.cosine[0].data();
    in.fifthSine = tables_.sine[1].data();
    in.fifthCosine = tables_.cosine[1].data();
    return in;
}

// The voltage before compensation and the theoretical compensation value of the target
// circuits, sample by sample: steps that divide by the instantaneous voltage keep their
// previous value when it is 0.
void IntervalAnalysis::addCompensation(const SampleInput& in, const std::int64_t* rows, int count) {
    const double vd = s_.countsPerDivision, pt = s_.ptRatio, vd2 = vd * vd;
    for (int k = 0; k < count; ++k) {
        const std::int16_t* row = in.table + rows[k] * static_cast<std::int64_t>(in.columns);
        const double d1 = static_cast<float>(row[0] * in.scaleV1);
        const double d2 = static_cast<float>(row[1] * in.scaleV2);
        const double d12 = d1 - d2;
        set(held_.vm, std::sqrt((d1 * d1 + d2 * d2 + d12 * d12) / 3) / vd * pt);
        const double vm = held_.vm;
        auto power = [&](int c, double& p, double& q3) {
            const Current y = circuitCurrent(in, row, c);
            p = twoWattmeterP<double>(d1, d2, y.a, y.b);
            q3 = twoWattmeterQ3<double>(d1, d2, d12, y.a, y.b, y.t);
        };
        if (int c = s_.compensationTarget; s_.compensation && c >= 0) {
            double p, q3, ct = s_.clampAmps[c];
            power(c, p, q3);
            set(held_.x, ct * (pt * (p * s_.kP / vm * 1000 / vd2)) / 0.2 / 1000 + vm);
            set(held_.vb, held_.x + ct * (pt * (q3 * s_.kQ / vm * 1000 / vd2)) * qts_);
            set(sums_.vbSq, static_cast<double>(sums_.vbSq) + static_cast<double>(held_.vb) * held_.vb);
        }
        if (int c = s_.theoreticalTarget; s_.theoretical && c >= 0) {
            double p, q3, ct = s_.clampAmps[c];
            power(c, p, q3);
            set(sums_.theoSum,
                (sums_.theoSum + ct * (pt * (p * -s_.kRX / vd2)) / 0.2 / 1000) - ct * (pt * q3 / vd2) * qts_);
        }
    }
}

void IntervalAnalysis::addCrossings(const std::int64_t* rows, int count) {
    const RawSampleTable& table = recording_.table;
    for (int k = 0; k < count; ++k) {
        const std::int16_t* row = table.row(static_cast<std::size_t>(rows[k]));
        const std::int16_t* next = table.row(static_cast<std::size_t>(rows[k] + 1));
        if (!frequency_.addSample(rows[k], row[0], row[1], next[0], next[1])) guard_.fail();
    }
}

// The values of interval m from its sums, into values_.
void IntervalAnalysis::averageInterval(long long m) {
    const double n = s_.samplesPerInterval, vd = s_.countsPerDivision, pt = s_.ptRatio, vd2 = vd * vd;
    const IntervalSums& u = sums_;
    RowValues& r = values_;
    r.row = m;
    r.seconds = m * s_.intervalMs / 1000;

    const float lineTotal = u.lineSq[0] + u.lineSq[1] + u.lineSq[2];
    const float nV = s_.channelCount == 1 ? 1.0f : 3.0f;
    const float rms = static_cast<float>(std::sqrt(lineTotal / nV / n));
    set(r.v, static_cast<float>(rms / vd * pt));
    if (s_.fundamental) set(r.fundamentalV, threePhaseRms(correlation(u.fundVS, u.fundVC), n) / vd * pt);

    for (int c = 0; c < s_.circuits; ++c) {
        const double ct = s_.clampAmps[c];
        const float rmsCurrent =
            static_cast<float>(std::sqrt((u.curSq[0][c] + u.curSq[1][c] + u.curSq[2][c]) / 3.0f / n));
        set(r.i[c], rmsCurrent / vd * ct / 0.2);
        if (s_.fundamental)
            set(r.fundamentalI[c], threePhaseRms(correlation(u.fundIS, u.fundIC, c), n) / vd * ct / 0.2);
        set(r.p[c], ((u.phaseP[0][c] + u.phaseP[1][c] + u.phaseP[2][c]) / n) / vd2 * pt * ct / 0.2 / 1000);
        set(r.q[c], (((u.phaseQ[0][c] + u.phaseQ[1][c]) + u.phaseQ[2][c]) / n) / vd2 * pt * ct * qts_);
    }

    if (s_.fifth) {
        set(r.fifthV, threePhaseRms(correlation(u.fifthVS, u.fifthVC), n) / vd * pt);
        for (int c = 0; c < s_.circuits; ++c) {
            set(r.fifthI[c], threePhaseRms(correlation(u.fifthIS, u.fifthIC, c), n) / vd * s_.clampAmps[c] / 0.2);
            r.fifthPhase[c] =
                fifthHarmonicPhase(correlation(u.fifthVS, u.fifthVC), correlation(u.fifthIS, u.fifthIC, c));
        }
    }

    if (s_.perPhase) {
        const auto& voltages = s_.lineVoltages ? u.lineSq : u.phaseSq;
        for (int k = 0; k < 3; ++k) set(r.phaseV[k], std::sqrt(voltages[k] / n) / vd * pt);
        for (int c = 0; c < s_.circuits; ++c) {
            const double ct = s_.clampAmps[c];
            for (int k = 0; k < 3; ++k) {
                set(r.phaseI[c][k], std::sqrt(u.curSq[k][c] / n) / vd * ct / 0.2);
                set(r.phaseP[c][k], u.phaseP[k][c] / n / vd2 * pt * ct / 0.2 / 1000);
                set(r.phaseQ[c][k], u.phaseQ[k][c] / n / vd2 * pt * ct * qts_);
            }
        }
    }

    if (s_.compensation) set(r.compensatedV, std::sqrt(u.vbSq / n));
    if (s_.theoretical) set(r.theoretical, u.theoSum / n);

    // The logic state at the start of the interval, its four low bits in reversed weights.
    guard_.fail(readLogicStates(recording_, roundHalfEven(n * m), r.logic));

    r.frequency.reset();
    if (s_.frequency) {
        r.frequency = frequency_.endInterval(n);
        if (r.frequency && static_cast<std::size_t>(m) < result_.intervalFrequency.size())
            result_.intervalFrequency[m] = *r.frequency;
    }
}

// Interval m takes the samples rnd(N m + k); N need not be whole.
void IntervalAnalysis::rowsOf(long long m, std::vector<std::int64_t>& rows) const {
    const double n = s_.samplesPerInterval;
    for (std::size_t k = 0; k < rows.size(); ++k)
        rows[k] = static_cast<std::int64_t>(roundHalfEven(n * static_cast<double>(m) + static_cast<double>(k)));
}

// The intervals, from the first, whose samples and the one after the last are all in memory.
long long IntervalAnalysis::intervalsInMemory(long long rows, int positions) const {
    const double n = s_.samplesPerInterval;
    auto inMemory = [&](long long m) { return roundHalfEven(n * static_cast<double>(m) + (positions - 1)) + 1 < rows; };
    // The last row grows with m: the first interval out of memory, by bisection.
    long long low = 0, high = static_cast<long long>(std::floor(s_.totalSamples / n)) + 1;
    while (low < high) {
        const long long middle = low + (high - low) / 2;
        if (inMemory(middle))
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void IntervalAnalysis::sumIntervals(const SampleInput& in, long long first, long long count,
                                    std::vector<IntervalSums>& sums, double progressStart, double progressShare) {
    sums.assign(static_cast<std::size_t>(count), IntervalSums{});
    // A few tasks per core, so that a core slowed by another program does not hold up the rest.
    const std::size_t tasks = std::min<std::size_t>(static_cast<std::size_t>(count), 4 * usableProcessors());
    const long long perTask = (count + static_cast<long long>(tasks) - 1) / static_cast<long long>(tasks);
    const int positions = lastPosition_ + 1;
    runOnEveryCore(
        tasks, count, progress_,
        [&](std::size_t task, auto&& step) {
            std::vector<std::int64_t> rows(static_cast<std::size_t>(positions));
            const long long from = std::min(count, static_cast<long long>(task) * perTask);
            const long long to = std::min(count, from + perTask);
            for (long long j = from; j < to; ++j) {
                rowsOf(first + j, rows);
                accumulateSamples(in, rows.data(), positions, sums[static_cast<std::size_t>(j)]);
            }
            step(to - from);
        },
        progressShare, progressStart);
}

void IntervalAnalysis::endInterval(long long m) {
    averageInterval(m);
    if (writing_) {
        file_->writeAscii(writer_.format(values_));
        file_->endLine();
    }
    if (observer_) observer_(values_);
    sums_ = IntervalSums{};
}

IntervalResult IntervalAnalysis::run() {
    prepareTables();
    const double n = s_.samplesPerInterval;
    const long long intervals = static_cast<long long>(std::floor(s_.totalSamples / n));
    const RawSampleTable& table = recording_.table;
    const long long rows = static_cast<long long>(table.rows());
    hasSecondVoltage_ = table.columns() > 1 && s_.channelCount > 1;
    if (!hasSecondVoltage_) guard_.fail();  // the steps that read ch2 cannot run
    if (s_.circuits > 0 && table.columns() < static_cast<std::size_t>(2 * s_.circuits + 2))
        throw ArithmeticError(tr("{0}: the loaded samples do not hold every current circuit", {s_.fileName}));

    const SampleInput in = sampleInput();
    const bool compensation = hasSecondVoltage_ && ((s_.compensation && s_.compensationTarget >= 0) ||
                                                    (s_.theoretical && s_.theoreticalTarget >= 0));
    const bool crossings = hasSecondVoltage_ && s_.frequency;
    const int positions = lastPosition_ + 1;
    // The last sample and the one after it (for the crossings) must be in memory.
    const long long whole = std::min(intervals, intervalsInMemory(rows, positions));
    // The sums of a stretch of intervals are formed on every core; what follows each interval
    // (compensation, the frequency's crossings, the row) depends on the one before, in order here.
    const long long stretch = std::clamp<long long>(kSamplesPerStretch / positions, 16, 2048);
    std::vector<IntervalSums> stretchSums;
    std::vector<std::int64_t> sampleRows(static_cast<std::size_t>(positions));
    for (long long first = 0; first < whole; first += stretch) {
        const long long count = std::min(stretch, whole - first);
        sumIntervals(in, first, count, stretchSums, static_cast<double>(first) / intervals,
                     static_cast<double>(count) / intervals);
        for (long long m = first; m < first + count; ++m) {
            rowsOf(m, sampleRows);
            sums_ = stretchSums[static_cast<std::size_t>(m - first)];
            if (compensation) addCompensation(in, sampleRows.data(), positions);
            if (crossings) addCrossings(sampleRows.data(), positions);
            endInterval(m);
        }
    }
    if (whole < intervals) guard_.fail();
    result_.intervalCount = static_cast<std::int32_t>(intervals);
    result_.failedSteps = guard_.failures();
    return std::move(result_);
}

}  // namespace

IntervalResult PQOut0ms(const PowerSettings& settings, const RecordingView& recording, TextOutputFile* file,
                        Progress& progress, const RowObserver& observer) {
    IntervalAnalysis analysis(settings, recording, file, progress, observer);
    return analysis.run();
}

}  // namespace pqwave
