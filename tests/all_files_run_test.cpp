// "全ﾌｧｲﾙ処理" over folders of generated recordings: which files take part, the summary files'
// headers and rows worked out here from the recordings, files that fail among good ones, and
// side-by-side conversion giving the same bytes as one file at a time.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "app/cli.h"
#include "batch/summary_files.h"
#include "support/analysis_run.h"
#include "support/cli_run.h"

namespace pqwave {
namespace {

using testing::cli;
using testing::CliRun;

using testing::CsvFile;
using testing::StartedModel;
using testing::supplyRecording;
using testing::supplyWith;
using testing::TestFolder;

namespace fs = std::filesystem;

// A 2 kHz three-phase recording of `circuits` circuits that starts at `startTime`, so that each
// file of a folder gets its own output name.
gen::RecordingSpec powerRecording(const std::string& startTime, int circuits = 1, int samples = 400) {
    std::vector<gen::Circuit> list;
    for (int c = 0; c < circuits; ++c) list.push_back({100.0 - 10 * c, 10.0 * c, 200, {}});
    gen::RecordingSpec spec = supplyRecording(supplyWith(list), samples);
    spec.startTime = startTime;
    return spec;
}

// The window's gesture: choose the data kind and the processing, press "全ﾌｧｲﾙ処理".
void runAllFiles(StartedModel& m, int dataKind = 1) {
    select(m.form.Option1[dataKind]);
    ASSERT_TRUE(m.form.Command3.enabled);
    click(m.form.Command3);
}

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::size_t filesIn(const TestFolder& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder.path()), {}));
}

TEST(AllFilesRun, TwoRecordingsGiveAHeaderAndTwoRowsInListOrder) {
    TestFolder folder;
    folder.write("B.MEM", powerRecording("10:00:02"));
    folder.write("A.MEM", powerRecording("10:00:01", 1, 800));
    StartedModel m(folder);
    runAllFiles(m);
    ASSERT_TRUE(m.host.errors.empty()) << m.host.errors[0];
    CsvFile summary(folder.file("PQp-pDT.csv"));
    EXPECT_TRUE(summary.crLfOnly);
    ASSERT_EQ(summary.lines.size(), 3u);
    EXPECT_EQ(summary.lines[0],
              "ファイル名,測定日時, V(Ave),V(Max),V(min),I1(Ave),I1(Max),I1(min),P1(Ave),P1(Max),P1(min),Q1(Ave),"
              "Q1(Max),Q1(min)");
    EXPECT_EQ(summary.rows[1][0], "06D10-00-01.csv");  // A.MEM first, as the list shows it
    EXPECT_EQ(summary.rows[1][1], "2024/05/06 10:00:01");
    EXPECT_EQ(summary.rows[2][0], "06D10-00-02.csv");
    // Each file's rows and its own CSV, compared: the average over the file's intervals.
    for (std::size_t line = 1; line <= 2; ++line) {
        CsvFile own(folder.file(summary.rows[line][0]));
        double sum = 0, max = -1e30, min = 1e30;
        for (std::size_t l = 2; l < own.lines.size(); ++l) {
            double v = own.number(l, 1);
            sum += v, max = std::max(max, v), min = std::min(min, v);
        }
        const std::size_t intervals = own.lines.size() - 2;
        EXPECT_EQ(intervals, line == 1 ? 20u : 10u);
        EXPECT_NEAR(summary.number(line, 2), sum / intervals, 6600 * 1e-6);  // a single-precision sum
        EXPECT_FLOAT_EQ(static_cast<float>(summary.number(line, 3)), static_cast<float>(max));
        EXPECT_FLOAT_EQ(static_cast<float>(summary.number(line, 4)), static_cast<float>(min));
        EXPECT_NEAR(summary.number(line, 5), 100, 0.2);  // I1(Ave)
    }
    EXPECT_FALSE(m.form.Label10.visible);
    EXPECT_FALSE(m.form.progress.running());
}

