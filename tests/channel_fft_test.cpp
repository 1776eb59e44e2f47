// The channel-data FFT: transform size and file shape from a generated recording, and
// amplitudes and phases of signals whose spectrum is known by hand.
#include "spectrum/channel_fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "support/csv_file.h"
#include "support/recording_host.h"

namespace pqwave {
namespace {

using testing::CsvFile;
using testing::StartedModel;
using testing::TestFolder;

// A table of `rows` samples whose column c holds code(c, j).
RawSampleTable tableOf(std::size_t rows, std::size_t columns,
                       const std::function<double(std::size_t, std::size_t)>& code) {
    RawSampleTable table(rows, columns);
    for (std::size_t j = 0; j < rows; ++j)
        for (std::size_t c = 0; c < columns; ++c) table(j, c) = static_cast<std::int16_t>(std::lround(code(c, j)));
    return table;
}

// Scale 0.5 per code over 100 counts per division: a code of 200 is 1 V.
ChannelFftSettings settingsFor(double samples, int lastColumn) {
    ChannelFftSettings s;
    s.fileName = "REC.MEM";
    s.sampleCount = samples;
    s.countsPerDivision = 100;
    s.samplingFrequency = 1000;
    s.lastColumn = lastColumn;
    s.channelScale.fill(0.5f);
    s.multipliers.fill(1.0f);
    return s;
}

CsvFile written(const TestFolder& folder, const ChannelFftSettings& s, const ChannelSpectrum& spectrum) {
    Progress progress;
    TextOutputFile file(folder.file("fft.csv"));
    writeChannelSpectrum(s, spectrum, file, progress);
    file.commit();
    return CsvFile(folder.file("fft.csv"));
}

TEST(ChannelFft, ARecordOf1000SamplesIsTransformedOver512AndWritten257Bins) {
    TestFolder folder;
    gen::RecordingSpec spec;  // 5 ms/DIV at 100 samples per division: 20 kHz
    spec.sampleCount = 1000;
    gen::ChannelSpec first;
    // A constant over samples 0..511, and another after them: the transform sees only the first.
    for (int j = 0; j < 1000; ++j) first.codes.push_back(j < 512 ? 200 : 5000);
    spec.channels = {first, gen::ChannelSpec{}};
    folder.write("A.MEM", spec);
    StartedModel m(folder);
    m.click("A.MEM");
    select(m.form.Option2[3]);
    setText(m.form.Text3[0], "3");
    setText(m.form.Text5, folder.file("out.csv").string());
    click(m.form.Command1);
    ASSERT_TRUE(m.host.errors.empty()) << m.host.errors[0];

    CsvFile csv(folder.file("out.csv"));
    EXPECT_TRUE(csv.crLfOnly);
    ASSERT_EQ(csv.lines.size(), 2u + 257u);
    EXPECT_EQ(csv.lines[0], "2024/05/06,13:45:30");
    EXPECT_EQ(csv.lines[1], "Hz,ch1,θ1,ch2,θ2");
    EXPECT_EQ(csv.rows[2][0], " 0 ");
    EXPECT_EQ(csv.rows[3][0], " 39.0625 ");  // 20000 / 512
    EXPECT_EQ(csv.rows.back()[0], " 10000 ");
    EXPECT_EQ(csv.rows[2].size(), 5u);
    // The mean of ch1 times its multiplier 3; a constant has no other bin.
    const double volts = 200 * m.form.ChannelScale()[0] / Val(m.form.V_Div.text);
    EXPECT_NEAR(csv.number(2, 1), 3 * volts, 3 * volts * 1e-6);
    for (std::size_t line = 3; line < csv.lines.size(); ++line) EXPECT_NEAR(csv.number(line, 1), 0, 1e-5) << line;
}

TEST(ChannelFft, AmplitudeIsThePeakAndPhaseTheStartingAngleInWholeDegreesRoundedDown) {
    const std::size_t n = 256;
    auto wave = [](double peakCodes, int cycles, double degrees) {
        return [=](std::size_t j) {
            return peakCodes * std::sin(2 * std::numbers::pi * cycles * static_cast<double>(j) / 256 +
                                        degrees * std::numbers::pi / 180);
        };
    };
    auto sine30 = wave(2000, 7, 30.6), cosine = wave(1000, 5, 90), twoTones = wave(400, 3, -44.6);
    RawSampleTable table = tableOf(n + 1, 4, [&](std::size_t c, std::size_t j) {
        switch (c) {
            case 0:
                return sine30(j);
            case 1:
                return cosine(j);
            case 2:
                return twoTones(j) + wave(600, 40, 0.4)(j);
            default:
                return j % 2 ? -1000.0 : 1000.0;  // the top bin
        }
    });
    Progress progress;
    ChannelFftSettings s = settingsFor(300, 3);  // 300 samples: N = 256
    ChannelSpectrum sp = channelSpectrum(s, table, progress);
    ASSERT_EQ(sp.N, n);
    ASSERT_EQ(sp.bins(), 129u);
    const double volt = 0.5 / 100;  // per code
    EXPECT_NEAR(sp.amplitudeAt(7, 0), 2000 * volt, 2000 * volt * 1e-3);
    EXPECT_EQ(sp.phaseAt(7, 0), 30);
    EXPECT_NEAR(sp.amplitudeAt(5, 1), 1000 * volt, 1000 * volt * 1e-3);
    EXPECT_EQ(sp.phaseAt(5, 1), 90);
    EXPECT_NEAR(sp.amplitudeAt(3, 2), 400 * volt, 400 * volt * 2e-3);
    EXPECT_EQ(sp.phaseAt(3, 2), -45);  // a negative angle: atan of S / D, rounded down
    EXPECT_NEAR(sp.amplitudeAt(40, 2), 600 * volt, 600 * volt * 2e-3);
    EXPECT_EQ(sp.phaseAt(40, 2), 0);
    for (std::size_t k : {0u, 1u, 6u, 8u, 100u}) EXPECT_LT(sp.amplitudeAt(k, 0), 2000 * volt * 1e-3) << k;
    // At N/2 the bin pairs with itself and is not halved: twice the peak of the alternation.
    EXPECT_NEAR(sp.amplitudeAt(128, 3), 2 * 1000 * volt, 1e-6);

    // A multiplier of 2 doubles the written amplitude of its column and nothing else.
    TestFolder folder;
    CsvFile once = written(folder, s, sp);
    s.multipliers[1] = 2;
    CsvFile twice = written(folder, s, sp);
    for (std::size_t line = 1; line < once.lines.size(); ++line) {
        for (std::size_t field : {0u, 1u, 2u, 4u, 5u, 6u, 7u, 8u})
            EXPECT_EQ(once.rows[line][field], twice.rows[line][field]);
        EXPECT_NEAR(twice.number(line, 3), 2 * once.number(line, 3), 2e-6 * once.number(line, 3));
    }
    EXPECT_EQ(once.rows[1 + 5][4], "90");  // bin 5, phase of ch2
    EXPECT_EQ(once.rows[1].size(), 9u);
}

TEST(ChannelFft, TakesAtMost65536PointsOfALongRecord) {
    Progress progress;
    RawSampleTable table = tableOf(100001, 1, [](std::size_t, std::size_t j) { return j % 3 == 0 ? 300.0 : 0.0; });
    ChannelFftSettings s = settingsFor(100000, 0);
    ChannelSpectrum sp = channelSpectrum(s, table, progress);
    EXPECT_EQ(sp.N, 65536u);
    TestFolder folder;
    CsvFile csv = written(folder, s, sp);
    EXPECT_EQ(csv.lines.size(), 1u + 32769u);
    EXPECT_EQ(csv.rows.back()[0], " 500 ");
}

TEST(ChannelFft, ACountPerDivisionOf0IsReportedNamingTheFileAndWritesNothing) {
    TestFolder folder;
    gen::RecordingSpec spec;
    spec.fieldOverrides[14] = "none";  // the header's count per division
    folder.write("A.MEM", spec);
    StartedModel m(folder);
    m.click("A.MEM");
    select(m.form.Option2[3]);
    setText(m.form.Text5, folder.file("out.csv").string());
    folder.writeBytes("out.csv", {std::byte{'o'}, std::byte{'l'}, std::byte{'d'}});
    click(m.form.Command1);
    ASSERT_EQ(m.host.errors.size(), 1u);
    EXPECT_EQ(m.host.errorKinds[0], ErrorKind::Arithmetic);
    EXPECT_NE(m.host.errors[0].find("A.MEM"), std::string::npos);
    EXPECT_NE(m.host.errors[0].find("V_Div"), std::string::npos);
    EXPECT_EQ(folder.readText("out.csv"), "old");
    EXPECT_FALSE(m.form.Label10.visible);
}

}  // namespace
}  // namespace pqwave
