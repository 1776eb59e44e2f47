#include "power/sliding_analysis.h"

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/text_output_file.h"
#include "common/textforms.h"
#include "power/interval_sums.h"
#include "power/output_interval.h"
#include "power/step_guard.h"
#include "power/wiring.h"

namespace pqwave {
namespace {

// The sums of one window position as the ring keeps them, flat so that the ring's mean is one
// loop over the positions.
struct WindowSums {
    static constexpr int kVoltage = 0;             // Vuv, Vvw, Vuw: line or star-point squares by the mode
    static constexpr int kCurrent = kVoltage + 3;  // [phase u, v, w][circuit]
    static constexpr int kPower = kCurrent + 3 * kCircuitLanes;
    static constexpr int kReactive = kPower + 3 * kCircuitLanes;
    static constexpr int kCompensated = kReactive + 3 * kCircuitLanes;
    static constexpr int kTheoretical = kCompensated + 1;
    static constexpr int kSize = kTheoretical + 1;
    std::array<float, kSize> f{};

    float voltage(int k) const { return f[kVoltage + k]; }
    float current(int k, int c) const { return f[kCurrent + k * kCircuitLanes + c]; }
    float power(int k, int c) const { return f[kPower + k * kCircuitLanes + c]; }
    float reactive(int k, int c) const { return f[kReactive + k * kCircuitLanes + c]; }
};

std::string numberText(double value) {
    return formD(value);
}

class SlidingAnalysis {
public:
    SlidingAnalysis(const PowerSettings& settings, const RecordingView& recording, TextOutputFile* file,
                    Progress& progress, const RowObserver& observer)
        : s_(settings),
          recording_(recording),
          file_(file),
          progress_(progress),
          observer_(observer),
          qts_(settings.wiring.qts()),
          writer_(settings) {
        refuseUnusable();
        writing_ = file_ != nullptr && !s_.statisticsOnly;
        values_.logic.assign(static_cast<std::size_t>(std::max(s_.logicChannelCount, 0)), 0);
    }

    SlidingResult run();

private:
    // A sample's contributions, kept from when it enters the window until it leaves, so that
    // what leaves is exactly what entered and is formed once.
    struct Contribution {
        std::int64_t row = -1;
        SampleContribution sums;
        bool compensationFinite = false, theoreticalFinite = false;
        double vbSquare = 0;                      // to the voltage before compensation
        double activeTerm = 0, reactiveTerm = 0;  // of the theoretical compensation value
    };