TEST(AllFilesRun, AnEmptyFolderOrAnEmptyFileLeavesNoSummary) {
    TestFolder folder;
    StartedModel m(folder);
    runAllFiles(m);
    EXPECT_EQ(filesIn(folder), 0u);

    folder.writeBytes("EMPTY.MEM", {});
    m.form.refreshFileList();
    runAllFiles(m);
    EXPECT_TRUE(m.host.errors.empty());
    EXPECT_EQ(filesIn(folder), 1u);
}

TEST(AllFilesRun, AFileThatIsNoRecordingIsSkippedAndNamed) {
    TestFolder folder;
    folder.writeBytes("NOTES.MEM", std::vector<std::byte>(600, std::byte{'n'}));
    folder.write("REC.MEM", powerRecording("10:00:01"));
    StartedModel m(folder);
    runAllFiles(m);
    EXPECT_TRUE(m.host.errors.empty());
    EXPECT_EQ(CsvFile(folder.file("PQp-pDT.csv")).lines.size(), 2u);

    setValue(m.form.Check10, 1);  // statistics only, the same
    runAllFiles(m);
    EXPECT_TRUE(m.host.errors.empty());
    ASSERT_EQ(m.host.warnings.size(), 2u);
    EXPECT_NE(m.host.warnings[1].find("NOTES.MEM: not a recording this program knows; skipped"), std::string::npos);
    CsvFile summary(folder.file("PQp-pDT.csv"));
    ASSERT_EQ(summary.lines.size(), 2u);
    EXPECT_EQ(summary.rows[1][0], "06D10-00-01.csv");
}

TEST(AllFilesRun, SixteenChannelsGiveSixtyThreeCurrentAndPowerColumns) {
    TestFolder folder;
    folder.write("REC.MEM", powerRecording("10:00:01", 7));
    StartedModel m(folder);
    setValue(m.form.Check6, 1);
    runAllFiles(m);
    CsvFile summary(folder.file("PQp-pDT.csv"));
    const std::vector<std::string>& header = summary.rows[0];
    ASSERT_EQ(header.size(), 2 + 3 + 63 + 3 * (3 + 7 * 9));
    EXPECT_EQ(header[5], "I1(Ave)");
    EXPECT_EQ(header[4 + 63], "Q7(min)");
    EXPECT_EQ(header[5 + 63], "Vuv(Ave)");
    EXPECT_EQ(header[5 + 63 + 3], "Iu1(Ave)");
    EXPECT_EQ(header.back(), "Qw7(min)");
    EXPECT_EQ(summary.rows[1].size(), header.size());
    EXPECT_NEAR(summary.number(1, 5 + 63), 6600, 7);  // Vuv(Ave)
}

TEST(AllFilesRun, TheMovingAverageSummarisesItsRowsFromTheFirstWholeInterval) {
    TestFolder folder;
    folder.write("REC.MEM", powerRecording("10:00:01", 1, 2000));
    StartedModel m(folder);
    setValue(m.form.Check13, 1);  // enabled by the 2 kHz of the recording in the list
    select(m.form.Option1[1]);
    m.form.File1_Click("REC.MEM");
    ASSERT_TRUE(m.form.Check13.enabled);
    setText(m.form.Text1, "10");  // rows with J = -1 and 0, ...
    click(m.form.Command3);
    ASSERT_TRUE(m.host.errors.empty()) << m.host.errors[0];
    CsvFile own(folder.file("06D10-00-01.csv"));
    CsvFile summary(folder.file("PQp-pDT.csv"));
    double sum = 0;
    for (std::size_t l = 3; l < own.lines.size(); ++l) sum += own.number(l, 1);  // from row 0 on
    EXPECT_EQ(own.rows[2][0], "-0.01");
    EXPECT_NEAR(summary.number(1, 2), sum / static_cast<double>(own.lines.size() - 3), 6600 * 1e-6);
}

