// Where pqwave-cli writes and what it says about it: batch -o puts every output and summary in
// one folder and leaves the recordings' folder as it was; each file written is named unless
// -q; the run ends with one tally line; a year that holds no recording and a raw-data CSV too
// long for a spreadsheet are said.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include "app/cli.h"
#include "support/cli_run.h"
#include "support/csv_file.h"
#include "support/test_folder.h"

namespace pqwave {
namespace {

using testing::cli;
using testing::CliRun;

namespace fs = std::filesystem;
using testing::CsvFile;
using testing::TestFolder;

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

gen::RecordingSpec recordingAt(const std::string& date, const std::string& time) {
    gen::RecordingSpec spec;
    spec.startDate = date;
    spec.startTime = time;
    spec.channels.assign(2, gen::ChannelSpec{});
    return spec;
}

TEST(CliOutputs, BatchWritesEverythingIntoTheOutputFolderAndNamesEachFile) {
    TestFolder card, out;
    card.write("A.MEM", recordingAt("24-05-06", "10:00:01"));
    card.write("B.MEM", recordingAt("24-05-06", "10:00:02"));
    const std::set<std::string> onTheCard = namesIn(card.path());
    const fs::path outdir = out.file("converted");  // made by the run

    const CliRun run = cli({"batch", card.path().string(), "--kind", "waveform", "-o", outdir.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(namesIn(card.path()), onTheCard);
    const std::set<std::string> written{"06D10-00-01.csv", "06D10-00-02.csv", "PQp-pDT.csv"};
    EXPECT_EQ(namesIn(outdir), written);
    std::vector<std::string> expected;
    for (const char* name : {"06D10-00-01.csv", "06D10-00-02.csv", "PQp-pDT.csv"})
        expected.push_back("pqwave-cli: wrote " + (outdir / name).string());
    expected.push_back("pqwave-cli: 2 of 2 files converted, 0 skipped, 0 failed; the outputs are in " +
                       outdir.string());
    EXPECT_EQ(run.lines(), expected);
    CsvFile summary(outdir / "PQp-pDT.csv");
    ASSERT_EQ(summary.rows.size(), 3u);
    EXPECT_EQ(summary.rows[1][0], "06D10-00-01.csv");

    const CliRun quiet = cli({"batch", card.path().string(), "-q", "--kind", "waveform", "-o", outdir.string()});
    EXPECT_EQ(quiet.lines(), std::vector<std::string>{expected.back()});

    // A kind that lists nothing here says so, and that is no failure.
    const CliRun none = cli({"batch", card.path().string(), "--kind", "8840", "-o", outdir.string()});
    EXPECT_EQ(none.status, 0);
    ASSERT_EQ(none.lines().size(), 1u) << none.err;
    EXPECT_TRUE(none.says("no file here matches *.wav")) << none.err;

    std::ofstream(out.file("plain")) << "a file";
    const CliRun notAFolder =
        cli({"batch", card.path().string(), "--kind", "waveform", "-o", out.file("plain").string()});
    EXPECT_EQ(notAFolder.status, 1);
    EXPECT_TRUE(notAFolder.says(out.file("plain").string() + ": not a folder")) << notAFolder.err;
}

TEST(CliOutputs, TheMovingFftNamesEveryWindowFileItWrote) {
    TestFolder folder;
    folder.write("A.MEM", recordingAt("24-05-06", "10:00:01"));
    const CliRun run =
        cli({"convert", folder.file("A.MEM").string(), "--moving-fft", "-o", folder.file("mv.csv").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.lines(), (std::vector<std::string>{"pqwave-cli: wrote " + folder.file("mvch1.csv").string(),
                                                     "pqwave-cli: wrote " + folder.file("mvch2.csv").string()}));
    EXPECT_TRUE(fs::exists(folder.file("mvch2.csv")));
}

// The year box starts at this year; recordings of 2006 fall outside it and are said to.
TEST(CliOutputs, TimeOfDayStatisticsSayWhenNoRecordingFallsInTheChosenYear) {
    TestFolder folder;
    gen::RecordingSpec spec = recordingAt("06-05-06", "10:00:01");
    spec.rms = true;
    folder.write("A.RMS", spec);
    const std::vector<std::string> line = {"batch", folder.path().string(), "--kind", "rms", "--time-of-day"};
    const CliRun thisYear = cli(line);
    EXPECT_EQ(thisYear.status, 0) << thisYear.err;
    EXPECT_TRUE(
        thisYear.says("warning: " + folder.file("Rms時刻統計DT.csv").string() + ": no recording falls in the year"))
        << thisYear.err;
    EXPECT_TRUE(thisYear.says("the recordings are of 2006")) << thisYear.err;
    EXPECT_EQ(CsvFile(folder.file("Rms時刻統計DT.csv")).lines.size(), 1u);  // the header alone

    std::vector<std::string> of2006 = line;
    of2006.insert(of2006.end(), {"--year", "2006"});
    const CliRun chosen = cli(of2006);
    EXPECT_EQ(chosen.status, 0) << chosen.err;
    EXPECT_FALSE(chosen.says("warning")) << chosen.err;
    EXPECT_GT(CsvFile(folder.file("Rms時刻統計DT.csv")).lines.size(), 1u);
}

// A spreadsheet opens 1,048,576 lines: the start line, the column names and 1,048,574 samples.
TEST(CliOutputs, ARawDataCsvLongerThanASpreadsheetIsSaidBeforeItIsWritten) {
    TestFolder folder;
    gen::RecordingSpec spec = recordingAt("24-05-06", "10:00:01");
    spec.channels.resize(1);
    spec.sampleCount = 1048575;
    folder.write("LONG.MEM", spec);
    const std::string file = folder.file("LONG.MEM").string(), csv = folder.file("raw.csv").string();

    const CliRun tooLong = cli({"convert", file, "--processing", "raw", "-o", csv});
    ASSERT_EQ(tooLong.status, 0) << tooLong.err;
    const std::vector<std::string> lines = tooLong.lines();
    ASSERT_EQ(lines.size(), 2u) << tooLong.err;
    EXPECT_EQ(lines[0], "pqwave-cli: warning: " + file +
                            ": the raw-data CSV will have 1048577 lines, more than the 1048576 a spreadsheet opens; it "
                            "is written all the same, and a Step (Text4, --step) of 2 would fit it");
    EXPECT_EQ(lines[1], "pqwave-cli: wrote " + csv);
    const std::string written = folder.readText("raw.csv");
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 1048577);

    const CliRun fits = cli({"convert", file, "--processing", "raw", "--range", "0:1048573", "-o", csv});
    EXPECT_EQ(fits.lines(), std::vector<std::string>{"pqwave-cli: wrote " + csv});
    const CliRun stepped = cli({"convert", file, "--processing", "raw", "--step", "2", "-q", "-o", csv});
    EXPECT_EQ(stepped.err, "");
}

}  // namespace
}  // namespace pqwave
