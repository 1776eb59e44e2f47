// The interval analysis checked against what a three-phase supply of known voltage, current
// and angle must give, worked out here from the physics rather than from the program.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "support/analysis_run.h"
#include "support/job_run.h"

namespace pqwave {
namespace {

using testing::column;
using testing::CsvFile;
using testing::supplyRecording;
using testing::supplyWith;
using testing::value;

const double kSqrt3 = std::sqrt(3.0);
const double kDegree = std::numbers::pi / 180;

using Analysis = testing::AnalysisRun;

TEST(IntervalAnalysis, BalancedSupplyWithInPhaseCurrentHasOnlyActivePower) {
    Analysis a(supplyRecording(supplyWith({{100, 0, 200, {}}, {40, 0, 200, {}}})));
    CsvFile csv = a.run();
    ASSERT_EQ(csv.lines.size(), 2u + 50);  // 2000 samples in 40-sample intervals
    EXPECT_EQ(csv.rows[2][0], "0");
    EXPECT_EQ(csv.rows[3][0], "0.02");
    for (std::size_t line = 2; line < csv.lines.size(); ++line) {
        double v = value(csv, line, "V(V)"), i1 = value(csv, line, "I1(A)"), i2 = value(csv, line, "I2(A)");
        EXPECT_NEAR(v, 6600, 6600 * 1e-3);
        EXPECT_NEAR(i1, 100, 0.1);
        EXPECT_NEAR(i2, 40, 0.04);
        double p1 = value(csv, line, "P1(kW)");
        EXPECT_NEAR(p1, kSqrt3 * v * i1 / 1000, p1 * 1e-3);
        EXPECT_NEAR(value(csv, line, "Q1(kVar)"), 0, p1 * 2e-3);
        EXPECT_NEAR(value(csv, line, "P2(kW)"), kSqrt3 * v * i2 / 1000, p1 * 1e-3);
    }
    EXPECT_EQ(a.form.lastConversion()->interval.intervalCount, 50);
}

TEST(IntervalAnalysis, LaggingLoadHasPositiveReactivePowerWhoseSignFollowsTheRotation) {
    Analysis a(supplyRecording(supplyWith({{100, 30, 200, {}}})));
    CsvFile forward = a.run();
    for (std::size_t line = 2; line < forward.lines.size(); ++line) {
        double p = value(forward, line, "P1(kW)"), q = value(forward, line, "Q1(kVar)");
        EXPECT_NEAR(p, kSqrt3 * 6600 * 100 * std::cos(30 * kDegree) / 1000, p * 2e-3);
        EXPECT_NEAR(q / p, std::tan(30 * kDegree), 3e-3);
    }
    select(a.form.Option4[1]);  // "逆転"
    CsvFile reverse = a.run();
    for (std::size_t line = 2; line < forward.lines.size(); ++line) {
        for (const char* name : {"V(V)", "I1(A)", "P1(kW)"})
            EXPECT_EQ(reverse.rows[line][column(reverse, name)], forward.rows[line][column(forward, name)]);
        EXPECT_EQ(value(reverse, line, "Q1(kVar)"), -value(forward, line, "Q1(kVar)"));
    }
}

TEST(IntervalAnalysis, PolarityInversionChangesTheSignOfPowersOnly) {
    Analysis a(supplyRecording(supplyWith({{100, 20, 200, {}}, {50, 20, 200, {}}})));
    setValue(a.form.Check6, 1);
    CsvFile plain = a.run();
    setValue(a.form.Check7[0], 1);
    CsvFile inverted = a.run();
    for (std::size_t line = 2; line < plain.lines.size(); ++line) {
        EXPECT_EQ(inverted.rows[line][column(inverted, "I1(A)")], plain.rows[line][column(plain, "I1(A)")]);
        for (const char* name : {"P1(kW)", "Q1(kVar)", "P1u", "P1v", "P1w", "Q1u", "Q1v", "Q1w"})
            EXPECT_EQ(value(inverted, line, name), -value(plain, line, name)) << name;
        for (const char* name : {"I1u", "I1v", "I1w", "P2(kW)"})
            EXPECT_EQ(value(inverted, line, name), value(plain, line, name)) << name;
    }
}

TEST(IntervalAnalysis, StarDeltaTransformsTurnTheCurrentByThirtyDegrees) {
    Analysis a(supplyRecording(supplyWith({{100, 0, 200, {}}})));
    setValue(a.form.Check9[0], 1);  // "Y-Δ-30": the current lags by 30 degrees
    CsvFile minus = a.run();
    setValue(a.form.Check9[0], 0);
    setValue(a.form.Check8[0], 1);  // "Y-Δ+30": it leads
    CsvFile plus = a.run();
    for (std::size_t line = 2; line < minus.lines.size(); ++line) {
        EXPECT_NEAR(value(minus, line, "I1(A)"), 100, 0.2);
        EXPECT_NEAR(value(plus, line, "I1(A)"), 100, 0.2);
        double p = value(minus, line, "P1(kW)");
        EXPECT_NEAR(p, kSqrt3 * 6600 * 100 * std::cos(30 * kDegree) / 1000, p * 2e-3);
        EXPECT_NEAR(value(minus, line, "Q1(kVar)") / p, std::tan(30 * kDegree), 3e-3);
        EXPECT_NEAR(value(plus, line, "Q1(kVar)") / value(plus, line, "P1(kW)"), -std::tan(30 * kDegree), 3e-3);
    }
}

TEST(IntervalAnalysis, PerPhaseValuesInLineAndPhaseVoltageModes) {
    Analysis a(supplyRecording(supplyWith({{100, 25, 200, {}}})));
    setValue(a.form.Check6, 1);
    CsvFile line = a.run();
    select(a.form.Option3[1]);  // "相電圧"
    CsvFile phase = a.run();
    for (std::size_t l = 2; l < line.lines.size(); ++l) {
        for (const char* name : {"Vuv", "Vvw", "Vuw"}) EXPECT_NEAR(value(line, l, name), 6600, 7) << name;
        for (const char* name : {"Vu", "Vv", "Vw"}) EXPECT_NEAR(value(phase, l, name), 6600 / kSqrt3, 4) << name;
        double p = value(line, l, "P1(kW)"), q = value(line, l, "Q1(kVar)");
        double sumP = 0, sumQ = 0;
        for (const char* k : {"u", "v", "w"}) {
            EXPECT_NEAR(value(line, l, std::string("I1") + k), 100, 0.2);
            sumP += value(line, l, std::string("P1") + k);
            sumQ += value(line, l, std::string("Q1") + k);
            // A balanced load shares its power equally between the phases.
            EXPECT_NEAR(value(line, l, std::string("P1") + k), p / 3, p * 2e-3);
        }
        EXPECT_NEAR(sumP, p, p * 1e-5);
        EXPECT_NEAR(sumQ, q, std::fabs(q) * 1e-5);
        // The voltage mode chooses only what is reported.
        EXPECT_EQ(phase.rows[l][column(phase, "P1u")], line.rows[l][column(line, "P1u")]);
    }
}

TEST(IntervalAnalysis, FundamentalAndFifthHarmonicAreSeparated) {
    gen::ThreePhaseSupply supply = supplyWith({{100, 0, 200, {{5, 10, 0}}}, {50, 0, 200, {}}});
    supply.harmonics = {{5, 5, 0}};  // 5 V peak of 5th harmonic on both line voltages
    Analysis a(supplyRecording(supply));
    setValue(a.form.Check1, 1);
    setValue(a.form.Check3, 1);
    CsvFile csv = a.run();
    for (std::size_t l = 2; l < csv.lines.size(); ++l) {
        EXPECT_NEAR(value(csv, l, "基本(V)"), 6600, 6600 * 1e-3);
        EXPECT_GT(value(csv, l, "V(V)"), value(csv, l, "基本(V)"));
        // In phase on V1 and V2, the harmonic cancels in V1 - V2: two of three amplitudes.
        EXPECT_NEAR(value(csv, l, "5次(V)"), 5 * std::sqrt(2.0) / 3 * 60, 0.5);
        EXPECT_NEAR(value(csv, l, "基本1(A)"), 100, 0.2);
        EXPECT_NEAR(value(csv, l, "5次1(A)"), 10 / std::sqrt(2.0), 0.05);
        EXPECT_NEAR(value(csv, l, "5次2(A)"), 0, 0.02);
        EXPECT_NEAR(value(csv, l, "基本2(A)"), value(csv, l, "I2(A)"), 0.05);
    }
}

// The indicator from ideal correlations: a 5th-harmonic sine of phase p over whole periods
// correlates with sin as cos p and with cos as sin p (times half the amplitude and N).
int expectedIndicator(double voltagePhase, double currentPhase) {
    const double w = 240 * kDegree;  // the phase w current's 5th harmonic is 5 x 120 degrees on
    double sv = std::cos(voltagePhase), cv = std::sin(voltagePhase);
    double sa = std::cos(currentPhase), ca = std::sin(currentPhase);
    double sb = std::cos(currentPhase + w), cb = std::sin(currentPhase + w);
    double re = sv * sa + cv * ca + sv * sb + cv * cb;
    double im = sv * sa - cv * ca + sv * sb - cv * cb;
    double theta = std::atan(im / re) + (re < 0 ? 3.14159 : 0);
    int d = static_cast<int>(std::nearbyint(theta * 180 / 3.14159 + 540));
    return d % 360 - 180;
}

TEST(IntervalAnalysis, FifthHarmonicPhaseIndicatorOfAKnownCurrent) {
    for (auto [voltageDegrees, currentDegrees] : {std::pair{20.0, 50.0}, {0.0, 0.0}, {70.0, 200.0}, {0.0, 180.0}}) {
        gen::ThreePhaseSupply supply = supplyWith({{100, 0, 200, {{5, 20, currentDegrees}}}});
        supply.harmonics = {{5, 8, voltageDegrees}};
        Analysis a(supplyRecording(supply, 400));
        setValue(a.form.Check3, 1);
        CsvFile csv = a.run();
        int expected = expectedIndicator(voltageDegrees * kDegree, currentDegrees * kDegree);
        for (std::size_t l = 2; l < csv.lines.size(); ++l)
            EXPECT_EQ(value(csv, l, "5r1(ﾟ)"), expected) << voltageDegrees << " " << currentDegrees;
    }
}

TEST(IntervalAnalysis, FrequencyIsMeasuredWithinAHundredthOfAHertz) {
    for (double hz : {49.7, 50.3, 50.0}) {
        gen::ThreePhaseSupply supply = supplyWith({{100, 10, 200, {}}});
        supply.frequency = hz;
        Analysis a(supplyRecording(supply, 4000));
        setValue(a.form.Check5, 1);
        CsvFile csv = a.run();
        std::size_t f = column(csv, "周波数");
        for (std::size_t l = 3; l < csv.lines.size(); ++l) {
            ASSERT_GT(csv.rows[l].size(), f) << "no frequency at " << hz << " Hz in row " << l;
            EXPECT_NEAR(csv.number(l, f), hz, 0.01);
            EXPECT_NEAR(a.form.lastConversion()->interval.intervalFrequency[l - 2], hz, 0.01);
        }
    }
}

TEST(IntervalAnalysis, ADisturbedCrossingIsRemovedByTheOutlierLoop) {
    testing::TestFolder folder;
    folder.write("REC.MEM", supplyRecording(supplyWith({{100, 10, 200, {}}}), 800));
    auto recording = std::make_shared<Recording>(*testing::recordingAt(folder.file("REC.MEM")));
    // Move ch2's rising crossing in interval 5 by two samples: the estimates of that
    // interval and the next are then about 2.5 Hz off, inside the band but far from the rest.
    RawSampleTable& table = recording->table;
    std::size_t j = 5 * 40;
    while (!(table(j, 1) <= 0 && table(j + 1, 1) >= 1)) ++j;
    ASSERT_LT(j, 6u * 40 - 3);
    table(j + 1, 1) = 0;
    table(j + 2, 1) = 0;
    ConversionJob job = testing::defaultJob(Processing::IntervalAnalysis, folder.file("out.csv"));
    job.power.frequency = true;
    testing::runJob(job, recording);
    CsvFile csv(folder.file("out.csv"));
    std::size_t f = column(csv, "周波数");
    for (std::size_t l = 3; l < csv.lines.size(); ++l) EXPECT_NEAR(csv.number(l, f), 50, 0.01) << l;
}

TEST(IntervalAnalysis, LogicStatesAreWrittenWithTheirLowBitsReversed) {
    gen::RecordingSpec spec = supplyRecording(supplyWith({{100, 0, 200, {}}}), 200);
    spec.logicChannels = 1;
    spec.logic = [](int sample, int) { return sample / 40 % 2 == 0 ? 1 : 9; };  // bit 0; bits 0 and 3
    Analysis a(spec);
    CsvFile csv = a.run();
    EXPECT_EQ(csv.rows[1].back(), "Log1");
    EXPECT_EQ(csv.rows[2].back(), "8");
    EXPECT_EQ(csv.rows[3].back(), "9");
}

TEST(IntervalAnalysis, OneVoltageChannelGivesItsOwnRms) {
    gen::RecordingSpec spec;
    spec.timePerDivision = "50ms";
    spec.sampleCount = 400;
    spec.channels[0].wave = {100, 50, 0, 0, {}, 0};  // 100 V peak on ch1 alone
    Analysis a(spec);
    CsvFile csv = a.run();
    EXPECT_EQ(csv.lines[1], "秒,V(V)");
    for (std::size_t l = 2; l < csv.lines.size(); ++l)
        EXPECT_NEAR(value(csv, l, "V(V)"), 100 / std::sqrt(2.0) * 60, 1.0);  // to the 1/16 V code step
}

TEST(IntervalAnalysis, ARecordingShorterThanOneIntervalGivesNoRow) {
    Analysis a(supplyRecording(supplyWith({{100, 0, 200, {}}}), 30));
    CsvFile csv = a.run();
    EXPECT_EQ(csv.lines.size(), 2u);
    EXPECT_EQ(a.form.lastConversion()->interval.intervalCount, 0);
}

TEST(IntervalAnalysis, IntervalsOfAFractionalNumberOfSamples) {
    gen::ThreePhaseSupply supply = supplyWith({{100, 0, 200, {}}});
    supply.frequency = 60;
    gen::RecordingSpec spec = supplyRecording(supply, 2000);
    spec.timePerDivision = "10ms";  // 10 kHz
    Analysis a(spec);
    select(a.form.Option5[1]);  // 60 Hz: 16.6666666666667 ms
    ASSERT_EQ(a.form.Lab1OutN.text, "166.6667");
    CsvFile csv = a.run();
    ASSERT_EQ(csv.lines.size(), 2u + 11);  // floor(2000 / 166.6667)
    EXPECT_EQ(csv.rows[3][0], "0.0166666666666667");
    // Each interval takes 167 samples from rnd(N m), but every mean divides by N itself.
    for (std::size_t l = 2; l < csv.lines.size(); ++l) EXPECT_NEAR(value(csv, l, "V(V)"), 6600, 6600 * 3e-3);
}

TEST(IntervalAnalysis, AnIntervalBeyond32768SamplesIsRefused) {
    Analysis a(supplyRecording(supplyWith({{100, 0, 200, {}}})));
    setText(a.form.Text1, "20000");  // 40000 samples at 2 kHz
    click(a.form.Command1);
    ASSERT_EQ(a.model.host.errors.size(), 1u);
    EXPECT_NE(a.model.host.errors[0].find("32768"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(a.folder.file("out.csv")));
}

TEST(IntervalAnalysis, StepsThatCannotBeComputedRepeatThePreviousValueAndAreReported) {
    Analysis a(supplyRecording(supplyWith({{100, 0, 200, {}}}), 200));
    setText(a.form.Text7[0], "1e39");  // a PT ratio that takes V beyond single precision
    CsvFile csv = a.run();
    for (std::size_t l = 2; l < csv.lines.size(); ++l) EXPECT_EQ(csv.rows[l][1], " 0 ");
    ASSERT_EQ(a.model.host.warnings.size(), 1u);
    EXPECT_NE(a.model.host.warnings[0].find("REC.MEM"), std::string::npos);
}

TEST(IntervalAnalysis, AllFilesRunFoldsStatisticsEvenWithoutOutput) {
    gen::ThreePhaseSupply supply = supplyWith({{100, 0, 200, {}}});
    supply.noise = 0.01;
    Analysis a(supplyRecording(supply, 400));
    setValue(a.form.Check6, 1);
    CsvFile csv = a.run();
    float sum = 0, max = -1e30f, min = 1e30f;
    for (std::size_t l = 2; l < csv.lines.size(); ++l) {
        float v = static_cast<float>(value(csv, l, "V(V)"));
        sum += v;
        max = std::max(max, v);
        min = std::min(min, v);
    }
    EXPECT_EQ(a.form.lastConversion()->interval.intervalCount, 10);
    EXPECT_FLOAT_EQ(a.form.lastConversion()->interval.statistics.VStat[0], sum);
    EXPECT_FLOAT_EQ(a.form.lastConversion()->interval.statistics.VStat[1], max);
    EXPECT_FLOAT_EQ(a.form.lastConversion()->interval.statistics.VStat[2], min);
    EXPECT_NEAR(a.form.lastConversion()->interval.statistics.IPhaseStat[0][0][0] / 10, 100, 0.5);

    std::filesystem::remove(a.folder.file("out.csv"));
    setValue(a.form.Check10, 1);  // statistics only
    a.form.Command1.enabled = true;
    click(a.form.Command1);
    EXPECT_FALSE(std::filesystem::exists(a.folder.file("out.csv")));
    EXPECT_FLOAT_EQ(a.form.lastConversion()->interval.statistics.VStat[0], sum);
}

}  // namespace
}  // namespace pqwave