TEST(AllFilesRun, FrequencyStatisticsAndTheirHistogram) {
    IntervalSummaryInput in;
    in.start = {"2024/05/06", "13:45:30"};
    in.layout.frequency = true;
    in.intervalCount = 5;
    // Interval 0 is not looked at; 0 means no frequency was found.
    in.intervalFrequency = {47.0f, 50.0f, 49.995f, 48.5f, 51.7f, 0.0f};
    in.statistics.VStat = {30, 7, 5};
    const std::string header = intervalSummaryHeader(in.layout);
    EXPECT_NE(header.find(",f平均,f最大,f最小,f標準偏差,49,49.01,"), std::string::npos);
    EXPECT_NE(header.find(",49.99,50,50.01,"), std::string::npos);
    EXPECT_TRUE(header.ends_with(",50.99,51"));

    std::vector<std::string> f;
    std::stringstream row(intervalSummaryRow(in));
    for (std::string field; std::getline(row, field, ',');) f.push_back(field);
    ASSERT_EQ(f.size(), 2 + 3 + 4 + 201u);
    EXPECT_EQ(f[2], "6");  // V(Ave): 30 / 5
    const float mean = (50.0f + 49.995f + 48.5f + 51.7f) / 4;
    EXPECT_FLOAT_EQ(std::stof(f[5]), mean);
    EXPECT_EQ(f[6], "51.7");
    EXPECT_EQ(f[7], "48.5");
    double squares = 0;
    for (double x : {50.0f, 49.995f, 48.5f, 51.7f}) squares += (x - mean) * (x - mean);
    EXPECT_NEAR(std::stod(f[8]), std::sqrt(squares / 4), 1e-5);  // the population deviation
    auto bin = [&](int b) { return f[9 + 100 + b]; };
    EXPECT_EQ(bin(0), "2");  // 50 and 49.995
    EXPECT_EQ(bin(-100), "1");
    EXPECT_EQ(bin(100), "1");
    EXPECT_EQ(bin(-1), "0");

    // One interval: its average, maximum and minimum are all the same value.
    in.intervalCount = 1;
    in.intervalFrequency = {50.0f, 0.0f};
    in.statistics.VStat = {6600.5f, 6600.5f, 6600.5f};
    row = std::stringstream(intervalSummaryRow(in));
    f.clear();
    for (std::string field; std::getline(row, field, ',');) f.push_back(field);
    EXPECT_EQ(f[2], "6600.5");
    EXPECT_EQ(f[3], "6600.5");
    EXPECT_EQ(f[4], "6600.5");
    EXPECT_EQ(f[5], "");  // no valid frequency after interval 0
}

// An RMS recording of two channels over one hour, one value a second.
gen::RecordingSpec rmsRecording(const std::string& startTime) {
    gen::RecordingSpec spec;
    spec.sampleCount = 3600;
    spec.rms = true;
    spec.channels.resize(2);
    spec.timePerDivision = "1min";
    spec.samplesPerDivision = 60;
    spec.startTime = startTime;
    for (auto& c : spec.channels) c.wave = {10, 1.0 / 600, 0, 100, {}, 1};
    return spec;
}

TEST(AllFilesRun, RmsRecordingsGiveOneStatisticsRowEach) {
    TestFolder folder;
    gen::GeneratedRecording written = folder.write("A.RMS", rmsRecording("10:00:00"));
    folder.write("B.RMS", rmsRecording("12:00:00"));
    StartedModel m(folder);
    select(m.form.Option2[1]);
    runAllFiles(m, 3);
    ASSERT_TRUE(m.host.errors.empty()) << m.host.errors[0];
    CsvFile summary(folder.file("Rms統計DT.csv"));
    ASSERT_EQ(summary.lines.size(), 3u);
    EXPECT_EQ(summary.lines[0],
              "ファイル名,測定日時,ch1Max(Ave),ch1min(Ave),ch1Max(Max),ch1min(Max),ch1Max(min),ch1min(min),"
              "ch2Max(Ave),ch2min(Ave),ch2Max(Max),ch2min(Max),ch2Max(min),ch2min(min)");
    const double factor = 100.0 / 1600;  // 100V range per 1600 counts
    double sum = 0, max = -1e9, min = 1e9;
    for (int j = 0; j < 3600; ++j) {
        double x = written.expected(j, 0);
        sum += x, max = std::max(max, x), min = std::min(min, x);
    }
    EXPECT_NEAR(summary.number(1, 2), sum / 3600 * factor, 1e-3);
    EXPECT_FLOAT_EQ(static_cast<float>(summary.number(1, 4)), static_cast<float>(max * factor));
    EXPECT_FLOAT_EQ(static_cast<float>(summary.number(1, 6)), static_cast<float>(min * factor));
    EXPECT_EQ(summary.rows[2][1], "2024/05/06 12:00:00");
}

