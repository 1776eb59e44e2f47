// PQOut0ms: per output interval the three-phase RMS voltage (ch1 = u-v and ch2 = w-v in V
// connection), every circuit's RMS current and its active and reactive power by the
// two-wattmeter method, and as chosen per-phase values, compensation values, harmonics,
// logic states and frequency. Sums are single precision; each contribution is formed in
// double from single inputs and rounded back into its sum, so long intervals round as the
// instrument software's do.
#include "power/interval_analysis.h"

#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/numbers.h"
#include "common/statistics.h"
#include "common/text_output_file.h"
#include "control/form1_model.h"
#include "power/frequency.h"
#include "power/harmonics.h"
#include "power/interval_sums.h"
#include "power/result_layout.h"
#include "power/result_row.h"
#include "power/step_guard.h"

namespace pqwave {
namespace {

constexpr int kLanes = kCircuitLanes;
const double kSqrt3 = std::sqrt(3.0);

// The target circuit of a compensation value: "the number in Text8(k) - 1 equals c exactly".
int targetCircuit(const Control& box, int circuits) {
    double c = Val(box.text) - 1;
    return c >= 0 && c < circuits && c == std::floor(c) ? static_cast<int>(c) : -1;
}

// Everything the analysis reads from the main window, read once per run.
struct Settings {
    double samplesPerInterval = 0;  // N, not necessarily whole
    double totalSamples = 0;
    double countsPerDivision = 0;  // VD
    double ptRatio = 0;
    std::array<double, kLanes> clampAmps{};
    double intervalMs = 0;
    float qts = 0;
    int circuits = 0;
    int lastPosition = 0;  // rnd(N - 1): positions 0..lastPosition in each interval
    bool lineVoltages = true, perPhase = false, statisticsOnly = false;
    bool fundamental = false, fifth = false, frequency = false;
    int compensationTarget = -1, theoreticalTarget = -1;
    double kP = 0, kQ = 0, kRX = 0;
};

Settings readSettings(const Form1Model& f) {
    Settings s;
    s.samplesPerInterval = valOf(f.Lab1OutN);
    s.totalSamples = f.SampleCount;
    s.countsPerDivision = valOf(f.V_Div);
    s.ptRatio = valOf(f.Text7[0]);
    s.intervalMs = valOf(f.Text1);
    s.circuits = circuitCount(f);
    s.qts = static_cast<float>(kSqrt3 * 5 / 3 / 1000);
    if (isSelected(f.Option4[1])) s.qts = -s.qts;
    s.lineVoltages = isSelected(f.Option3[0]);
    s.perPhase = isChecked(f.Check6);
    s.statisticsOnly = isChecked(f.Check10);
    s.fundamental = isChecked(f.Check1);
    s.fifth = isChecked(f.Check3);
    s.frequency = isChecked(f.Check5) && f.Check5.enabled;
    if (isChecked(f.Check12[0])) s.compensationTarget = targetCircuit(f.Text8[0], s.circuits);
    if (isChecked(f.Check12[1])) s.theoreticalTarget = targetCircuit(f.Text8[1], s.circuits);
    s.kP = valOf(f.Text9[0]);
    s.kQ = valOf(f.Text9[1]);
    s.kRX = valOf(f.Text9[3]);
    for (int c = 0; c < kMaxCircuits; ++c) s.clampAmps[c] = valOf(f.Text7[c + 1]);
    return s;
}

void refuseUnusable(const Form1Model& f, const Settings& s) {
    const std::string& file = f.Label1.text;
    if (!(s.samplesPerInterval > 0) || !std::isfinite(s.samplesPerInterval))
        throw ArithmeticError(file + ": the output interval holds " + f.Lab1OutN.text +
                              " samples (1出力ｻﾝﾌﾟﾙ数); set the output interval and time axis so that it holds some");
    double lastPosition = roundHalfEven(s.samplesPerInterval - 1);
    if (lastPosition > 32767)
        throw ArithmeticError(file + ": an output interval of " + f.Lab1OutN.text +
                              " samples is longer than the 32768 samples the analysis takes; shorten 出力間隔");
}

// Per-sample values that keep their previous value when a step fails.
struct HeldValues {
    float vm = 0, x = 0, vb = 0;
};

Correlation correlation(const std::array<float, 3>& sine, const std::array<float, 3>& cosine) {
    return {sine, cosine};
}

Correlation correlation(const std::array<Lanes, 3>& sine, const std::array<Lanes, 3>& cosine, int lane) {
    return {{sine[0][lane], sine[1][lane], sine[2][lane]}, {cosine[0][lane], cosine[1][lane], cosine[2][lane]}};
}

class IntervalAnalysis {
public:
    IntervalAnalysis(Form1Model& form, TextOutputFile* file) : form_(form), file_(file), s_(readSettings(form)) {
        refuseUnusable(form, s_);
        writing_ = file_ != nullptr && !s_.statisticsOnly;
    }

