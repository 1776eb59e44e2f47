// The 10 ms moving-average analysis ("10ms移動平均誤差補正") checked against the physics of a
// three-phase supply, against values worked out here by hand for steady inputs, and against
// the row numbering of a window that slides one sample per step.
#include "power/sliding_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "common/error.h"
#include "common/text_output_file.h"
#include "support/analysis_run.h"

namespace pqwave {
namespace {

using testing::column;
using testing::CsvFile;
using testing::supplyRecording;
using testing::supplyWith;
using testing::value;

const double kSqrt3 = std::sqrt(3.0);
const double kDegree = std::numbers::pi / 180;

// A recording at 2 kHz (100 samples per 50 ms division), clicked, with the moving average on.
struct SlidingRun : testing::AnalysisRun {
    explicit SlidingRun(const gen::RecordingSpec& spec) : AnalysisRun(spec) {
        EXPECT_TRUE(form.Check13.enabled);
        setValue(form.Check13, 1);
    }
};

// The row numbers the sliding window writes: steps j = 0 .. rnd(total - n - sc10 - 1); a row
// where j - sc10 - 1 is a multiple of n, numbered by that multiple.
std::vector<long long> expectedRows(long long total, long long n, long long sc10) {
    std::vector<long long> rows;
    for (long long j = 0; j <= total - n - sc10 - 1; ++j)
        if ((j - sc10 - 1) % n == 0) rows.push_back((j - sc10 - 1) / n);
    return rows;
}

TEST(SlidingAnalysis, BalancedSupplyGivesTheVoltageCurrentAndPowersOfTheLoad) {
    SlidingRun a(supplyRecording(supplyWith({{100, 30, 200, {}}, {40, 0, 200, {}}})));
    CsvFile forward = a.run();
    EXPECT_EQ(forward.lines[1], "秒,V(V),I1(A),I2(A),P1(kW),Q1(kVar),P2(kW),Q2(kVar)");
    ASSERT_EQ(forward.lines.size(), 2u + expectedRows(2000, 40, 20).size());
    for (std::size_t l = 2; l < forward.lines.size(); ++l) {
        double v = value(forward, l, "V(V)"), i1 = value(forward, l, "I1(A)");
        EXPECT_NEAR(v, 6600, 6600 * 1e-3);
        EXPECT_NEAR(i1, 100, 0.1);
        EXPECT_NEAR(value(forward, l, "I2(A)"), 40, 0.04);
        double p1 = value(forward, l, "P1(kW)");
        EXPECT_NEAR(p1, kSqrt3 * 6600 * 100 * std::cos(30 * kDegree) / 1000, p1 * 2e-3);
        EXPECT_NEAR(value(forward, l, "Q1(kVar)") / p1, std::tan(30 * kDegree), 3e-3);
        EXPECT_NEAR(value(forward, l, "Q2(kVar)"), 0, p1 * 2e-3);
        // The second text field is the print form: a space before and after.
        EXPECT_EQ(forward.rows[l][1].front(), ' ');
        EXPECT_EQ(forward.rows[l][1].back(), ' ');
    }

    select(a.form.Option4[1]);  // "逆転" flips the reactive power only
    CsvFile reverse = a.run();
    for (std::size_t l = 2; l < forward.lines.size(); ++l) {
        for (const char* name : {"V(V)", "I1(A)", "P1(kW)", "P2(kW)"})
            EXPECT_EQ(reverse.rows[l][column(reverse, name)], forward.rows[l][column(forward, name)]) << name;
        EXPECT_EQ(value(reverse, l, "Q1(kVar)"), -value(forward, l, "Q1(kVar)"));
    }
}

TEST(SlidingAnalysis, LineAndPhaseVoltageModesGiveTheSameVoltage) {
    gen::ThreePhaseSupply supply = supplyWith({{100, 10, 200, {}}});
    supply.unbalance = 0.05;  // the sum of the star-point squares is a third of the line squares' in any case
    SlidingRun a(supplyRecording(supply));
    setValue(a.form.Check6, 1);
    CsvFile line = a.run();
    select(a.form.Option3[1]);  // "相電圧"
    CsvFile phase = a.run();
    EXPECT_NE(column(phase, "Vu"), 0u);
    for (std::size_t l = 2; l < line.lines.size(); ++l) {
        EXPECT_NEAR(value(phase, l, "V(V)"), value(line, l, "V(V)"), 6600 * 2e-6);
        EXPECT_NEAR(value(line, l, "Vuv"), 6600, 7);
        EXPECT_NEAR(value(line, l, "Vvw"), 6600 * 0.95, 7);
    }
}

TEST(SlidingAnalysis, RowsStartOneTenMillisecondWindowAfterTheFirstFullInterval) {
    // n = 40, 10 ms = 20 positions: the first row comes at step 21, then every 40 steps.
    SlidingRun a(supplyRecording(supplyWith({{100, 0, 200, {}}}), 2000));
    CsvFile csv = a.run();
    std::vector<long long> rows = expectedRows(2000, 40, 20);
    ASSERT_EQ(rows.front(), 0);
    ASSERT_EQ(csv.lines.size(), 2 + rows.size());
    for (std::size_t k = 0; k < rows.size(); ++k) EXPECT_DOUBLE_EQ(csv.number(2 + k, 0), rows[k] * 0.02);
    EXPECT_EQ(a.form.lastConversion()->interval.intervalCount, static_cast<std::int32_t>(rows.size()));

    // A 10 ms output interval (n = 20) is no longer than the ring: a row with a negative number
    // comes first, at step 1.
    setText(a.form.Text1, "10");
    ASSERT_EQ(a.form.Lab1OutN.text, "20");
    csv = a.run();
    rows = expectedRows(2000, 20, 20);
    ASSERT_EQ(rows.front(), -1);
    ASSERT_EQ(csv.lines.size(), 2 + rows.size());
    EXPECT_EQ(csv.rows[2][0], "-0.01");
    EXPECT_EQ(csv.rows[3][0], "0");
    // The statistics of the all-files run describe the rows from the first whole interval on.
    EXPECT_EQ(a.form.lastConversion()->interval.intervalCount, static_cast<std::int32_t>(rows.size() - 1));
}

TEST(SlidingAnalysis, ARecordTooShortForOneStepGivesNoRow) {
    for (int samples : {60, 61}) {  // n + 10 ms and one more: the first row needs step 21
        SlidingRun a(supplyRecording(supplyWith({{100, 0, 200, {}}}), samples));
        CsvFile csv = a.run();
        EXPECT_EQ(csv.lines.size(), 2u) << samples;
        EXPECT_EQ(a.form.lastConversion()->interval.intervalCount, 0);
    }
}

TEST(SlidingAnalysis, ARecordOfManyThousandStepsConvertsCompletely) {
    const int samples = 50000;  // 49 940 steps, beyond any 16-bit counter
    SlidingRun a(supplyRecording(supplyWith({{100, 0, 200, {}}}), samples));
    CsvFile csv = a.run();
    std::vector<long long> rows = expectedRows(samples, 40, 20);
    ASSERT_EQ(csv.lines.size(), 2 + rows.size());
    EXPECT_DOUBLE_EQ(csv.number(csv.lines.size() - 1, 0), rows.back() * 0.02);
    // The running single-precision sums drift little over the record.
    EXPECT_NEAR(value(csv, csv.lines.size() - 1, "V(V)"), 6600, 6600 * 1e-3);
    EXPECT_NEAR(value(csv, csv.lines.size() - 1, "I1(A)"), 100, 0.1);
}

// Steady (DC) codes make every window sum n times one sample's contribution, so each value of
// a row can be worked out by hand: the two-wattmeter power V1 a + V2 b, the reactive products
// of each phase current with the line voltage of the other two phases, and the compensation
// values of the constants.
TEST(SlidingAnalysis, SteadyInputsGiveTheValuesWorkedOutByHand) {
    const int samples = 400;
    gen::RecordingSpec spec = supplyRecording(supplyWith({{100, 0, 200, {}}}), samples);
    const std::vector<std::int16_t> codes = {1000, 400, 300, -100};
    for (std::size_t k = 0; k < codes.size(); ++k) spec.channels[k].codes.assign(samples, codes[k]);
    spec.logicChannels = 1;
    spec.logic = [](int, int) { return 1; };  // bit 0 only: written as 8
    SlidingRun a(spec);
    setValue(a.form.Check6, 1);
    setValue(a.form.Check12[0], 1);
    setValue(a.form.Check12[1], 1);
    setText(a.form.Text9[0], "0.5");
    setText(a.form.Text9[1], "0.25");
    setText(a.form.Text9[3], "2");
    CsvFile csv = a.run();

    const double vd = Val(a.form.V_Div.text), pt = 60, ct = 200;
    const double v1 = 1000 * 100.0, v2 = 400 * 100.0;              // 100V ranges
    const double ia = 300 * 0.05, ib = -100 * 0.05, it = ia + ib;  // 50mV ranges
    const double qts = kSqrt3 * 5 / 3 / 1000;
    const double lineSquares = v1 * v1 + v2 * v2 + (v1 - v2) * (v1 - v2);
    const double v = std::sqrt(lineSquares / 3) / vd * pt;
    const double i = std::sqrt((ia * ia + ib * ib + it * it) / 3) / vd * ct / 0.2;
    const double p = (v1 * ia + v2 * ib) / (vd * vd) * pt * ct / 0.2 / 1000;
    const double q3 = -v2 * ia + (v1 - v2) * it + v1 * ib;
    const double q = q3 / (vd * vd) * pt * ct * qts;
    const double vm = pt * std::sqrt(lineSquares / 3) / vd;
    const double vb = (v1 * ia + v2 * ib) * 0.5 / vm * 1000 / (vd * vd) * pt * ct / 0.2 / 1000 + vm +
                      qts * (q3 * 0.25 / vm * 1000 / (vd * vd) * pt * ct);
    const double theoretical =
        (v1 * ia + v2 * ib) * -2 / (vd * vd) * pt * ct / 0.2 / 1000 - qts * q3 / (vd * vd) * pt * ct;

    ASSERT_GT(csv.lines.size(), 2u);
    for (std::size_t l = 2; l < csv.lines.size(); ++l) {
        EXPECT_NEAR(value(csv, l, "V(V)"), v, v * 1e-6);
        EXPECT_NEAR(value(csv, l, "I1(A)"), i, i * 1e-6);
        EXPECT_NEAR(value(csv, l, "P1(kW)"), p, std::fabs(p) * 1e-6);
        EXPECT_NEAR(value(csv, l, "Q1(kVar)"), q, std::fabs(q) * 1e-6);
        EXPECT_NEAR(value(csv, l, "Vuv"), v1 / vd * pt, v * 1e-6);
        EXPECT_NEAR(value(csv, l, "I1v"), std::fabs(it) / vd * ct / 0.2, i * 1e-6);
        EXPECT_NEAR(value(csv, l, "P1u"), (v1 + (v1 + v2) / -3) * ia / (vd * vd) * pt * ct / 0.2 / 1000,
                    std::fabs(p) * 1e-6);
        EXPECT_NEAR(value(csv, l, "Q1w"), v1 * ib / (vd * vd) * pt * ct * qts, std::fabs(q) * 1e-6);
        EXPECT_NEAR(value(csv, l, "補償前V"), std::fabs(vb), std::fabs(vb) * 1e-6);
        EXPECT_NEAR(value(csv, l, "理論補償値"), theoretical, std::fabs(theoretical) * 1e-5);
        EXPECT_EQ(csv.rows[l].back(), "8");
    }
}

// On a steady supply a 10 ms average of whole-period windows is the interval's own value, so
// every column of the two analyses agrees: the rows share one layout and one scaling.
TEST(SlidingAnalysis, OnASteadySupplyEveryColumnAgreesWithTheIntervalAnalysis) {
    gen::RecordingSpec spec = supplyRecording(supplyWith({{100, 20, 200, {}}, {60, -10, 300, {}}}), 1200);
    spec.logicChannels = 2;
    spec.logic = [](int sample, int channel) { return (sample / 40 + channel) % 16; };
    testing::AnalysisRun a(spec);
    setValue(a.form.Check6, 1);
    setValue(a.form.Check12[0], 1);
    setValue(a.form.Check12[1], 1);
    setText(a.form.Text8[1], "2");
    setText(a.form.Text9[0], "0.3");
    setText(a.form.Text9[1], "0.1");
    setText(a.form.Text9[3], "1.5");
    setText(a.form.Text7[2], "300");
    CsvFile interval = a.run();
    setValue(a.form.Check13, 1);
    CsvFile sliding = a.run();
    ASSERT_EQ(sliding.lines[1], interval.lines[1]);
    ASSERT_GT(sliding.lines.size(), 10u);
    for (std::size_t l = 2; l < sliding.lines.size(); ++l) {
        ASSERT_EQ(sliding.rows[l].size(), interval.rows[l].size());
        EXPECT_EQ(sliding.rows[l][0], interval.rows[l][0]);
        const std::size_t logic = sliding.rows[l].size() - 2;
        for (std::size_t f = 1; f < logic; ++f) {
            double expected = interval.number(l, f);
            EXPECT_NEAR(sliding.number(l, f), expected, 1e-3 + std::fabs(expected) * 1e-4)
                << interval.rows[1][f] << " row " << l;
        }
        for (std::size_t f = logic; f < sliding.rows[l].size(); ++f) EXPECT_EQ(sliding.rows[l][f], interval.rows[l][f]);
    }
}

TEST(SlidingAnalysis, StatisticsOnlyWritesNothingAndStillCollects) {
    gen::ThreePhaseSupply supply = supplyWith({{100, 0, 200, {}}});
    supply.noise = 0.01;
    SlidingRun a(supplyRecording(supply, 1000));
    setValue(a.form.Check12[0], 1);
    CsvFile csv = a.run();
    float sum = 0, max = -1e30f, min = 1e30f;
    for (std::size_t l = 2; l < csv.lines.size(); ++l) {
        float v = static_cast<float>(value(csv, l, "V(V)"));
        sum += v;
        max = std::max(max, v);
        min = std::min(min, v);
    }
    EXPECT_EQ(a.form.lastConversion()->interval.intervalCount, static_cast<std::int32_t>(csv.lines.size() - 2));
    EXPECT_FLOAT_EQ(a.form.lastConversion()->interval.statistics.VStat[0], sum);
    EXPECT_FLOAT_EQ(a.form.lastConversion()->interval.statistics.VStat[1],
                    max);  // the file's 7 digits may not give back the last bit
    EXPECT_FLOAT_EQ(a.form.lastConversion()->interval.statistics.VStat[2], min);

    std::filesystem::remove(a.folder.file("out.csv"));
    setValue(a.form.Check10, 1);
    a.form.Command1.enabled = true;
    click(a.form.Command1);
    EXPECT_TRUE(a.model.host.errors.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(a.folder.path()), {}), 1);  // the recording
    EXPECT_FLOAT_EQ(a.form.lastConversion()->interval.statistics.VStat[0], sum);
}

TEST(SlidingAnalysis, AnOutputIntervalOfLessThanOneSampleIsRefusedBeforeAnythingIsWritten) {
    SlidingRun a(supplyRecording(supplyWith({{100, 0, 200, {}}}), 400));
    setText(a.form.Text1, "0.0001");  // 0.2 samples at 2 kHz
    click(a.form.Command1);
    ASSERT_EQ(a.model.host.errors.size(), 1u);
    EXPECT_EQ(a.model.host.errorKinds[0], ErrorKind::Arithmetic);
    EXPECT_NE(a.model.host.errors[0].find("REC.MEM"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(a.folder.file("out.csv")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(a.folder.path()), {}), 1);
}

// Settings the window cannot produce, given to the analysis directly.
TEST(SlidingAnalysis, SettingsWithoutATenMillisecondWindowAreRefused) {
    RawSampleTable table(100, 2);
    std::array<float, 16> scales{};
    RecordingView recording{table, scales, 2, 0};
    Progress progress;
    PowerSettings s;
    s.fileName = "A.MEM";
    s.samplesPerInterval = 40;
    s.samplesPerIntervalText = "40";
    s.totalSamples = 99;
    s.samplesPerDivision = 100;
    s.timeUnitFactor = 1000;
    s.timePerDivision = 0;  // no time axis
    EXPECT_THROW(PQOut10ms(s, recording, nullptr, progress), ArithmeticError);
    s.timePerDivision = 50;
    s.samplesPerDivision = 0.01;  // 10 ms holds no sample
    EXPECT_THROW(PQOut10ms(s, recording, nullptr, progress), ArithmeticError);
    s.samplesPerDivision = 100;
    EXPECT_EQ(tenMillisecondPositions(s), 20);
    EXPECT_EQ(PQOut10ms(s, recording, nullptr, progress).intervalCount, 1);  // steps 0..38: a row at step 21
}

}  // namespace
}  // namespace pqwave
