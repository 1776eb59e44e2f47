// "電力品質解析" end to end, through pqwave-cli pq and the window model: the four files with
// their header lines, Pst of a flicker test signal on its 10-minute row, a rapid voltage change
// among the events, a folder with a failing file, a cancel, and the recordings it refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "app/cli.h"
#include "support/cli_run.h"
#include "support/csv_file.h"
#include "support/recording_host.h"
#include "support/test_folder.h"
#include "tools/flicker_signals.h"
#include "tools/pq_signals.h"

namespace pqwave {
namespace {

using testing::cli;
using testing::CliRun;

namespace fs = std::filesystem;
using testing::CsvFile;
using testing::StartedModel;
using testing::TestFolder;

// A 6600 V supply through the default PT ratio of 60 with one 100 A circuit, `seconds` long
// from 13:45:30, 100 samples per division.
gen::RecordingSpec supplyRecording(gen::PqSupply supply, double seconds, double samplingHz = 10000) {
    supply.lineVolts = 6600;
    supply.circuits = {{100, 20, 200, {}}};
    gen::RecordingSpec spec;
    spec.timePerDivision = std::to_string(static_cast<int>(100 / samplingHz * 1000)) + "ms";
    spec.sampleCount = static_cast<int>(std::lround(seconds * samplingHz));
    spec.channels = gen::pqChannels(supply, {60, "50V", "500mV"});
    return spec;
}

std::vector<std::string> filesIn(const TestFolder& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const char* const kOutputs[] = {"06D13-45-30_PQ.csv", "06D13-45-30_PQharm.csv", "06D13-45-30_PQevents.csv",
                                "06D13-45-30_PQflicker.csv"};

TEST(PqCommand, WritesTheFourFilesWithTheirHeaderLines) {
    TestFolder folder;
    folder.write("REC.MEM", supplyRecording({}, 2));
    const CliRun run = cli({"pq", folder.file("REC.MEM").string(), "--nominal", "6600"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::string written;  // each file named as it is put in place, nothing else
    for (const char* name : kOutputs) written += "pqwave-cli: wrote " + folder.file(name).string() + "\n";
    EXPECT_EQ(run.err, written);

    const std::string first =
        "Model,8841,Start,2024/05/06 13:45:30.000,Sampling(Hz),10000,Udin(V),6600,declared,Aggregation,10min";
    std::string harmonics = "Start,End,Flag";
    for (const char* q : {"U12", "U23", "U31", "I1_1", "I3_1"}) {
        harmonics += std::string(",") + q + "_H1";
        for (int h = 2; h <= 50; ++h) harmonics += std::string(",") + q + "_H" + std::to_string(h) + "(%)";
        for (int n = 0; n <= 49; ++n) harmonics += std::string(",") + q + "_IH" + std::to_string(n) + "(%)";
    }
    const std::string headers[] = {
        "Start,End,Flag,f(Hz),U12(V),U23(V),U31(V),u2(%),THD_U12(%),THD_U23(%),THD_U31(%),I1_1(A),I2_1(A),I3_1(A),"
        "P_1(kW),Q_1(kvar),PF_1,THD_I1_1(%),THD_I3_1(%),Pst_U12,Pst_U23,Pst_U31,Plt_U12,Plt_U23,Plt_U31",
        harmonics,
        "Type,Start,Duration(ms),Extreme(V),Extreme(%),Phases",
        "Start,End,Flag,dV10_U12(V),dV10_U23(V),dV10_U31(V),Pinst_max_U12,Pinst_max_U23,Pinst_max_U31",
    };
    for (int k = 0; k < 4; ++k) {
        const CsvFile file(folder.file(kOutputs[k]));
        EXPECT_TRUE(file.crLfOnly) << kOutputs[k];
        ASSERT_GE(file.lines.size(), 2u) << kOutputs[k];
        EXPECT_EQ(file.lines[0], first) << kOutputs[k];
        EXPECT_EQ(file.lines[1], headers[k]) << kOutputs[k];
    }
    // 2 s of a steady supply: one 10-minute row the recording covers in part, no event, and
    // no minute after the flickermeter's first 5 s.
    const CsvFile summary(folder.file(kOutputs[0]));
    ASSERT_EQ(summary.lines.size(), 3u);
    EXPECT_EQ(summary.rows[2][0], "2024/05/06 13:40:00.000");
    EXPECT_EQ(summary.rows[2][2], "1");
    EXPECT_NEAR(std::stod(summary.rows[2][4]), 6600, 6.6);
    EXPECT_EQ(CsvFile(folder.file(kOutputs[2])).lines.size(), 2u);

    // -o names the summary; the others go beside it.
    ASSERT_EQ(cli({"pq", folder.file("REC.MEM").string(), "-o", folder.file("SITE.csv").string()}).status, 0);
    for (const char* name : {"SITE.csv", "SITE_PQharm.csv", "SITE_PQevents.csv", "SITE_PQflicker.csv"})
        EXPECT_TRUE(fs::exists(folder.file(name))) << name;
}

TEST(PqCommand, AFlickerTestSignalGivesPstOfOneOnItsTenMinuteRow) {
    TestFolder folder;
    gen::FlickerRecording recording;
    recording.modulation = gen::pstUnityModulation({110, 0.722});  // 230 V lamp, 50 Hz
    folder.write("REC.MEM", gen::flickerRecordingSpec(recording));
    const CliRun run = cli({"pq", folder.file("REC.MEM").string()});
    ASSERT_EQ(run.status, 0) << run.err;

    // From 13:49:50: the 10 minutes of 13:50 are whole, with the 10 s before and 1 s after.
    const CsvFile summary(folder.file("06D13-49-50_PQ.csv"));
    ASSERT_EQ(summary.lines.size(), 2u + 3);
    const std::vector<std::string>& row = summary.rows[3];
    EXPECT_EQ(row[0], "2024/05/06 13:50:00.000");
    EXPECT_EQ(row[2], "0");
    const std::size_t pst = summary.rows[1].size() - 6;
    for (int v = 0; v < 3; ++v) EXPECT_NEAR(std::stod(row[pst + v]), 1.00, 0.05) << "voltage " << v;
    for (int v = 3; v < 6; ++v) EXPECT_EQ(row[pst + v], "");  // no 2 hours whole

    const CsvFile flicker(folder.file("06D13-49-50_PQflicker.csv"));
    ASSERT_EQ(flicker.lines.size(), 2u + 12);  // 13:49 (from 5 s in) to 14:00
    EXPECT_EQ(flicker.rows[3][0], "2024/05/06 13:50:00.000");
    EXPECT_EQ(flicker.rows[3][2], "0");
    EXPECT_EQ(flicker.rows[2][2], "1");  // the minute the recording covers in part

    // At 3 s the rows hold no 10 minutes: the severities stay empty.
    ASSERT_EQ(cli({"pq", folder.file("REC.MEM").string(), "--aggregate", "3s"}).status, 0);
    const CsvFile threeSeconds(folder.file("06D13-49-50_PQ.csv"));
    ASSERT_GT(threeSeconds.lines.size(), 200u);
    for (std::size_t line = 2; line < threeSeconds.rows.size(); ++line)
        EXPECT_EQ(threeSeconds.rows[line][pst], "") << line;
}

TEST(PqCommand, AFivePercentRapidChangeIsAnRvcRowAmongTheEventsInTimeOrder) {
    TestFolder folder;
    gen::PqSupply supply;
    // Down by 5 % at 3 s, back at 6 s, then a dip to 50 % at 8 s for 100 ms.
    supply.changes = {{3, 3, {0.95, 0.95, 0.95}}, {8, 0.1, {0.5, 0.5, 0.5}}};
    folder.write("REC.MEM", supplyRecording(supply, 10));
    const CliRun run = cli({"pq", folder.file("REC.MEM").string(), "--nominal", "6600"});
    ASSERT_EQ(run.status, 0) << run.err;
    const CsvFile events(folder.file(kOutputs[2]));
    ASSERT_EQ(events.lines.size(), 2u + 3);
    const double seconds[] = {33, 36, 38};  // past 13:45
    const char* const types[] = {"rvc", "rvc", "dip"};
    for (int e = 0; e < 3; ++e) {
        const std::vector<std::string>& row = events.rows[2 + e];
        EXPECT_EQ(row[0], types[e]);
        ASSERT_TRUE(row[1].starts_with("2024/05/06 13:45:")) << row[1];
        EXPECT_NEAR(std::stod(row[1].substr(17)), seconds[e], 0.02) << row[1];  // within a cycle
        EXPECT_EQ(row[5], "U12 U23 U31");
    }
    for (int e = 0; e < 2; ++e) {
        // Delta Umax: the 5 % step, give or take the cycle across it in the steady second.
        EXPECT_NEAR(std::stod(events.rows[2 + e][3]), 330, 15);
        EXPECT_NEAR(std::stod(events.rows[2 + e][4]), 5, 0.25);
    }
}

TEST(PqCommand, AFolderRunNamesTheFailingFileAndMeasuresTheOthers) {
    TestFolder folder;
    gen::RecordingSpec a = supplyRecording({}, 1), b = a, c = a;
    a.startTime = "10:00:01";
    b.startTime = "10:00:02";
    c.startTime = "10:00:03";
    folder.write("A.MEM", a);
    gen::GeneratedRecording cut = gen::generateRecording(b);
    cut.bytes.resize(cut.bytes.size() / 2);
    folder.writeBytes("B.MEM", cut.bytes);
    folder.write("C.MEM", c);
    EXPECT_EQ(cli({"pq", folder.path().string()}).status, 3);  // the data kind is not chosen

    const CliRun run = cli({"pq", folder.path().string(), "--set", "Option1=1", "--jobs", "2"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("B.MEM"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(": 2 of 3 files converted, 0 skipped, 1 failed"), std::string::npos) << run.err;
    std::vector<std::string> expected{"A.MEM", "B.MEM", "C.MEM"};
    for (const char* stem : {"06D10-00-01", "06D10-00-03"})
        for (const char* kind : {"_PQ.csv", "_PQevents.csv", "_PQflicker.csv", "_PQharm.csv"})
            expected.push_back(std::string(stem) + kind);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(filesIn(folder), expected);
}

TEST(PqCommand, TheWindowsCommandNamesItsFilesByText5AndACancelLeavesNone) {
    TestFolder folder;
    folder.write("REC.MEM", supplyRecording({}, 3));
    StartedModel m(folder);
    m.click("REC.MEM");
    ASSERT_TRUE(m.form.PqCommand.enabled);
    setText(m.form.Text5, folder.file("SITE.csv").string());
    setListIndex(m.form.PqInterval, 1);  // 3s
    setText(m.form.PqVolts, "6600");
    m.form.progress.setObserver([&](const Progress& p) {
        if (p.fraction() > 0.3) m.form.progress.requestCancel();
    });
    click(m.form.PqCommand);
    ASSERT_EQ(m.host.errorKinds.size(), 1u);
    EXPECT_EQ(m.host.errorKinds[0], ErrorKind::Cancelled);
    EXPECT_EQ(filesIn(folder), std::vector<std::string>{"REC.MEM"});

    m.form.progress.setObserver(nullptr);
    click(m.form.PqCommand);
    ASSERT_EQ(m.host.errors.size(), 1u) << m.host.errors.back();
    const CsvFile summary(folder.file("SITE_PQ.csv"));
    EXPECT_TRUE(summary.lines[0].ends_with(",Udin(V),6600,declared,Aggregation,3s"));
    EXPECT_TRUE(fs::exists(folder.file("SITE_PQflicker.csv")));

    setText(m.form.PqVolts, "6.6kV");
    click(m.form.PqCommand);
    ASSERT_EQ(m.host.errors.size(), 2u);
    EXPECT_NE(m.host.errors[1].find("6.6kV"), std::string::npos);
}

struct Refusal {
    const char* name;
    gen::RecordingSpec spec;
    const char* problem;
};

TEST(PqCommand, RefusesWhatItCannotMeasureNamingTheFileAndLeavingNoFile) {
    gen::RecordingSpec shortOne = supplyRecording({}, 0.2);
    gen::RecordingSpec slow = supplyRecording({}, 2, 400);  // 250 ms/DIV: the 5th harmonic needs more
    slow.timePerDivision = "250ms";
    gen::RecordingSpec rms = supplyRecording({}, 2);
    rms.rms = true;
    gen::RecordingSpec oneChannel = supplyRecording({}, 2);
    oneChannel.channels.resize(1);
    const Refusal refusals[] = {
        {"short", shortOne, "too short for one basic interval"},
        {"slow", slow, "too slowly for the 5th harmonic"},
        {"rms", rms, "not a waveform recording"},
        {"one channel", oneChannel, "needs the two line voltages"},
    };
    for (const Refusal& r : refusals) {
        TestFolder folder;
        folder.write("REC.MEM", r.spec);
        const CliRun run = cli({"pq", folder.file("REC.MEM").string()});
        EXPECT_EQ(run.status, 3) << r.name << ": " << run.err;
        EXPECT_NE(run.err.find(folder.file("REC.MEM").string() + ": "), std::string::npos) << r.name << run.err;
        EXPECT_NE(run.err.find(r.problem), std::string::npos) << r.name << ": " << run.err;
        EXPECT_EQ(filesIn(folder), std::vector<std::string>{"REC.MEM"}) << r.name;
    }

    // 800 Hz on a 60 Hz supply serves the 5th harmonic but not the flickermeter: the rest is
    // written, flicker left empty with a warning naming the file.
    TestFolder folder;
    gen::PqSupply sixty;
    sixty.frequency = 60;
    gen::RecordingSpec spec = supplyRecording(sixty, 2);
    spec.samplesPerDivision = 80;
    spec.timePerDivision = "100ms";
    spec.sampleCount = 1600;
    folder.write("REC.MEM", spec);
    const CliRun run = cli({"pq", folder.file("REC.MEM").string(), "--set", "Option5=1"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("warning: " + folder.file("REC.MEM").string() + ": sampled at 800 Hz"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("960"), std::string::npos) << run.err;
    EXPECT_EQ(filesIn(folder).size(), 5u);
    EXPECT_EQ(cli({"pq", folder.file("REC.MEM").string(), "--aggregate", "1h"}).status, 2);
    EXPECT_EQ(cli({"pq", folder.file("REC.MEM").string(), "--nominal", "-5"}).status, 2);
}

}  // namespace
}  // namespace pqwave
