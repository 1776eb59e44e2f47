// Recordings and settings that once crashed the program, ran without end or wrote nonsense with
// exit 0, each rebuilt from a generated recording: every one now converts or is refused with a
// message naming the file and the numbers, and nothing is left behind.
#include <gtest/gtest.h>

#include <sstream>

#include "app/cli.h"
#include "common/free_space.h"
#include "display/vector_model.h"
#include "display/waveform_model.h"
#include "support/analysis_run.h"
#include "support/cli_run.h"

namespace pqwave {
namespace {

using testing::cli;
using testing::CliRun;

using testing::CsvFile;
using testing::StartedModel;
using testing::TestFolder;

namespace fs = std::filesystem;

// Anything beside the recordings a test wrote: outputs, and part files that must never stay.
std::vector<std::string> filesBesides(const TestFolder& folder, const std::vector<std::string>& recordings) {
    std::vector<std::string> others;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        const std::string name = entry.path().filename().string();
        if (std::find(recordings.begin(), recordings.end(), name) == recordings.end()) others.push_back(name);
    }
    return others;
}

gen::RecordingSpec supply(const std::string& timePerDivision, int samples = 400) {
    gen::RecordingSpec spec = testing::supplyRecording(testing::supplyWith({{100, 20, 200, {}}}), samples);
    spec.timePerDivision = timePerDivision;
    return spec;
}

TEST(HostileRecordings, SlowTimeBasesAreRefusedWithTheOutputIntervalThatWorks) {
    // 100 samples a division: at 5 s/DIV a sample every 50 ms, so the default 20 ms interval
    // holds 0.4 of one.
    const std::vector<std::pair<std::string, std::string>> axes = {
        {"5s", "50"}, {"10s", "100"}, {"30s", "300"}, {"1min", "600"}, {"60min", "36000"}};
    for (const auto& [axis, samplePeriodMs] : axes) {
        TestFolder folder;
        folder.write("SLOW.MEM", supply(axis));
        CliRun run = cli({"convert", folder.file("SLOW.MEM").string(), "-o", folder.file("out.csv").string()});
        EXPECT_EQ(run.status, 1) << axis;
        EXPECT_NE(run.err.find("SLOW.MEM: an output interval of 20 ms holds"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("less than one; 出力間隔 of " + samplePeriodMs + " ms or more would work"),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(filesBesides(folder, {"SLOW.MEM"}), std::vector<std::string>{}) << axis;
        // With the interval it names, the recording converts.
        EXPECT_EQ(cli({"convert", folder.file("SLOW.MEM").string(), "--set", "Text1=" + samplePeriodMs, "-o",
                       folder.file("out.csv").string()})
                      .status,
                  0)
            << axis;
    }
    // The same in the window, and an interval of 0.01 ms on an ordinary time base.
    TestFolder folder;
    folder.write("REC.MEM", supply("50ms"));
    StartedModel m(folder);
    m.click("REC.MEM");
    setText(m.form.Text1, "0.01");
    setText(m.form.Text5, folder.file("out.csv").string());
    click(m.form.Command1);
    ASSERT_EQ(m.host.errors.size(), 1u);
    EXPECT_NE(m.host.errors[0].find("0.01 ms holds 0.02 samples, less than one"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder.file("out.csv")));
}

TEST(HostileRecordings, AFailingFileIsThatFilesFailureInAnAllFilesRun) {
    TestFolder folder;
    folder.write("A_SLOW.MEM", supply("5s"));  // first by name, refused
    gen::RecordingSpec b = supply("50ms"), c = supply("50ms");
    b.startTime = "10:00:01";
    c.startTime = "10:00:02";
    folder.write("B.MEM", b);
    folder.write("C.MEM", c);
    StartedModel m(folder);
    select(m.form.Option1[1]);
    click(m.form.Command3);
    ASSERT_EQ(m.host.errors.size(), 1u);
    EXPECT_NE(m.host.errors[0].find("A_SLOW.MEM"), std::string::npos);
    EXPECT_EQ(CsvFile(folder.file("PQp-pDT.csv")).lines.size(), 3u);  // header and the two good files
    EXPECT_TRUE(fs::exists(folder.file("06D10-00-01.csv")));
    EXPECT_TRUE(fs::exists(folder.file("06D10-00-02.csv")));
    EXPECT_EQ(filesBesides(folder, {"A_SLOW.MEM", "B.MEM", "C.MEM"}).size(), 3u);  // no part file
}

TEST(HostileRecordings, RecordingsStartedAtTheSameTimeOfDayKeepTheirOwnOutputs) {
    TestFolder folder;
    gen::RecordingSpec may = supply("50ms"), june = supply("50ms");
    may.startDate = "24-05-06";
    june.startDate = "24-06-06";  // the same day of month: both propose 06D13-45-30.csv
    june.sampleCount = 800;
    folder.write("A.MEM", may);
    folder.write("B.MEM", june);
    CliRun run = cli({"batch", folder.path().string(), "--set", "Option1=1", "--jobs", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("B.MEM: its output name 06D13-45-30.csv is taken by an earlier recording of this run; "
                           "written as 06D13-45-30_2.csv"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(CsvFile(folder.file("06D13-45-30.csv")).lines.size(), 2u + 400 / 40);
    EXPECT_EQ(CsvFile(folder.file("06D13-45-30_2.csv")).lines.size(), 2u + 800 / 40);
    CsvFile summary(folder.file("PQp-pDT.csv"));
    ASSERT_EQ(summary.rows.size(), 3u);
    EXPECT_EQ(summary.rows[1][0], "06D13-45-30.csv");
    EXPECT_EQ(summary.rows[2][0], "06D13-45-30_2.csv");
}

TEST(HostileRecordings, AMovingFftThatRepeatsRowsOrCannotFitIsRefusedBeforeWriting) {
    TestFolder folder;
    folder.write("REC.MEM", supply("50ms", 2000));  // 2 kHz: a sample every 0.5 ms
    for (const char* step : {"0.001", "0.00001", "0.4"}) {
        CliRun run = cli({"convert", folder.file("REC.MEM").string(), "--set", "Option2=3", "--set", "Check4=1",
                          "--set", std::string("Text12=") + step, "-o", folder.file("out.csv").string()});
        EXPECT_EQ(run.status, 1) << step;
        EXPECT_NE(run.err.find("is shorter than the sample period of 0.5 ms"), std::string::npos) << run.err;
    }
    EXPECT_EQ(filesBesides(folder, {"REC.MEM"}), std::vector<std::string>{});

    EXPECT_EQ(byteSizeText(999), "999 bytes");
    EXPECT_EQ(byteSizeText(1'600'000'000), "1.6 GB");
    EXPECT_EQ(byteSizeText(21'000'000), "21 MB");
    try {
        requireFreeSpace(folder.path(), UINTMAX_MAX / 2, "REC.MEM: the moving FFT");
        ADD_FAILURE() << "an output larger than any disk was not refused";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("REC.MEM: the moving FFT would write up to"), std::string::npos);
        EXPECT_NE(std::string(error.what()).find(" are free in " + folder.path().string()), std::string::npos);
    }
    EXPECT_NO_THROW(requireFreeSpace(folder.path(), 1000, "REC.MEM: the moving FFT"));
}

TEST(HostileRecordings, DisplayMemoryAndWorkFollowTheRecordingAndThePicture) {
    // The header claims 30,000,000 samples a division for a 400-sample file: a "cycle" of
    // 600,000 samples at 50 Hz, of which the recording holds 400.
    TestFolder folder;
    gen::RecordingSpec spec = supply("50ms");
    spec.fieldOverrides[10] = "30000000";
    folder.write("CLAIM.MEM", spec);
    StartedModel m(folder);
    m.click("CLAIM.MEM");
    m.form.DTLood();
    Form02Model vector(m.form);
    vector.Form_Activate();
    EXPECT_LE(vector.SineTable.size(), m.form.SampleTable().rows() + 1);

    // A billion intervals across the waveform window: at most one grid line per pixel column.
    Form2Model wave(m.form);
    wave.openFromMainWindow();
    wave.Form_Resize(800 * 15.0 + 1535, 400 * 15.0 + 600);
    for (const char* intervals : {"1e9", "1e30", "1e300"}) {
        setText(wave.Text2, intervals);
        click(wave.Command3);
        std::size_t verticals = 0;
        for (const PictureLine* line : wave.picture().all<PictureLine>()) verticals += line->from.x == line->to.x;
        EXPECT_GT(verticals, 0u) << intervals;
        EXPECT_LE(verticals, static_cast<std::size_t>(wave.picturePixelWidth()) + 1) << intervals;
    }
}

TEST(HostileRecordings, RecordingsNoConversionCanScaleAreRefusedByEveryProcessing) {
    TestFolder folder;
    gen::RecordingSpec off = supply("50ms");
    for (auto& channel : off.channels) channel.recorded = false;
    folder.write("OFF.MEM", off);
    gen::RecordingSpec noScale = supply("50ms");
    noScale.fieldOverrides[14] = "0";
    folder.write("VDIV0.MEM", noScale);
    noScale.fieldOverrides[14] = "nan";
    folder.write("VDIVNAN.MEM", noScale);
    const std::vector<std::pair<std::string, std::string>> cases = {{"OFF.MEM", "OFF.MEM: no analog channel recorded"},
                                                                    {"VDIV0.MEM", "count per division (V_Div) is"},
                                                                    {"VDIVNAN.MEM", "count per division (V_Div) is"}};
    for (const auto& [name, message] : cases)
        for (const char* processing : {"Option2=0", "Option2=1", "Option2=3"}) {
            CliRun run = cli(
                {"convert", folder.file(name).string(), "--set", processing, "-o", folder.file("out.csv").string()});
            EXPECT_NE(run.status, 0) << name << " " << processing;
            EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        }
    EXPECT_EQ(filesBesides(folder, {"OFF.MEM", "VDIV0.MEM", "VDIVNAN.MEM"}), std::vector<std::string>{});
}

TEST(HostileRecordings, ClockTimesOutsideAnyCalendarAreRefused) {
    TestFolder folder;
    gen::RecordingSpec spec = supply("50ms");
    spec.preTrigger = "1e300";
    folder.write("PRE.MEM", spec);
    CliRun run = cli({"convert", folder.file("PRE.MEM").string(), "--set", "Option2=1", "--set", "Check15=1", "-o",
                      folder.file("out.csv").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("PRE.MEM: the pre-trigger of 1E+300"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("out of any calendar"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(folder.file("out.csv")));
}

}  // namespace
}  // namespace pqwave
