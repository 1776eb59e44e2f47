#include "control/raw_data.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/datetime.h"
#include "support/csv_file.h"
#include "support/job_run.h"
#include "support/recording_host.h"

namespace pqwave {
namespace {

using testing::CsvFile;
using testing::StartedModel;
using testing::TestFolder;

// The value a raw code stands for: code x range per division x multiplier / counts per division,
// the range and multiplier held in single precision as the instrument software holds them.
double physical(int code, double rangePerDivision, double multiplier, double countsPerDivision) {
    return code *
           static_cast<double>(
               static_cast<float>(static_cast<float>(rangePerDivision) * static_cast<float>(multiplier))) /
           countsPerDivision;
}

gen::RecordingSpec recording(int layout, int samples = 200) {
    gen::RecordingSpec spec;
    spec.layout = layout;
    spec.sampleCount = samples;
    spec.channels.assign(3, gen::ChannelSpec{});
    spec.channels[2].range = "500mV";
    for (int k = 0; k < 3; ++k) spec.channels[k].wave = {k == 2 ? 1.5 : 150.0, 50, 45.0 * k, 0, {}, 0.01};
    if (layout == 20)
        for (auto& c : spec.channels) c.range = "1V", c.wave.amplitude = 0.8;
    if (layout == 86)
        for (auto& c : spec.channels) c.calibration.gainExponent = -3;
    return spec;
}

double rangeOf(const gen::RecordingSpec& spec, int k) {
    const std::string& r = spec.channels[k].range;
    if (spec.layout == 86) {
        const gen::Calibration& c = spec.channels[k].calibration;
        float gain = static_cast<float>(c.gainMantissa * std::pow(10.0, c.gainExponent));
        return static_cast<float>(gen::defaultCountsPerDivision(86) * static_cast<double>(c.unit) * gain / 1000 * 16);
    }
    return r == "500mV" ? 0.5 : r == "1V" ? 1.0 : 100.0;
}

class RawDataOfEveryLayout : public ::testing::TestWithParam<int> {};

TEST_P(RawDataOfEveryLayout, WritesScaledSamplesAsCp932Csv) {
    TestFolder folder;
    gen::RecordingSpec spec = recording(GetParam());
    gen::GeneratedRecording written = folder.write("REC.MEM", spec);
    StartedModel m(folder);
    m.click("REC.MEM");
    select(m.form.Option2[1]);
    setText(m.form.Text3[1], "2.5");
    setText(m.form.Text5, folder.file("out.csv").string());
    click(m.form.Command1);
    ASSERT_TRUE(m.host.errors.empty()) << m.host.errors[0];

    CsvFile csv(folder.file("out.csv"));
    EXPECT_TRUE(csv.crLfOnly);
    const double counts = spec.layout == 40   ? 80
                          : spec.layout == 20 ? 20000
                                              : gen::defaultCountsPerDivision(GetParam());
    EXPECT_EQ(csv.rows[1], (std::vector<std::string>{"ms", "ch1", "ch2", "ch3"}));
    ASSERT_EQ(csv.lines.size(), 2u + spec.sampleCount);
    for (int j = 0; j < spec.sampleCount; ++j)
        for (int k = 0; k < 3; ++k) {
            double expected = physical(written.expected(j, k), rangeOf(spec, k), k == 1 ? 2.5 : 1, counts);
            ASSERT_NEAR(csv.number(2 + j, 1 + k), expected, std::fabs(expected) * 1e-14) << "sample " << j;
        }
    EXPECT_EQ(m.form.LoadedFileName(), folder.file("REC.MEM").string());
}

INSTANTIATE_TEST_SUITE_P(RawData, RawDataOfEveryLayout, ::testing::Values(40, 41, 80, 47, 20, 86));

// The first line and the time column, for a given time axis.
CsvFile convertRaw(StartedModel& m, const TestFolder& folder, const std::string& name) {
    m.click(name);
    select(m.form.Option2[1]);
    setText(m.form.Text5, folder.file(name + ".csv").string());
    click(m.form.Command1);
    return CsvFile(folder.file(name + ".csv"));
}

TEST(RawData, TimeColumnInSecondsMillisecondsOrClockTimes) {
    TestFolder folder;
    gen::RecordingSpec slow = recording(41, 20);
    slow.timePerDivision = "20s";  // 100 samples per 20 s: 5 Hz
    folder.write("SLOW.MEM", slow);
    gen::RecordingSpec kilohertz = recording(41, 20);
    kilohertz.timePerDivision = "100ms";
    folder.write("FAST.MEM", kilohertz);
    gen::RecordingSpec hertz = recording(41, 20);
    hertz.timePerDivision = "100s";
    hertz.preTrigger = "3";
    folder.write("HZ.MEM", hertz);

    StartedModel m(folder);
    CsvFile s = convertRaw(m, folder, "SLOW.MEM");
    EXPECT_EQ(s.lines[0], "2024/05/06,13:45:30");
    EXPECT_EQ(s.rows[1][0], "s");
    EXPECT_EQ(s.rows[2][0], " 0 ");
    EXPECT_EQ(s.rows[3][0], " .2 ");
    EXPECT_EQ(s.rows[4][0], " .4 ");
    CsvFile ms = convertRaw(m, folder, "FAST.MEM");
    EXPECT_EQ(ms.rows[1][0], "ms");
    EXPECT_EQ(ms.rows[3][0], " 1 ");
    EXPECT_EQ(ms.rows[4][0], " 2 ");
    CsvFile clock = convertRaw(m, folder, "HZ.MEM");
    EXPECT_EQ(clock.rows[1][0], "日時");
    // Three samples of pre-trigger before 13:45:30.
    EXPECT_EQ(clock.rows[2][0], "2024/05/06 13:45:27");
    EXPECT_EQ(clock.rows[3][0], "2024/05/06 13:45:28");

    setValue(m.form.Check15, 1);  // clock times asked for at 1 kHz
    CsvFile forced = convertRaw(m, folder, "FAST.MEM");
    EXPECT_EQ(forced.rows[2][0], "2024/05/06 13:45:30");
}

TEST(RawData, RangeAndStepAreCorrectedAndFollowed) {
    TestFolder folder;
    gen::GeneratedRecording written = folder.write("A.MEM", recording(41, 10));
    StartedModel m(folder);
    m.click("A.MEM");
    select(m.form.Option2[1]);
    setText(m.form.Text2[0], "-5");
    setText(m.form.Text2[1], "250");
    setText(m.form.Text4, "3");
    m.form.Text4_LostFocus();
    setText(m.form.Text5, folder.file("out.csv").string());
    click(m.form.Command1);
    EXPECT_EQ(m.form.Text2[0].text, "0");
    EXPECT_EQ(m.form.Text2[1].text, "9");
    CsvFile csv(folder.file("out.csv"));
    ASSERT_EQ(csv.lines.size(), 2u + 4);  // samples 0, 3, 6 and 9
    for (int r = 0; r < 4; ++r) {
        EXPECT_DOUBLE_EQ(csv.number(2 + r, 0), 0.05 * 3 * r);
        EXPECT_EQ(csv.number(2 + r, 1), physical(written.expected(3 * r, 0), 100, 1, 1600));
    }
}

TEST(RawData, RmsRecordingWritesMaximumAndMinimumColumns) {
    TestFolder folder;
    gen::RecordingSpec spec = recording(41, 30);
    spec.rms = true;
    spec.channels.resize(2);
    spec.timePerDivision = "1min";
    spec.samplesPerDivision = 60;
    for (auto& c : spec.channels) c.wave.offset = 100;
    gen::GeneratedRecording written = folder.write("T.RMS", spec);
    StartedModel m(folder);
    CsvFile csv = convertRaw(m, folder, "T.RMS");
    EXPECT_EQ(csv.rows[1], (std::vector<std::string>{"日時", "ch1Max", "ch1min", "ch2Max", "ch2min"}));
    EXPECT_EQ(csv.number(2, 2), physical(written.expected(0, 1), 100, 1, 1600));
    EXPECT_EQ(csv.number(3, 3), physical(written.expected(1, 2), 100, 1, 1600));
}

TEST(RawData, SwitchedOffChannelOfAn8840FileIsLeftOutWithoutLosingTheLast) {
    TestFolder folder;
    gen::RecordingSpec spec = recording(40, 20);
    spec.channels.push_back(spec.channels[0]);
    spec.channels[1].recorded = false;
    folder.write("GAP.WAV", spec);
    StartedModel m(folder);
    CsvFile csv = convertRaw(m, folder, "GAP.WAV");
    EXPECT_EQ(csv.rows[1], (std::vector<std::string>{"ms", "ch1", "ch3", "ch4"}));
}

TEST(RawData, StatisticsOnlyWritesNothingAndKeepsAnEarlierFile) {
    TestFolder folder;
    folder.write("A.MEM", recording(41));
    StartedModel m(folder);
    m.click("A.MEM");
    select(m.form.Option2[1]);
    setText(m.form.Text5, folder.file("out.csv").string());
    folder.writeBytes("out.csv", {std::byte{'o'}, std::byte{'l'}, std::byte{'d'}});
    setValue(m.form.Check10, 1);
    m.form.File1_DblClick();
    EXPECT_EQ(folder.readText("out.csv"), "old");
    EXPECT_TRUE(m.host.errors.empty());
}

// An RMS recording of one hour at one value a second, starting at 13:45:30 on 2024-05-06.
gen::RecordingSpec hourOfRmsValues() {
    gen::RecordingSpec spec = recording(41, 3600);
    spec.rms = true;
    spec.channels.resize(2);
    spec.timePerDivision = "1min";
    spec.samplesPerDivision = 60;
    for (auto& c : spec.channels) c.wave = {10, 1.0 / 600, 0, 100, {}, 1};
    return spec;
}

TEST(RmsStatistics, TheAllFilesRunGetsAverageMaximumAndMinimumOfEachSeries) {
    TestFolder folder;
    gen::GeneratedRecording written = folder.write("T.RMS", hourOfRmsValues());
    ConversionJob job = testing::defaultJob(Processing::RawData, folder.file("out.csv"));
    job.statisticsOnly = true;  // nothing is written, the statistics still fill
    const FileOutcome outcome = testing::runJob(job, testing::recordingAt(folder.file("T.RMS")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("out.csv")));
    EXPECT_EQ(outcome.summary, SummaryKind::RmsPerFile);
    const RmsFileStatistics& statistics = outcome.rms;
    const double factor = 100.0 / 1600;
    for (int u = 0; u < 4; ++u) {
        double sum = 0, max = -1e9, min = 1e9;
        for (int j = 0; j < 3600; ++j) {
            double x = written.expected(j, u);
            sum += x, max = std::max(max, x), min = std::min(min, x);
        }
        EXPECT_NEAR(statistics.RmsStat[u][0], sum / 3600 * factor, 1e-3) << u;
        EXPECT_FLOAT_EQ(statistics.RmsStat[u][1], static_cast<float>(max * factor)) << u;
        EXPECT_FLOAT_EQ(statistics.RmsStat[u][2], static_cast<float>(min * factor)) << u;
    }
    EXPECT_EQ(statistics.RmsStat[4][0], 0);  // no third channel
}

TEST(RmsStatistics, TimeOfDayStatisticsPoolEachHourOfTheYear) {
    TestFolder folder;
    gen::GeneratedRecording written = folder.write("T.RMS", hourOfRmsValues());
    const auto recording = testing::recordingAt(folder.file("T.RMS"));
    ConversionJob job = testing::defaultJob(Processing::TimeOfDayStatistics);
    job.kind = DataKind::Rms;
    job.raw.year = 2024;
    HourOfYearStatistics hours;
    Progress progress;
    EXPECT_EQ(foldHoursOfYear(hours, recording->table, timeOfDayInputFor(job, *recording), progress), 0);
    // 2024-05-06 13:45:30 is hour (31+29+31+30+5) x 24 + 13 of the year.
    const std::size_t first = (31 + 29 + 31 + 30 + 5) * 24 + 13;
    // 13:45:30 to 13:59:59; the sample at 14:00:00 opens the next hour.
    EXPECT_EQ(hours.HourCount[first], 870);
    EXPECT_EQ(hours.HourCount[first] + hours.HourCount[first + 1], 3600);
    EXPECT_EQ(hours.HourCount[first + 2], 0);
    float max = -1e9f;
    for (int j = 0; j < hours.HourCount[first]; ++j)
        max = std::max(max, static_cast<float>(written.expected(j, 0) * (100.0 / 1600)));
    EXPECT_FLOAT_EQ(hours.RmsStat[first][0][1], max);

    // A recording of another year than Text6 contributes nothing.
    const int before = hours.HourCount[first];
    job.raw.year = 2023;
    foldHoursOfYear(hours, recording->table, timeOfDayInputFor(job, *recording), progress);
    EXPECT_EQ(hours.HourCount[first], before);
}

TEST(RmsStatistics, ALoggerSeriesFillsBothRowsOfItsPosition) {
    TestFolder folder;
    gen::RecordingSpec spec = recording(20, 120);
    spec.timePerDivision = "1s";
    spec.channels.resize(1);
    folder.write("LOG.MEM", spec);
    const auto recording = testing::recordingAt(folder.file("LOG.MEM"));
    ConversionJob job = testing::defaultJob(Processing::TimeOfDayStatistics);
    job.kind = DataKind::Logger;
    job.raw.year = 2024;
    HourOfYearStatistics hours;
    Progress progress;
    foldHoursOfYear(hours, recording->table, timeOfDayInputFor(job, *recording), progress);
    const std::size_t hour = (31 + 29 + 31 + 30 + 5) * 24 + 13;
    EXPECT_EQ(hours.HourCount[hour], 120);
    EXPECT_EQ(hours.RmsStat[hour][0], hours.RmsStat[hour][1]);
    EXPECT_LT(hours.RmsStat[hour][0][2], hours.RmsStat[hour][0][1]);
}

TEST(RmsStatistics, ASingleFileRunWithTimeOfDayStatisticsSaysItCollectsNothing) {
    TestFolder folder;
    folder.write("T.RMS", hourOfRmsValues());
    StartedModel m(folder);
    m.click("T.RMS");
    setValue(m.form.Check11, 1);
    click(m.form.Command1);
    ASSERT_EQ(m.host.warnings.size(), 1u);
    EXPECT_NE(m.host.warnings[0].find("全ﾌｧｲﾙ処理"), std::string::npos);
}

}  // namespace
}  // namespace pqwave