    void run();

private:
    void prepareTables();
    SampleInput sampleInput() const;
    void addCompensation(const SampleInput& in, const std::int64_t* rows, int count);
    void addCrossings(const std::int64_t* rows, int count);
    void endInterval(long long m);

    Form1Model& form_;
    TextOutputFile* file_;
    Settings s_;
    bool writing_ = false;
    bool hasSecondVoltage_ = true;
    IntervalSums sums_;
    HeldValues held_;
    FrequencyMeter frequency_;
    StepGuard guard_;
    ResultRow row_{guard_};
};

void IntervalAnalysis::prepareTables() {
    std::size_t columns = static_cast<std::size_t>(roundHalfEven(s_.samplesPerInterval)) + 1;
    form_.SineTable.assign(2, std::vector<double>(columns, 0.0));
    form_.CosineTable.assign(2, std::vector<double>(columns, 0.0));
    s_.lastPosition = static_cast<int>(roundHalfEven(s_.samplesPerInterval - 1));
    double fs = valOf(form_.Label21);
    if (s_.fundamental)
        fillReferenceTable(form_.SineTable, form_.CosineTable, 0, 1, form_.SupplyFrequency, fs, s_.lastPosition);
    if (s_.fifth)
        fillReferenceTable(form_.SineTable, form_.CosineTable, 1, 5, form_.SupplyFrequency, fs, s_.lastPosition);
    if (s_.frequency)
        form_.IntervalFrequency.assign(
            static_cast<std::size_t>(std::floor(s_.totalSamples / s_.samplesPerInterval)) + 1, 0.0f);
}

SampleInput IntervalAnalysis::sampleInput() const {
    const Form1Model& f = form_;
    SampleInput in;
    in.table = f.SampleTable.row(0);
    in.columns = f.SampleTable.columns();
    in.scaleV1 = f.ChannelScale[0];
    in.scaleV2 = f.ChannelScale[1];
    in.hasSecondVoltage = hasSecondVoltage_;
    in.circuits = s_.circuits;
    for (int c = 0; c < kLanes; ++c) {
        in.polarity[c] = 1;
        in.newA[c] = {1, 0, 0};
        in.newB[c] = {0, 1, 0};
        in.divisor[c] = 1;
        if (c >= s_.circuits) continue;
        in.scaleA[c] = f.ChannelScale[2 * c + 2];
        in.scaleB[c] = f.ChannelScale[2 * c + 3];
        if (isChecked(f.Check7[c])) in.polarity[c] = -1;
        if (isChecked(f.Check9[c])) {  // -30 degrees: a = (a - b)/sqrt 3, b = (b + t)/sqrt 3
            in.newA[c] = {1, -1, 0};
            in.newB[c] = {0, 1, 1};
            in.divisor[c] = kSqrt3;
        } else if (isChecked(f.Check8[c])) {  // +30 degrees: b = (b - a)/sqrt 3, a = (a + t)/sqrt 3
            in.newA[c] = {1, 0, 1};
            in.newB[c] = {-1, 1, 0};
            in.divisor[c] = kSqrt3;
        }
        in.anyTransform = in.anyTransform || in.divisor[c] != 1;
    }
    in.fundamental = s_.fundamental;
    in.fifth = s_.fifth;
    in.fundSine = f.SineTable[0].data();
    in.fundCosine = f.CosineTable[0].data();
    in.fifthSine = f.SineTable[1].data();
    in.fifthCosine = f.CosineTable[1].data();
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
        guard_.assign(held_.vm, std::sqrt((d1 * d1 + d2 * d2 + d12 * d12) / 3) / vd * pt);
        const double vm = held_.vm;
        auto power = [&](int c, double& p, double& q3) {
            const Current y = circuitCurrent(in, row, c);
            p = d1 * y.a + d2 * y.b;
            q3 = d1 * y.b + d2 * -y.a + d12 * y.t;
        };
        if (int c = s_.compensationTarget; c >= 0) {
            double p, q3, ct = s_.clampAmps[c];
            power(c, p, q3);
            guard_.assign(held_.x, ct * (pt * (p * s_.kP / vm * 1000 / vd2)) / 0.2 / 1000 + vm);
            guard_.assign(held_.vb, held_.x + ct * (pt * (q3 * s_.kQ / vm * 1000 / vd2)) * s_.qts);
            guard_.assign(sums_.vbSq, static_cast<double>(sums_.vbSq) + static_cast<double>(held_.vb) * held_.vb);
        }
        if (int c = s_.theoreticalTarget; c >= 0) {
            double p, q3, ct = s_.clampAmps[c];
            power(c, p, q3);
            guard_.assign(sums_.theoSum, (sums_.theoSum + ct * (pt * (p * -s_.kRX / vd2)) / 0.2 / 1000) -
                                             ct * (pt * q3 / vd2) * s_.qts);
        }
    }
}

void IntervalAnalysis::addCrossings(const std::int64_t* rows, int count) {
    const RawSampleTable& table = form_.SampleTable;
    for (int k = 0; k < count; ++k) {
        const std::int16_t* row = table.row(static_cast<std::size_t>(rows[k]));
        const std::int16_t* next = table.row(static_cast<std::size_t>(rows[k] + 1));
        if (!frequency_.addSample(rows[k], row[0], row[1], next[0], next[1])) guard_.fail();
    }
}

void IntervalAnalysis::endInterval(long long m) {
    const double n = s_.samplesPerInterval, vd = s_.countsPerDivision, pt = s_.ptRatio, vd2 = vd * vd;
    const bool batch = form_.BatchMode == 1;
    const bool first = m == 0;
    IntervalSums& u = sums_;

    const float lineTotal = u.lineSq[0] + u.lineSq[1] + u.lineSq[2];
    const float nV = form_.ChannelCount == 1 ? 1.0f : 3.0f;
    const float rms = static_cast<float>(std::sqrt(lineTotal / nV / n));
    const float v = row_.start(m * s_.intervalMs / 1000, static_cast<float>(rms / vd * pt));
    if (batch) foldStatistic(form_.VStat, v, first);
    if (s_.fundamental) {
        row_.d(threePhaseRms(correlation(u.fundVS, u.fundVC), n) / vd * pt);
    }

    for (int c = 0; c < s_.circuits; ++c) {
        const double ct = s_.clampAmps[c];
        const float rmsCurrent =
            static_cast<float>(std::sqrt((u.curSq[0][c] + u.curSq[1][c] + u.curSq[2][c]) / 3.0f / n));
        const float i = row_.s(rmsCurrent / vd * ct / 0.2);
        if (batch) foldStatistic(form_.IStat[c], i, first);
        if (s_.fundamental) {
            row_.d(threePhaseRms(correlation(u.fundIS, u.fundIC, c), n) / vd * ct / 0.2);
        }
    }
    for (int c = 0; c < s_.circuits; ++c) {
        const double ct = s_.clampAmps[c];
        const float p = row_.s(((u.phaseP[0][c] + u.phaseP[1][c] + u.phaseP[2][c]) / n) / vd2 * pt * ct / 0.2 / 1000);
        const float q = row_.s((((u.phaseQ[0][c] + u.phaseQ[1][c]) + u.phaseQ[2][c]) / n) / vd2 * pt * ct * s_.qts);
        if (batch) {
            foldStatistic(form_.PStat[c], p, first);
            foldStatistic(form_.QStat[c], q, first);
        }
    }

    if (s_.fifth) {
        row_.d(threePhaseRms(correlation(u.fifthVS, u.fifthVC), n) / vd * pt);
        for (int c = 0; c < s_.circuits; ++c)
            row_.d(threePhaseRms(correlation(u.fifthIS, u.fifthIC, c), n) / vd * s_.clampAmps[c] / 0.2);
        for (int c = 0; c < s_.circuits; ++c) {
            row_.i(fifthHarmonicPhase(correlation(u.fifthVS, u.fifthVC), correlation(u.fifthIS, u.fifthIC, c)));
        }
    }

    if (s_.perPhase) {
        const auto& voltages = s_.lineVoltages ? u.lineSq : u.phaseSq;
        for (int k = 0; k < 3; ++k) {
            double vk = row_.d(std::sqrt(voltages[k] / n) / vd * pt);
            if (batch) foldStatistic(form_.VPhaseStat[k], static_cast<float>(vk), first);
        }
        for (int c = 0; c < s_.circuits; ++c) {
            const double ct = s_.clampAmps[c];
            std::array<double, 3> currents, powers, reactive;
            for (int k = 0; k < 3; ++k) currents[k] = row_.d(std::sqrt(u.curSq[k][c] / n) / vd * ct / 0.2);
            for (int k = 0; k < 3; ++k) powers[k] = row_.d(u.phaseP[k][c] / n / vd2 * pt * ct / 0.2 / 1000);
            for (int k = 0; k < 3; ++k) reactive[k] = row_.d(u.phaseQ[k][c] / n / vd2 * pt * ct * s_.qts);
            if (!batch) continue;
            for (int k = 0; k < 3; ++k) {
                foldStatistic(form_.IPhaseStat[k][c], static_cast<float>(currents[k]), first);
                foldStatistic(form_.PPhaseStat[k][c], static_cast<float>(powers[k]), first);
                foldStatistic(form_.QPhaseStat[k][c], static_cast<float>(reactive[k]), first);
            }
        }
    }

    if (isChecked(form_.Check12[0])) row_.d(std::sqrt(sums_.vbSq / n));
    if (isChecked(form_.Check12[1])) row_.d(sums_.theoSum / n);

    // The logic state at the start of the interval, its four low bits in reversed weights.
    const std::size_t startRow = static_cast<std::size_t>(roundHalfEven(n * m));
    for (int l = 0; l < form_.LogicChannelCount; ++l) {
        const std::size_t column = static_cast<std::size_t>(form_.ChannelCount + l);
        int w = 0;
        if (form_.SampleTable.contains(startRow, column))
            w = form_.SampleTable(startRow, column);
        else
            guard_.fail();
        row_.i(8 * (w & 1) + 4 * (w >> 1 & 1) + 2 * (w >> 2 & 1) + (w >> 3 & 1));
    }

    if (s_.frequency) {
        if (std::optional<float> f = frequency_.endInterval(n)) {
            row_.s(*f);
            if (static_cast<std::size_t>(m) < form_.IntervalFrequency.size()) form_.IntervalFrequency[m] = *f;
        }
    }

    if (writing_) {
        file_->writeAscii(row_.text());
        file_->endLine();
    }
    u = IntervalSums{};
}

void IntervalAnalysis::run() {
    prepareTables();
    const double n = s_.samplesPerInterval;
    const long long intervals = static_cast<long long>(std::floor(s_.totalSamples / n));
    const long long rows = static_cast<long long>(form_.SampleTable.rows());
    hasSecondVoltage_ = form_.SampleTable.columns() > 1 && form_.ChannelCount > 1;
    if (!hasSecondVoltage_) guard_.fail();  // the steps that read ch2 cannot run
    if (s_.circuits > 0 && form_.SampleTable.columns() < static_cast<std::size_t>(2 * s_.circuits + 2))
        throw ArithmeticError(form_.Label1.text + ": the loaded samples do not hold every current circuit");

    const SampleInput in = sampleInput();
    const bool compensation = hasSecondVoltage_ && (s_.compensationTarget >= 0 || s_.theoreticalTarget >= 0);
    const bool crossings = hasSecondVoltage_ && s_.frequency;
    const int positions = s_.lastPosition + 1;
    std::vector<std::int64_t> sampleRows(static_cast<std::size_t>(positions));
    for (long long m = 0; m < intervals; ++m) {
        // Interval m takes the samples rnd(N m + k); N need not be whole.
        for (int k = 0; k < positions; ++k) sampleRows[k] = static_cast<std::int64_t>(roundHalfEven(n * m + k));
        // The last sample and the one after it (for the crossings) must be in memory.
        if (sampleRows.back() + 1 >= rows) {
            guard_.fail();
            break;
        }
        accumulateInterval(in, sampleRows.data(), positions, sums_);
        if (compensation) addCompensation(in, sampleRows.data(), positions);
        if (crossings) addCrossings(sampleRows.data(), positions);
        endInterval(m);
        if ((m & 255) == 0) form_.host().reportProgress(static_cast<double>(m) / intervals);
    }
    form_.IntervalCount = static_cast<std::int32_t>(intervals);
    if (guard_.failures() > 0)
        form_.host().reportWarning(form_.Label1.text + ": " + std::to_string(guard_.failures()) +
                                   " analysis steps could not be computed (a division by zero, a value out of "
                                   "range or a missing channel); their values repeat the previous result");
}

}  // namespace

void PQOut0ms(Form1Model& form, TextOutputFile* file) {
    IntervalAnalysis analysis(form, file);
    analysis.run();
}

}  // namespace pqwave
