// The three files of a power-quality run, byte by byte from a result built by hand: the first
// line, the headers, a row of each file, the names, and nothing left behind when one fails.
#include "quality/pq_files.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/datetime.h"
#include "common/error.h"
#include "quality/pq_measurement_files.h"
#include "support/csv_file.h"
#include "support/test_folder.h"

namespace pqwave {
namespace {

using testing::CsvFile;
using testing::TestFolder;

PqSettings handSettings() {
    PqSettings s;
    s.fileName = "REC.MEM";
    s.modelText = "8841";
    s.startDateTime = DateSerial(2024, 5, 6) + TimeSerial(13, 45, 30);
    s.aggregation = PqAggregation::BasicInterval;
    return s;
}

// One circuit, one basic interval from 0.5 s to 0.7 s, harmonics to the 19th, one dip.
PqResult handResult() {
    PqResult r;
    r.declaredVolts = 200;
    r.declaredAutomatically = true;
    r.firstTenSecondsVolts = 201.5;
    r.samplingHz = 2000;
    r.circuits = 1;
    r.highestOrder = 19;
    PqRow row;
    row.startSeconds = 0.5;
    row.endSeconds = 0.7;
    row.flagged = true;
    row.frequencyHz = 50.25f;
    row.lineVolts = {200, 201, 202};
    row.unbalancePercent = 0.5f;
    row.thdPercent = {2, 2.5f, 3};
    PqCircuitValues c;
    c.amps = {10, 11, 12};
    c.kW = 3.5f;
    c.kvar = -1.25f;
    c.powerFactor = 0.875f;
    c.thdPercent = {4, kNoValue};
    row.circuits = {c};
    row.spectra.assign(static_cast<std::size_t>(spectrumQuantities(1)) * kSpectrumValues, kNoValue);
    for (int q = 0; q < spectrumQuantities(1); ++q) {
        float* s = &row.spectra[q * kSpectrumValues];
        for (int h = 1; h <= 19; ++h) s[harmonicSlot(h)] = 0;
        for (int n = 0; n < 19; ++n) s[interharmonicSlot(n)] = 0;
        s[harmonicSlot(1)] = 200;
        s[harmonicSlot(5)] = 20;
        s[interharmonicSlot(7)] = 1;
    }
    r.rows = {row};
    PqEvent dip;
    dip.startSeconds = 1.2346;
    dip.durationSeconds = 0.1;
    dip.extremeVolts = 100;
    dip.extremePercent = 50;
    dip.phases = "U12 U31";
    r.events = {dip};
    return r;
}

TEST(PqFiles, WriteTheRecordingLineTheHeadersAndEachRow) {
    TestFolder folder;
    const PqFileNames names = pqFileNames(folder.path(), "REC");
    EXPECT_EQ(names.harmonics, folder.file("REC_PQharm.csv"));
    writePqFiles(handSettings(), handResult(), names);

    const std::string first =
        "Model,8841,Start,2024/05/06 13:45:30.000,Sampling(Hz),2000,Udin(V),200,"
        "auto: nearest to the mean of the first 10 s 201.5 V,Aggregation,200ms";
    CsvFile summary(names.summary);
    EXPECT_TRUE(summary.crLfOnly);
    ASSERT_EQ(summary.lines.size(), 3u);
    EXPECT_EQ(summary.lines[0], first);
    EXPECT_EQ(summary.lines[1],
              "Start,End,Flag,f(Hz),U12(V),U23(V),U31(V),u2(%),THD_U12(%),THD_U23(%),THD_U31(%),"
              "I1_1(A),I2_1(A),I3_1(A),P_1(kW),Q_1(kvar),PF_1,THD_I1_1(%),THD_I3_1(%)");
    EXPECT_EQ(summary.lines[2],
              "2024/05/06 13:45:30.500,2024/05/06 13:45:30.700,1,50.25,200,201,202,0.5,2,2.5,3,10,11,12,3.5,-1.25,"
              "0.875,4,");

    CsvFile harmonics(names.harmonics);
    ASSERT_EQ(harmonics.lines.size(), 3u);
    EXPECT_EQ(harmonics.lines[0], first);
    const std::vector<std::string>& header = harmonics.rows[1];
    ASSERT_EQ(header.size(), 3u + 5 * 100);
    EXPECT_EQ(header[3], "U12_H1");
    EXPECT_EQ(header[4], "U12_H2(%)");
    EXPECT_EQ(header[52], "U12_H50(%)");
    EXPECT_EQ(header[53], "U12_IH0(%)");
    EXPECT_EQ(header[102], "U12_IH49(%)");
    EXPECT_EQ(header[303], "I1_1_H1");
    EXPECT_EQ(header[403], "I3_1_H1");
    const std::vector<std::string>& row = harmonics.rows[2];
    ASSERT_EQ(row.size(), header.size());
    EXPECT_EQ(row[2], "1");
    EXPECT_EQ(row[3], "200");
    EXPECT_EQ(row[3 + 4], "10");        // H5: 20 V of 200 V
    EXPECT_EQ(row[3 + 18], "0");        // H19, the highest order below 1 kHz
    EXPECT_EQ(row[3 + 19], "");         // H20 and above: beyond the sampling
    EXPECT_EQ(row[3 + 50 + 7], "0.5");  // IH7: 1 V of 200 V
    EXPECT_EQ(row[3 + 50 + 19], "");    // IH19 lies partly beyond half the sampling frequency

    CsvFile events(names.events);
    ASSERT_EQ(events.lines.size(), 3u);
    EXPECT_EQ(events.lines[1], "Type,Start,Duration(ms),Extreme(V),Extreme(%),Phases");
    EXPECT_EQ(events.lines[2], "dip,2024/05/06 13:45:31.235,100,100,50,U12 U31");
}

TEST(PqFiles, AnotherAnalysisAppendsItsColumns) {
    TestFolder folder;
    PqExtraColumns pst{{"Pst_U12", "Pst_U23", "Pst_U31"}, [](const PqRow&) {
                           return std::vector<std::string>{"0.5", "", "0.75"};
                       }};
    writePqFiles(handSettings(), handResult(), pqFileNames(folder.path(), "REC"), pst);
    CsvFile summary(folder.file("REC_PQ.csv"));
    EXPECT_TRUE(summary.lines[1].ends_with(",THD_I3_1(%),Pst_U12,Pst_U23,Pst_U31"));
    EXPECT_TRUE(summary.lines[2].ends_with(",4,,0.5,,0.75"));
}

// Two clock hours from 0 s: twelve 10-minute Pst, one whole 2-hour Plt, then a partial one.
TEST(PqFiles, PstAndPltStandOnTheRowsOfTheirOwnIntervals) {
    PqMeasurement m;
    for (int k = 0; k < 13; ++k) {
        ShortTermFlicker s;
        s.startSeconds = 600.0 * k;
        s.endSeconds = s.startSeconds + 600;
        s.pst = {0.5 + k, 0.25, 0.125};
        m.flicker.shortTerm.push_back(s);
    }
    m.longTerm = {{0, 7200, 12, true, false, {2, 3, 4}}, {7200, 14400, 1, false, true, {5, 6, 7}}};
    auto cellsOf = [&](PqAggregation aggregation, double start, double end) {
        PqRow row;
        row.startSeconds = start;
        row.endSeconds = end;
        return flickerColumns(m, aggregation).cells(row);
    };
    using Cells = std::vector<std::string>;
    EXPECT_EQ(flickerColumns(m, PqAggregation::TenMinutes).headers,
              Cells({"Pst_U12", "Pst_U23", "Pst_U31", "Plt_U12", "Plt_U23", "Plt_U31"}));
    EXPECT_EQ(cellsOf(PqAggregation::TenMinutes, 600, 1200), Cells({"1.5", "0.25", "0.125", "", "", ""}));
    // The row that ends the whole 2 hours carries their Plt; the partial 2 hours have none at 10 min.
    EXPECT_EQ(cellsOf(PqAggregation::TenMinutes, 6600, 7200), Cells({"11.5", "0.25", "0.125", "2", "3", "4"}));
    EXPECT_EQ(cellsOf(PqAggregation::TenMinutes, 7200, 7800), Cells({"12.5", "0.25", "0.125", "", "", ""}));
    EXPECT_EQ(cellsOf(PqAggregation::TwoHours, 7200, 14400), Cells({"", "", "", "5", "6", "7"}));
    EXPECT_EQ(cellsOf(PqAggregation::ThreeSeconds, 600, 603), Cells(6, ""));
}

TEST(PqFiles, TheOthersAreNamedBesideTheSummaryAUserNames) {
    const PqFileNames a = pqFileNamesBeside("out/SITE_PQ.csv");
    EXPECT_EQ(a.summary, "out/SITE_PQ.csv");
    EXPECT_EQ(a.harmonics, "out/SITE_PQharm.csv");
    EXPECT_EQ(a.events, "out/SITE_PQevents.csv");
    EXPECT_EQ(a.flicker, "out/SITE_PQflicker.csv");
    EXPECT_EQ(pqFileNamesBeside("SITE.csv").events, "SITE_PQevents.csv");
}

TEST(PqFiles, NoneIsWrittenWhenOneCannotBe) {
    TestFolder folder;
    PqFileNames names = pqFileNames(folder.path(), "REC");
    names.events = folder.file("missing") / "REC_PQevents.csv";
    EXPECT_THROW(writePqFiles(handSettings(), handResult(), names), Error);
    EXPECT_FALSE(std::filesystem::exists(names.summary));
    EXPECT_FALSE(std::filesystem::exists(names.harmonics));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

}  // namespace
}  // namespace pqwave