TEST(AllFilesRun, TimeOfDayStatisticsPoolTheRecordingsHourByHour) {
    TestFolder folder;
    folder.write("A.RMS", rmsRecording("10:00:00"));
    folder.write("B.RMS", rmsRecording("10:30:00"));  // overlaps A's hour 10 and goes on into 11
    StartedModel m(folder);
    select(m.form.Option2[1]);
    select(m.form.Option1[3]);
    setValue(m.form.Check11, 1);
    setText(m.form.Text6, "2024");
    click(m.form.Command3);
    ASSERT_TRUE(m.host.errors.empty()) << m.host.errors[0];
    CsvFile hours(folder.file("Rms時刻統計DT.csv"));
    EXPECT_TRUE(hours.lines[0].starts_with("測定日時,ch1Max(Ave),ch1min(Ave),"));
    EXPECT_TRUE(hours.lines[0].ends_with(",ch2Max(min),ch2min(min),n"));
    // Hours 10 and 11 only: every other hour of the year had no sample and has no row.
    ASSERT_EQ(hours.lines.size(), 3u);
    EXPECT_EQ(hours.rows[1][0], "2024/05/06 10:00:00");
    EXPECT_EQ(hours.rows[2][0], "2024/05/06 11:00:00");
    EXPECT_EQ(std::stoi(hours.rows[1].back()) + std::stoi(hours.rows[2].back()), 7200);
    EXPECT_NEAR(std::stoi(hours.rows[1].back()), 3600 + 1800, 1);
}

