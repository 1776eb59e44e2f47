// The moving FFT from generated recordings: window count and times, bin and band rows with
// tones placed on known bins, the overload flag, file names, the summary files of the
// all-files run, and runs that must write nothing.
#include "spectrum/moving_fft.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/cli.h"
#include "batch/summaries.h"
#include "support/csv_file.h"
#include "support/recording_host.h"

namespace pqwave {
namespace {

using testing::CsvFile;
using testing::StartedModel;
using testing::TestFolder;

// 10 s at 1 kHz (100 ms/DIV, 100 samples per division): with the default 2^8-point window of
// 256 ms, bins lie 1/256 kHz apart. ch1 holds a tone of `volts` peak on bin 26 (101.5625 Hz),
// ch2 one of 20 V on bin 90 (351.5625 Hz).
gen::RecordingSpec toneRecording(double volts, const std::string& startTime = "13:45:30") {
    gen::RecordingSpec spec;
    spec.timePerDivision = "100ms";
    spec.sampleCount = 10000;
    spec.startTime = startTime;
    spec.channels.resize(2);
    spec.channels[0].wave = {volts, 1000.0 * 26 / 256, 0, 0, {}, 0};
    spec.channels[1].wave = {20, 1000.0 * 90 / 256, 0, 0, {}, 0};
    return spec;
}

struct MovingFftRun {
    TestFolder folder;
    StartedModel model{folder};
    Form1Model& form = model.form;

