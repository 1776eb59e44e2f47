// The V/I/P/Q-data FFT: file shape for no, one and seven circuits, the physics of a balanced
// three-phase supply worked out by hand, and what rotation, polarity and star-delta settings
// change.
#include "spectrum/vipq_fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "support/csv_file.h"
#include "support/recording_host.h"

namespace pqwave {
namespace {

using testing::CsvFile;
using testing::StartedModel;
using testing::TestFolder;

const double kSqrt3 = std::sqrt(3.0);

// Sixteen columns of sines, a different frequency and phase per column.
RawSampleTable sines(std::size_t rows) {
    RawSampleTable table(rows, 16);
    for (std::size_t j = 0; j < rows; ++j)
        for (std::size_t c = 0; c < 16; ++c)
            table(j, c) = static_cast<std::int16_t>(
                std::lround(3000 * std::sin(2 * std::numbers::pi * (static_cast<double>(j) / 16 + 0.1 * c))));
    return table;
}

VipqFftSettings settingsFor(double samples, int lastColumn) {
    VipqFftSettings s;
    s.fileName = "REC.MEM";
    s.sampleCount = samples;
    s.countsPerDivision = 1600;
    s.samplingFrequency = 1000;
    s.lastColumn = lastColumn;
    s.channelScale.fill(25.0f);
    s.ptRatio = 60;
    s.clampAmps.fill(200);
    return s;
}

CsvFile written(const TestFolder& folder, const VipqFftSettings& s, const RawSampleTable& table) {
    Progress progress;
    VipqSpectrum spectrum = vipqSpectrum(s, table, progress);
    TextOutputFile file(folder.file("pq.csv"));
    writeVipqSpectrum(s, spectrum, file, progress);
    file.commit();
    return CsvFile(folder.file("pq.csv"));
}

TEST(VipqFft, CircuitsFollowTheLastActiveColumnAndShapeTheFile) {
    EXPECT_EQ(vipqCircuits(0), 0);
    EXPECT_EQ(vipqCircuits(1), 1);  // (1 - 2) / 2 truncates to 0: one circuit on columns 2 and 3
    EXPECT_EQ(vipqCircuits(3), 1);
    EXPECT_EQ(vipqCircuits(4), 2);
    EXPECT_EQ(vipqCircuits(15), 7);

    TestFolder folder;
    RawSampleTable table = sines(101);
    CsvFile one = written(folder, settingsFor(100, 3), table);  // N = 64
    EXPECT_TRUE(one.crLfOnly);
    ASSERT_EQ(one.lines.size(), 1u + 33u);
    EXPECT_EQ(one.lines[0], "Hz,V,3VRms,I1,3IRms,P1,Q1");
    for (std::size_t line = 1; line < one.lines.size(); ++line) EXPECT_EQ(one.rows[line].size(), 7u);
    EXPECT_EQ(one.rows[1][0], "0");
    EXPECT_EQ(one.rows[2][0], "15.625");  // 1000 Hz / 64
    EXPECT_EQ(one.rows.back()[0], "500");

    CsvFile seven = written(folder, settingsFor(100, 15), table);
    EXPECT_EQ(seven.lines[0],
              "Hz,V,3VRms,I1,3IRms,P1,Q1,I2,3IRms2,P2,Q2,I3,3IRms3,P3,Q3,I4,3IRms4,P4,Q4,"
              "I5,3IRms5,P5,Q5,I6,3IRms6,P6,Q6,I7,3IRms7,P7,Q7");
    for (std::size_t line = 1; line < seven.lines.size(); ++line) EXPECT_EQ(seven.rows[line].size(), 31u);

    CsvFile none = written(folder, settingsFor(100, 0), table);
    EXPECT_EQ(none.lines[0], "Hz,V,3VRms");
    for (std::size_t line = 1; line < none.lines.size(); ++line) EXPECT_EQ(none.rows[line].size(), 3u);
    EXPECT_EQ(one.rows[5][1], none.rows[5][1]);  // the voltage columns do not depend on the circuits
}

// 110 V secondary (6600 V through the PT of 60) at 2 kHz, with the supply frequency on bin 51
// of the 2048-point transform, so no leakage blurs the fundamental.
struct BalancedSupply {
    static constexpr std::size_t kFundamentalBin = 51;
    TestFolder folder;
    StartedModel model{folder};
    explicit BalancedSupply(std::vector<gen::Circuit> circuits) {
        gen::ThreePhaseSupply supply;
        supply.frequency = 2000.0 * kFundamentalBin / 2048;
        supply.circuits = std::move(circuits);
        gen::RecordingSpec spec;
        spec.timePerDivision = "50ms";
        spec.sampleCount = 2100;
        spec.channels = gen::threePhaseChannels(supply);
        folder.write("REC.MEM", spec);
        model.click("REC.MEM");
        select(model.form.Option2[2]);
        setText(model.form.Text5, folder.file("pq.csv").string());
    }
    CsvFile run() {
        click(model.form.Command1);
        EXPECT_TRUE(model.host.errors.empty()) << model.host.errors.front();
        return CsvFile(folder.file("pq.csv"));
    }
    // The value of a column at a bin: line 0 is the start, line 1 the header.
    static double at(const CsvFile& csv, std::size_t bin, std::size_t column) { return csv.number(2 + bin, column); }
};

TEST(VipqFft, BalancedSupplyShowsTheLineVoltageAndCurrentsAtTheFundamentalAndSteadyPower) {
    BalancedSupply supply({{100, 0, 200, {}}, {50, 30, 200, {}}});
    CsvFile csv = supply.run();
    ASSERT_EQ(csv.lines.size(), 2u + 1025u);
    EXPECT_EQ(csv.lines[1], "Hz,V,3VRms,I1,3IRms,P1,Q1,I2,3IRms2,P2,Q2");
    const std::size_t f = BalancedSupply::kFundamentalBin;
    EXPECT_EQ(csv.rows[2 + f][0], "49.8046875");
    // The mean of the RMS spectra of three equal line voltages is the line voltage.
    EXPECT_NEAR(BalancedSupply::at(csv, f, 1), 6600, 6600 * 2e-3);
    // The three-phase RMS voltage of a balanced supply is steady: all of it at bin 0.
    EXPECT_NEAR(BalancedSupply::at(csv, 0, 2), 6600, 6600 * 2e-3);
    EXPECT_LT(BalancedSupply::at(csv, f, 2), 6600 * 2e-3);
    // Phase currents of 100 A and 50 A RMS, and the steady three-phase RMS current.
    EXPECT_NEAR(BalancedSupply::at(csv, f, 3), 100, 100 * 3e-3);
    EXPECT_NEAR(BalancedSupply::at(csv, 0, 4), 100, 100 * 3e-3);
    EXPECT_NEAR(BalancedSupply::at(csv, f, 7), 50, 50 * 3e-3);
    EXPECT_NEAR(BalancedSupply::at(csv, 0, 8), 50, 50 * 3e-3);
    // Steady power: P = sqrt 3 V I cos(lag), Q = sqrt 3 V I sin(lag), nothing at f or 2f.
    const double p1 = kSqrt3 * 6600 * 100 / 1000, s2 = kSqrt3 * 6600 * 50 / 1000;
    EXPECT_NEAR(BalancedSupply::at(csv, 0, 5), p1, p1 * 3e-3);
    EXPECT_NEAR(BalancedSupply::at(csv, 0, 6), 0, p1 * 3e-3);
    EXPECT_NEAR(BalancedSupply::at(csv, 0, 9), s2 * std::cos(30 * std::numbers::pi / 180), s2 * 3e-3);
    EXPECT_NEAR(std::abs(BalancedSupply::at(csv, 0, 10)), s2 / 2, s2 * 3e-3);
    for (std::size_t bin : {f, 2 * f}) {
        EXPECT_LT(BalancedSupply::at(csv, bin, 5), p1 * 3e-3) << bin;
        EXPECT_LT(BalancedSupply::at(csv, bin, 6), p1 * 3e-3) << bin;
    }
}

TEST(VipqFft, StarDeltaTurnsTheCurrentsBy30DegreesWithoutChangingTheirSize) {
    const double p1 = kSqrt3 * 6600 * 100 / 1000;
    for (bool minus30 : {true, false}) {
        BalancedSupply supply({{100, 0, 200, {}}});
        setValue(minus30 ? supply.model.form.Check9[0] : supply.model.form.Check8[0], 1);
        CsvFile csv = supply.run();
        EXPECT_NEAR(BalancedSupply::at(csv, 0, 4), 100, 100 * 3e-3) << minus30;
        EXPECT_NEAR(BalancedSupply::at(csv, 0, 5), p1 * std::cos(30 * std::numbers::pi / 180), p1 * 3e-3) << minus30;
        EXPECT_NEAR(std::abs(BalancedSupply::at(csv, 0, 6)), p1 / 2, p1 * 3e-3) << minus30;
        // The mean phase-current spectrum takes the currents as recorded.
        EXPECT_NEAR(BalancedSupply::at(csv, BalancedSupply::kFundamentalBin, 3), 100, 100 * 3e-3) << minus30;
    }
}

TEST(VipqFft, RotationAndPolarityTurnTheSignOfTheSeriesButNotOfTheAmplitudes) {
    Progress progress;
    RawSampleTable table = sines(129);
    VipqFftSettings forward = settingsFor(128, 5);
    VipqFftSettings reverse = forward;
    reverse.wiring.rotation = Rotation::Reverse;
    VipqSeries a = vipqSeries(forward, table, 128), b = vipqSeries(reverse, table, 128);
    for (std::size_t k = 0; k < 128; ++k)
        for (int c = 0; c < 2; ++c) {
            EXPECT_EQ(b.reactive[c][k], -a.reactive[c][k]);
            EXPECT_EQ(b.active[c][k], a.active[c][k]);
        }
    EXPECT_EQ(vipqSpectrum(forward, table, progress).values, vipqSpectrum(reverse, table, progress).values);

    VipqFftSettings inverted = forward;
    inverted.wiring.circuits[1].polarityInverted = true;
    VipqSeries i = vipqSeries(inverted, table, 128);
    for (std::size_t k = 0; k < 128; ++k) {
        EXPECT_EQ(i.active[1][k], -a.active[1][k]);
        EXPECT_EQ(i.reactive[1][k], -a.reactive[1][k]);
        EXPECT_EQ(i.current[1][k], a.current[1][k]);
        EXPECT_EQ(i.active[0][k], a.active[0][k]);
    }
    VipqSpectrum plain = vipqSpectrum(forward, table, progress), flipped = vipqSpectrum(inverted, table, progress);
    for (std::size_t bin = 0; bin < plain.bins(); ++bin) EXPECT_EQ(plain.at(bin, 6), flipped.at(bin, 6)) << bin;
}

TEST(VipqFft, RecordsOf32768SamplesAndMoreTakeUpTo65536Points) {
    Progress progress;
    RawSampleTable table = sines(40001);
    VipqSpectrum spectrum = vipqSpectrum(settingsFor(40000, 3), table, progress);
    EXPECT_EQ(spectrum.N, 32768u);
    EXPECT_EQ(spectrum.bins(), 16385u);
    // 1/16 of the sampling frequency: bin 2048 holds the voltage, 0 V beside it.
    EXPECT_GT(spectrum.at(2048, 0), 100.0f);
    EXPECT_LT(spectrum.at(2047, 0), 0.01f);
    EXPECT_EQ(vipqSpectrum(settingsFor(70000, 3), sines(70001), progress).N, 65536u);
}

TEST(VipqFft, ACountPerDivisionOf0IsReportedNamingTheFile) {
    Progress progress;
    VipqFftSettings s = settingsFor(100, 3);
    s.countsPerDivision = 0;
    try {
        vipqSpectrum(s, sines(101), progress);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::Arithmetic);
        EXPECT_NE(std::string(e.what()).find("REC.MEM"), std::string::npos);
    }
}

}  // namespace
}  // namespace pqwave