TEST(AllFilesRun, AFileThatFailsIsNamedAndTheOthersAreComplete) {
    TestFolder folder;
    folder.write("A.MEM", powerRecording("10:00:01"));
    gen::GeneratedRecording cut = gen::generateRecording(powerRecording("10:00:02"));
    cut.bytes.resize(cut.bytes.size() - 100);
    folder.writeBytes("B.MEM", cut.bytes);
    folder.write("C.MEM", powerRecording("10:00:03"));
    CliRun run = cli({"batch", folder.path().string(), "-q", "--set", "Option1=1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("B.MEM"), std::string::npos) << run.err;
    // The failure, and the run's closing tally: quiet names no file written.
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2);
    EXPECT_NE(run.err.find(": 2 of 3 files converted, 0 skipped, 1 failed"), std::string::npos) << run.err;
    CsvFile summary(folder.file("PQp-pDT.csv"));
    ASSERT_EQ(summary.lines.size(), 3u);
    EXPECT_EQ(summary.rows[1][0], "06D10-00-01.csv");
    EXPECT_EQ(summary.rows[2][0], "06D10-00-03.csv");
    EXPECT_TRUE(fs::exists(folder.file("06D10-00-03.csv")));
}

TEST(AllFilesRun, AShortFileDoesNotShortenTheRangeOfTheFilesAfterIt) {
    TestFolder folder;
    gen::RecordingSpec shortOne = powerRecording("10:00:01", 1, 50);
    folder.write("A.MEM", shortOne);
    folder.write("B.MEM", powerRecording("10:00:02", 1, 400));
    StartedModel m(folder);
    select(m.form.Option2[1]);
    setText(m.form.Text2[1], "299");
    runAllFiles(m);
    ASSERT_TRUE(m.host.errors.empty()) << m.host.errors[0];
    EXPECT_EQ(CsvFile(folder.file("06D10-00-01.csv")).lines.size(), 2u + 50);
    EXPECT_EQ(CsvFile(folder.file("06D10-00-02.csv")).lines.size(), 2u + 300);
    EXPECT_EQ(m.form.Text2[1].text, "299");
}

TEST(AllFilesRun, SideBySideConversionGivesTheSameBytes) {
    TestFolder one, two;
    for (const TestFolder* folder : {&one, &two})
        for (int f = 0; f < 5; ++f) {
            gen::RecordingSpec spec = powerRecording("10:00:0" + std::to_string(f), 2, 2000);
            spec.seed = static_cast<std::uint32_t>(f + 1);
            spec.channels[0].wave.noise = 2;
            folder->write("R" + std::to_string(f) + ".MEM", spec);
        }
    const std::vector<std::string> settings = {"--set", "Option1=1", "--set", "Check6=1", "--set", "Check5=1"};
    auto args = [&](const TestFolder& folder, const char* jobs) {
        std::vector<std::string> a = {"batch", folder.path().string(), "--jobs", jobs};
        a.insert(a.end(), settings.begin(), settings.end());
        return a;
    };
    ASSERT_EQ(cli(args(one, "1")).status, 0);
    ASSERT_EQ(cli(args(two, "2")).status, 0);
    std::size_t compared = 0;
    for (const auto& entry : fs::directory_iterator(one.path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(fileText(entry.path()), fileText(two.file(name))) << name;
        ++compared;
    }
    EXPECT_EQ(compared, 5u + 5u + 1u);  // the recordings, their CSVs and the summary
    EXPECT_EQ(filesIn(two), compared);
}

TEST(AllFilesRun, TheMovingFftSummariesHoldARowPerRecordingInListOrderWhateverTheJobs) {
    TestFolder one, two;
    for (const TestFolder* folder : {&one, &two}) {
        folder->write("B.MEM", powerRecording("10:00:02", 1, 1000));
        folder->write("A.MEM", powerRecording("10:00:01", 1, 1000));
    }
    auto args = [](const TestFolder& folder, const char* jobs) {
        return std::vector<std::string>{
            "batch",   folder.path().string(), "--jobs", jobs, "--set", "Option1=1", "--set", "Option2=3", "--set",
            "Check4=1"};
    };
    ASSERT_EQ(cli(args(one, "1")).status, 0);
    ASSERT_EQ(cli(args(two, "2")).status, 0);
    CsvFile summary(one.file("PQp-pDTch1.csv"));
    ASSERT_EQ(summary.lines.size(), 3u);
    EXPECT_EQ(summary.rows[1][0], "06D10-00-01.csv");
    EXPECT_EQ(summary.rows[2][0], "06D10-00-02.csv");
    for (const auto& entry : fs::directory_iterator(one.path()))
        EXPECT_EQ(fileText(entry.path()), fileText(two.file(entry.path().filename().string())))
            << entry.path().filename();
    EXPECT_EQ(filesIn(one), filesIn(two));
}

TEST(AllFilesRun, ACancelledRunKeepsTheFilesConvertedSoFar) {
    TestFolder folder;
    for (int f = 0; f < 3; ++f)
        folder.write("R" + std::to_string(f) + ".MEM", powerRecording("10:00:0" + std::to_string(f)));
    StartedModel m(folder);
    m.form.progress.setObserver([&](const Progress& p) {
        if (p.caption().starts_with("2/")) m.form.progress.requestCancel();
    });
    runAllFiles(m);
    ASSERT_EQ(m.host.errorKinds.size(), 1u);
    EXPECT_EQ(m.host.errorKinds[0], ErrorKind::Cancelled);
    CsvFile summary(folder.file("PQp-pDT.csv"));
    ASSERT_EQ(summary.lines.size(), 2u);
    EXPECT_EQ(summary.rows[1][0], "06D10-00-00.csv");
    EXPECT_FALSE(fs::exists(folder.file("06D10-00-01.csv")));
    EXPECT_EQ(filesIn(folder), 3u + 2u);
    EXPECT_FALSE(m.form.progress.cancelRequested());
}

TEST(AllFilesRun, TheCliNeedsTheDataKindAndSaysWhatToSet) {
    TestFolder folder;
    folder.write("A.MEM", powerRecording("10:00:01"));
    CliRun run = cli({"batch", folder.path().string()});
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("Option1"), std::string::npos);
    EXPECT_EQ(cli({"batch", folder.path().string(), "--jobs", "0"}).status, 2);
    EXPECT_EQ(cli({"convert", folder.file("A.MEM").string(), "--jobs", "2"}).status, 2);
}

}  // namespace
}  // namespace pqwave