    explicit MovingFftRun(const gen::RecordingSpec& spec, const std::string& name = "REC.MEM") {
        folder.write(name, spec);
        open(name);
    }
    void open(const std::string& name) {
        model.click(name);
        select(form.Option2[3]);
        setValue(form.Check4, 1);
        setText(form.Text5, folder.file("ABC.csv").string());
    }
    void run() { click(form.Command1); }
    CsvFile window(int channel) const { return CsvFile(folder.file("ABCch" + std::to_string(channel) + ".csv")); }
};

TEST(MovingFft, WindowsOfA10SecondRecordingInBinRows) {
    MovingFftRun r(toneRecording(50));
    r.run();
    ASSERT_TRUE(r.model.host.errors.empty()) << r.model.host.errors[0];
    EXPECT_TRUE(r.model.host.warnings.empty());
    EXPECT_FALSE(std::filesystem::exists(r.folder.file("ABC.csv")));  // the run opens no file of its own
    EXPECT_FALSE(std::filesystem::exists(r.folder.file("ABCch3.csv")));
    EXPECT_FALSE(r.form.Label10.visible);

    CsvFile csv = r.window(1);
    EXPECT_TRUE(csv.crLfOnly);
    // Int((10 000 - 256) / 10) - 1 + 1 = 974 windows, starting every 10 ms.
    ASSERT_EQ(csv.lines.size(), 1u + 974u);
    EXPECT_EQ(csv.rows[1][0], "0");
    EXPECT_EQ(csv.rows[2][0], "10");
    EXPECT_EQ(csv.rows.back()[0], "9730");
    // Bins Int(0.05 x 256) + 1 = 13 to Int(0.5 x 256) - 1 = 127: 115 rows.
    ASSERT_EQ(csv.rows[0].size(), 2u + 115u);
    EXPECT_EQ(csv.rows[0][0], "ms");
    EXPECT_EQ(csv.rows[0][1], "オーバー");
    EXPECT_EQ(csv.rows[0][2], "0.05078125kHz");  // 13 / 256
    EXPECT_EQ(csv.rows[0][2 + 13], "0.1015625kHz");
    EXPECT_EQ(csv.rows[0].back(), "0.49609375kHz");  // 127 / 256
    for (std::size_t line : {1u, 500u, 974u}) {
        EXPECT_EQ(csv.rows[line][1], "0");
        EXPECT_NEAR(csv.number(line, 2 + 13), 50, 50 * 3e-3) << line;  // bin 26
        EXPECT_LT(csv.number(line, 2 + 12), 0.05) << line;
        EXPECT_LT(csv.number(line, 2 + 14), 0.05) << line;
    }
    CsvFile second = r.window(2);
    EXPECT_NEAR(second.number(10, 2 + 90 - 13), 20, 20 * 3e-3);
}

TEST(MovingFft, BandsSumTheirBinsAndBinsStopAtHalfTheWindow) {
    MovingFftRun r(toneRecording(50));
    setText(r.form.Text10[1], "10");
    r.run();
    // Bin mode beyond fs / 2: the rows stop at bin 128.
    CsvFile bins = r.window(1);
    ASSERT_EQ(bins.rows[0].size(), 2u + 116u);
    EXPECT_EQ(bins.rows[0].back(), "0.5kHz");

    setValue(r.form.Check14, 1);
    setText(r.form.Text10[2], "0.3");
    r.run();
    ASSERT_TRUE(r.model.host.errors.empty()) << r.model.host.errors[0];
    // (10 - 0.05) / 0.3 = 33.17: bands 0..33, headed 0.05, 0.35, 0.65 ... kHz; band j takes
    // the bins from fL + (j - 1/2) x 0.3 kHz up to below fL + (j + 1/2) x 0.3 kHz.
    CsvFile ch1 = r.window(1), ch2 = r.window(2);
    ASSERT_EQ(ch1.rows[0].size(), 2u + 34u);
    EXPECT_EQ(ch1.rows[0][2], "0.05kHz");
    EXPECT_EQ(ch1.rows[0][3], "0.35kHz");
    EXPECT_EQ(ch1.rows[0][4], "0.65kHz");
    EXPECT_EQ(ch1.rows[0].back(), "9.95kHz");
    EXPECT_EQ(ch1.lines.size(), 1u + 974u);
    // A band adds the quantisation noise of all its bins (52 here, 77 in band 1) to the tone.
    EXPECT_NEAR(ch1.number(100, 2), 50, 50 * 1e-2);  // 0.1016 kHz lies in band 0
    EXPECT_LT(ch1.number(100, 3), 0.5);
    EXPECT_LT(ch2.number(100, 2), 0.5);
    EXPECT_NEAR(ch2.number(100, 3), 20, 20 * 1e-2);  // 0.3516 kHz lies in band 1
    EXPECT_EQ(ch2.number(100, 10), 0);               // above fs / 2 nothing
}

TEST(MovingFft, AWindowReachingTheEndOfTheRangeIsFlagged) {
    gen::RecordingSpec spec = toneRecording(0);
    spec.channels[0].codes.assign(10000, 0);
    spec.channels[0].codes[500] = -2047;
    spec.channels[0].codes[1000] = 2046;
    MovingFftRun r(spec);
    r.run();
    CsvFile csv = r.window(1);
    // Window w covers samples 10 w .. 10 w + 255: sample 500 lies in windows 25..50.
    for (std::size_t w : {0u, 24u, 51u, 75u, 100u}) EXPECT_EQ(csv.rows[1 + w][1], "0") << w;
    for (std::size_t w : {25u, 40u, 50u}) EXPECT_EQ(csv.rows[1 + w][1], "1") << w;
}

TEST(MovingFft, WindowFilesAreNamedAfterTheOutputFileUpToItsFirstDot) {
    EXPECT_EQ(movingFftWindowFile("/d/ABC.csv", 0), std::filesystem::path("/d/ABCch1.csv"));
    EXPECT_EQ(movingFftWindowFile("/d/data.001.csv", 1), std::filesystem::path("/d/datach2.csv"));
    EXPECT_EQ(movingFftWindowFile("/d/OUT", 15), std::filesystem::path("/d/OUTch16.csv"));
    EXPECT_EQ(movingFftWindowFile("/d.x/y/out.csv", 2), std::filesystem::path("/d.x/y/outch3.csv"));
    EXPECT_EQ(movingFftSummaryFile("/d", 0), std::filesystem::path("/d/PQp-pDTch1.csv"));
}

TEST(MovingFft, TheAllFilesRunStartsItsSummaryFilesAndAveragesEachRecordingOverItsOwnWindows) {
    TestFolder folder;
    folder.write("A.MEM", toneRecording(50));
    folder.write("B.MEM", toneRecording(20, "14:00:00"));
    StartedModel m(folder);
    select(m.form.Option1[1]);
    m.click("A.MEM");  // its sampling sets the frequency rows
    select(m.form.Option2[3]);
    setValue(m.form.Check4, 1);
    setValue(m.form.Check10, 1);  // statistics only: no window files, the summaries still grow
    click(m.form.Command3);
    ASSERT_TRUE(m.host.errors.empty()) << m.host.errors[0];
    EXPECT_FALSE(std::filesystem::exists(folder.file("06D13-45-30ch1.csv")));

    CsvFile summary(folder.file("PQp-pDTch1.csv"));
    ASSERT_EQ(summary.lines.size(), 3u);
    ASSERT_EQ(summary.rows[0].size(), 2u + 2 * 115u);
    EXPECT_EQ(summary.rows[0][0], "ファイル名");
    EXPECT_EQ(summary.rows[0][1], "日時");
    EXPECT_EQ(summary.rows[0][2], "0.05078125kHz(Ave)");
    EXPECT_EQ(summary.rows[0][3], "0.05078125kHz(Max)");
    EXPECT_EQ(summary.rows[1][0], "06D13-45-30.csv");
    EXPECT_EQ(summary.rows[1][1], "2024/05/06 13:45:30");
    EXPECT_EQ(summary.rows[2][0], "06D14-00-00.csv");
    const std::size_t average = 2 + 2 * 13, maximum = average + 1;
    EXPECT_NEAR(summary.number(1, average), 50, 50 * 3e-3);
    EXPECT_NEAR(summary.number(1, maximum), 50, 50 * 3e-3);
    EXPECT_NEAR(summary.number(2, average), 20, 20 * 3e-3);  // not the mean of both recordings
    EXPECT_NEAR(summary.number(2, maximum), 20, 20 * 3e-3);
    EXPECT_LT(summary.number(2, average + 2), 0.05);
    EXPECT_NEAR(CsvFile(folder.file("PQp-pDTch2.csv")).number(2, 2 + 2 * (90 - 13)), 20, 20 * 3e-3);

    // The next all-files run heads the files afresh, and writes the window files too.
    setValue(m.form.Check10, 0);
    click(m.form.Command3);
    EXPECT_EQ(CsvFile(folder.file("PQp-pDTch1.csv")).lines.size(), 3u);
    EXPECT_EQ(CsvFile(folder.file("06D14-00-00ch2.csv")).lines.size(), 1u + 974u);
}

TEST(MovingFft, RunsThatCannotFinishWriteNothing) {
    MovingFftRun r(toneRecording(50));
    r.folder.writeBytes("ABCch1.csv", {std::byte{'o'}, std::byte{'l'}, std::byte{'d'}});

    setText(r.form.Text11, "14");  // 16 384 samples in a 10 000-sample recording
    r.run();
    ASSERT_EQ(r.model.host.errors.size(), 1u);
    EXPECT_EQ(r.model.host.errorKinds[0], ErrorKind::Arithmetic);
    EXPECT_NE(r.model.host.errors[0].find("REC.MEM"), std::string::npos);
    EXPECT_FALSE(r.form.Label10.visible);

    setText(r.form.Text11, "8");
    r.form.progress.requestCancel();
    r.run();
    ASSERT_EQ(r.model.host.errors.size(), 2u);
    EXPECT_EQ(r.model.host.errorKinds[1], ErrorKind::Cancelled);
    r.form.progress.clearCancel();

    EXPECT_EQ(r.folder.readText("ABCch1.csv"), "old");
    EXPECT_FALSE(std::filesystem::exists(r.folder.file("ABCch2.csv")));
    for (const auto& entry : std::filesystem::directory_iterator(r.folder.path()))
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
}

// Eight channels of one tone, transformed side by side on every core: the same bytes in every
// window file. A cancel part-way stops all of them and leaves the earlier files as they were.
TEST(MovingFft, ChannelsRunSideBySideAndStopTogether) {
    gen::RecordingSpec spec = toneRecording(50);
    spec.sampleCount = 100000;
    spec.channels.assign(8, spec.channels[0]);
    MovingFftRun r(spec);
    r.run();
    ASSERT_TRUE(r.model.host.errors.empty()) << r.model.host.errors[0];
    const std::string first = r.folder.readText("ABCch1.csv");
    EXPECT_EQ(CsvFile(r.folder.file("ABCch1.csv")).lines.size(), 1u + 9974u);
    for (int c = 2; c <= 8; ++c) EXPECT_EQ(r.folder.readText("ABCch" + std::to_string(c) + ".csv"), first) << c;

    r.folder.writeBytes("ABCch1.csv", {std::byte{'o'}, std::byte{'l'}, std::byte{'d'}});
    std::filesystem::remove(r.folder.file("ABCch2.csv"));
    double fractionAtCancel = 0;
    r.form.progress.setObserver([&](const Progress& p) {
        if (p.fraction() > 0.3 && fractionAtCancel == 0) {
            fractionAtCancel = p.fraction();
            r.form.progress.requestCancel();
        }
    });
    r.run();
    r.form.progress.clearCancel();
    ASSERT_EQ(r.model.host.errorKinds.size(), 1u);
    EXPECT_EQ(r.model.host.errorKinds[0], ErrorKind::Cancelled);
    EXPECT_LT(fractionAtCancel, 0.9);
    EXPECT_FALSE(r.form.progress.running());
    EXPECT_EQ(r.folder.readText("ABCch1.csv"), "old");
    EXPECT_FALSE(std::filesystem::exists(r.folder.file("ABCch2.csv")));
    for (const auto& entry : std::filesystem::directory_iterator(r.folder.path()))
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
}

TEST(MovingFft, WindowsThatWouldReadPastTheLoadedSamplesAreLeftOutWithAWarning) {
    gen::RecordingSpec spec = toneRecording(50);
    spec.recordLength = "200";  // divisions: the header promises twice the samples the file holds
    MovingFftRun r(spec);
    r.run();
    ASSERT_TRUE(r.model.host.errors.empty()) << r.model.host.errors[0];
    ASSERT_EQ(r.model.host.warnings.size(), 1u);
    EXPECT_NE(r.model.host.warnings[0].find("REC.MEM"), std::string::npos);
    // Window w starts at sample 10 w and needs 256: w = 0..974 fit, 1974 were promised.
    EXPECT_EQ(r.window(1).lines.size(), 1u + 975u);
    EXPECT_NE(r.model.host.warnings[0].find("999"), std::string::npos);
}

TEST(MovingFft, FromTheCommandLine) {
    TestFolder folder;
    folder.write("REC.MEM", toneRecording(50));
    const std::string file = folder.file("REC.MEM").string(), out = folder.file("M.csv").string();
    std::ostringstream out1, err1;
    EXPECT_EQ(
        runCli({"convert", file, "--set", "Option2=3", "--set", "Check4=1", "-o", out}, folder.path(), out1, err1), 0)
        << err1.str();
    EXPECT_TRUE(std::filesystem::exists(folder.file("Mch1.csv")));
    EXPECT_TRUE(std::filesystem::exists(folder.file("Mch2.csv")));

    std::ostringstream out2, err2;
    EXPECT_EQ(runCli({"convert", file, "--set", "Option2=3", "--set", "Check4=1", "--set", "Text11=20", "-o", out},
                     folder.path(), out2, err2),
              1);
    EXPECT_NE(err2.str().find("REC.MEM"), std::string::npos);
}

}  // namespace
}  // namespace pqwave