    void refuseUnusable();
    void update(double sampleNumber, double sign);
    const Contribution& contributionOf(std::int64_t row);
    void computeCompensation(const std::int16_t* row, Contribution& c) const;
    void applyCompensation(const Contribution& c, double sign);
    void store(std::size_t position);
    void fileOut(long long row);
    void average(long long row);

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
    double n_ = 0;            // samples per output interval
    long long rowEvery_ = 1;  // L: steps between rows
    int ringSize_ = 1;        // Sc10
    SampleInput in_;
    IntervalSums sums_;
    std::vector<Contribution> contributions_;  // by row, modulo its power-of-two size
    std::vector<WindowSums> ring_;
    StepGuard guard_;
    RowValues values_;
    RowWriter writer_;
    SlidingResult result_;
};

double positionsIn10ms(const PowerSettings& s) {
    return roundHalfEven(s.samplesPerDivision * (10 / s.timePerDivision) / 1000 * s.timeUnitFactor);
}

void SlidingAnalysis::refuseUnusable() {
    const std::string& file = s_.fileName;
    n_ = s_.samplesPerInterval;
    requireSamplesInInterval(s_);
    if (!fitsInt32(n_))
        throw ArithmeticError(
            tr("{0}: the output interval holds {1} samples, more than the analysis can count; "
               "shorten 出力間隔",
               {file, s_.samplesPerIntervalText}));
    rowEvery_ = CLng(n_);
    if (!(s_.timePerDivision > 0) || !std::isfinite(s_.timePerDivision))
        throw ArithmeticError(
            tr("{0}: the time per division is {1}, so the 10 ms window of 10ms移動平均誤差補正 has no length",
               {file, numberText(s_.timePerDivision)}));
    const double positions = positionsIn10ms(s_);
    if (!(positions >= 1) || positions > 32767)
        throw ArithmeticError(
            tr("{0}: 10 ms holds {1} samples at this time axis; 10ms移動平均誤差補正 needs 1 to 32767",
               {file, numberText(positions)}));
    ringSize_ = static_cast<int>(positions);
}

// DataPrs (sign +1) and DataMainas (sign -1): one sample into or out of the window sums.
void SlidingAnalysis::update(double sampleNumber, double sign) {
    const double rounded = roundHalfEven(sampleNumber);
    if (rounded < 0 || rounded >= static_cast<double>(recording_.table.rows())) {
        guard_.fail();
        return;
    }
    const Contribution& c = contributionOf(static_cast<std::int64_t>(rounded));
    applyContribution(sums_, c.sums, sign);
    applyCompensation(c, sign);
}

const SlidingAnalysis::Contribution& SlidingAnalysis::contributionOf(std::int64_t row) {
    Contribution& c = contributions_[static_cast<std::size_t>(row) & (contributions_.size() - 1)];
    if (c.row == row) return c;
    c.row = row;
    sampleContribution(in_, row, c.sums);
    if (s_.compensation || s_.theoretical) computeCompensation(recording_.table.row(static_cast<std::size_t>(row)), c);
    return c;
}

// The voltage before compensation and the theoretical compensation value of the target
// circuits. A sample whose contribution cannot be computed (no voltage at that instant) is
// left out of the window both when it enters and when it leaves, so the sums stay true.
void SlidingAnalysis::computeCompensation(const std::int16_t* row, Contribution& c) const {
    if (!in_.hasSecondVoltage) return;
    const double vd = s_.countsPerDivision, pt = s_.ptRatio, vd2 = vd * vd;
    const double v1 = static_cast<float>(row[0] * in_.scaleV1);
    const double v2 = static_cast<float>(row[1] * in_.scaleV2);
    const double v12 = v1 - v2;
    const double vm = static_cast<float>(pt * std::sqrt((v1 * v1 + v2 * v2 + v12 * v12) / 3) / vd);
    auto power = [&](int circuit, double& p, double& q3) {
        const Current y = circuitCurrent(in_, row, circuit);
        p = twoWattmeterP<double>(v1, v2, y.a, y.b);
        q3 = twoWattmeterQ3<double>(v1, v2, v12, y.a, y.b, y.t);
    };
    if (int t = s_.compensationTarget; s_.compensation && t >= 0) {
        double p, q3, ct = s_.clampAmps[t];
        power(t, p, q3);
        const double x = p * s_.kP / vm * 1000 / vd2 * pt * ct / 0.2 / 1000 + vm;
        const double y = q3 * s_.kQ / vm * 1000 / vd2 * pt * ct;
        const double vb = static_cast<float>(x + qts_ * y);
        c.compensationFinite = std::isfinite(vb);
        c.vbSquare = vb * vb;
    }
    if (int t = s_.theoreticalTarget; s_.theoretical && t >= 0) {
        double p, q3, ct = s_.clampAmps[t];
        power(t, p, q3);
        c.activeTerm = p * -s_.kRX / vd2 * pt * ct / 0.2 / 1000;
        c.reactiveTerm = q3 / vd2 * pt * ct;
        c.theoreticalFinite = std::isfinite(c.activeTerm) && std::isfinite(c.reactiveTerm);
    }
}

void SlidingAnalysis::applyCompensation(const Contribution& c, double sign) {
    if (!in_.hasSecondVoltage) return;
    if (s_.compensation && s_.compensationTarget >= 0) {
        if (c.compensationFinite)
            set(sums_.vbSq, sums_.vbSq + sign * c.vbSquare);
        else
            guard_.fail();
    }
    if (s_.theoretical && s_.theoreticalTarget >= 0) {
        if (!c.theoreticalFinite)
            guard_.fail();
        else if (sign > 0)
            set(sums_.theoSum, (sums_.theoSum + c.activeTerm) - qts_ * c.reactiveTerm);
        else
            set(sums_.theoSum, sums_.theoSum - (c.activeTerm - qts_ * c.reactiveTerm));
    }
}

void SlidingAnalysis::store(std::size_t position) {
    WindowSums& w = ring_[position];
    const auto& voltages = s_.lineVoltages ? sums_.lineSq : sums_.phaseSq;
    for (int k = 0; k < 3; ++k) w.f[WindowSums::kVoltage + k] = voltages[k];
    for (int k = 0; k < 3; ++k)
        for (int c = 0; c < kCircuitLanes; ++c) {
            w.f[WindowSums::kCurrent + k * kCircuitLanes + c] = sums_.curSq[k][c];
            w.f[WindowSums::kPower + k * kCircuitLanes + c] = sums_.phaseP[k][c];
            w.f[WindowSums::kReactive + k * kCircuitLanes + c] = sums_.phaseQ[k][c];
        }
    w.f[WindowSums::kCompensated] = sums_.vbSq;
    w.f[WindowSums::kTheoretical] = sums_.theoSum;
}

// FileOut's values: the ring's means (accumulated in single precision in ring order, divided
// in double), turned into volts, amperes, kW and kvar as the interval analysis scales them.
void SlidingAnalysis::average(long long row) {
    std::array<float, WindowSums::kSize> total{};
    for (const WindowSums& w : ring_)
        for (int i = 0; i < WindowSums::kSize; ++i) total[i] += w.f[i];
    WindowSums mean;
    for (int i = 0; i < WindowSums::kSize; ++i)
        mean.f[i] = static_cast<float>(static_cast<double>(total[i]) / ringSize_);

    const double n = n_, vd = s_.countsPerDivision, pt = s_.ptRatio, vd2 = vd * vd;
    RowValues& r = values_;
    r.row = row;
    r.seconds = row * s_.intervalMs / 1000;
    const float voltageTotal = mean.voltage(0) + mean.voltage(1) + mean.voltage(2);
    // Line squares average to three times the mean square; star-point squares add up to it.
    const double vr = s_.lineVoltages ? std::sqrt(voltageTotal / 3.0f / n) : std::sqrt(voltageTotal / n);
    set(r.v, static_cast<float>(vr / vd * pt));
    for (int c = 0; c < s_.circuits; ++c) {
        const double ct = s_.clampAmps[c];
        const float currentTotal = mean.current(1, c) + mean.current(0, c) + mean.current(2, c);
        set(r.i[c], std::sqrt(currentTotal / 3.0f / n) / vd * ct / 0.2);
        const float powerTotal = mean.power(0, c) + mean.power(1, c) + mean.power(2, c);
        const float reactiveTotal = mean.reactive(0, c) + mean.reactive(1, c) + mean.reactive(2, c);
        set(r.p[c], (powerTotal / n) / vd2 * pt * ct / 0.2 / 1000);
        set(r.q[c], (reactiveTotal / n) / vd2 * pt * ct * qts_);
    }
    if (s_.perPhase) {
        for (int k = 0; k < 3; ++k) set(r.phaseV[k], std::sqrt(mean.voltage(k) / n) / vd * pt);
        for (int c = 0; c < s_.circuits; ++c) {
            const double ct = s_.clampAmps[c];
            for (int k = 0; k < 3; ++k) {
                set(r.phaseI[c][k], std::sqrt(mean.current(k, c) / n) / vd * ct / 0.2);
                set(r.phaseP[c][k], mean.power(k, c) / n / vd2 * pt * ct / 0.2 / 1000);
                set(r.phaseQ[c][k], mean.reactive(k, c) / n / vd2 * pt * ct * qts_);
            }
        }
    }
    if (s_.compensation) set(r.compensatedV, std::sqrt(mean.f[WindowSums::kCompensated] / n));
    if (s_.theoretical) set(r.theoretical, mean.f[WindowSums::kTheoretical] / n);

    // The logic state at the start of the output interval, its four low bits in reversed
    // weights. Rows before the first interval have no such sample and repeat the last value.
    guard_.fail(readLogicStates(recording_, roundHalfEven(n * row), r.logic));
}

void SlidingAnalysis::fileOut(long long row) {
    average(row);
    if (writing_) {
        file_->writeAscii(writer_.format(values_));
        file_->endLine();
    }
    if (observer_) observer_(values_);
    if (row >= 0) ++result_.intervalCount;
}

SlidingResult SlidingAnalysis::run() {
    const RawSampleTable& table = recording_.table;
    const bool hasSecondVoltage = table.columns() > 1 && s_.channelCount > 1;
    if (!hasSecondVoltage) guard_.fail();  // the steps that read ch2 cannot run
    if (s_.circuits > 0 && table.columns() < static_cast<std::size_t>(2 * s_.circuits + 2))
        throw ArithmeticError(tr("{0}: the loaded samples do not hold every current circuit", {s_.fileName}));
    in_ = sampleInputFor(s_, recording_, hasSecondVoltage);
    in_.fundamental = in_.fifth = false;  // the moving average has no harmonic columns

    // 64-bit steps: a record of millions of samples converts completely.
    const double last = roundHalfEven(s_.totalSamples - n_ - ringSize_ - 1);
    if (!(last >= 0)) {
        result_.failedSteps = guard_.failures();
        return result_;
    }
    ring_.assign(static_cast<std::size_t>(ringSize_), WindowSums{});
    // Room for every sample of the window and the one entering; a longer window recomputes
    // what no longer fits rather than holding more memory.
    std::size_t slots = 1;
    while (slots < static_cast<std::size_t>(std::min(n_ + 3, 16384.0))) slots *= 2;
    contributions_.assign(slots, Contribution{});
    const double primed = roundHalfEven(n_ - 1);
    for (double s = 0; s <= primed; ++s) update(s, 1);
    std::size_t position = 0;
    store(position);

    const long long steps = static_cast<long long>(last);
    for (long long j = 0; j <= steps; ++j) {
        update(n_ + static_cast<double>(j), 1);
        update(static_cast<double>(j), -1);
        position = (position + 1) % static_cast<std::size_t>(ringSize_);
        store(position);
        const long long r = j - ringSize_ - 1;
        if (r % rowEvery_ == 0) fileOut(r / rowEvery_);
        if ((j & 0xFFFF) == 0xFFFF) progress_.advance(static_cast<double>(j) / steps);
    }
    result_.failedSteps = guard_.failures();
    return result_;
}

}  // namespace

double tenMillisecondPositions(const PowerSettings& settings) {
    return positionsIn10ms(settings);
}

SlidingResult PQOut10ms(const PowerSettings& settings, const RecordingView& recording, TextOutputFile* file,
                        Progress& progress, const RowObserver& observer) {
    SlidingAnalysis analysis(settings, recording, file, progress, observer);
    return analysis.run();
}

}  // namespace pqwave
