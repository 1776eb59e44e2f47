// A conversion as a value: a job run on a recording without any window model writes what the
// window's "CSV変換" writes, and the all-files run keeps the data kind and the processing the
// user chose whatever the files of the folder, whatever the number of files done at once.
#include <gtest/gtest.h>

#include <sstream>

#include "app/cli.h"
#include "control/comtrade_export.h"
#include "support/analysis_run.h"
#include "support/job_run.h"

namespace pqwave {
namespace {

using testing::StartedModel;
using testing::TestFolder;

namespace fs = std::filesystem;

gen::RecordingSpec supply(const std::string& startTime, bool reverse = false, int samples = 2000) {
    gen::ThreePhaseSupply s = testing::supplyWith({{100, 25, 200, {{5, 4, 30}}}, {40, -10, 200, {}}});
    s.reverse = reverse;
    s.harmonics = {{5, 6, 0}};
    gen::RecordingSpec spec = testing::supplyRecording(s, samples);
    spec.startTime = startTime;
    return spec;
}

gen::RecordingSpec logger() {
    gen::RecordingSpec spec;
    spec.layout = 20;
    spec.timePerDivision = "1s";
    spec.sampleCount = 60;
    spec.startTime = "09:00:00";
    return spec;
}

std::string cliErrors(const std::vector<std::string>& args, int& status) {
    std::ostringstream out, err;
    status = runCli(args, fs::temp_directory_path(), out, err);
    return err.str();
}

// Every file a folder holds after a run, by name, with its bytes.
std::map<std::string, std::string> contents(const TestFolder& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder.path()))
        files[entry.path().filename().string()] = folder.readText(entry.path().filename().string());
    return files;
}

TEST(ConversionValue, AJobOnARecordingWritesWhatTheWindowWrites) {
    struct Case {
        Processing processing;
        std::vector<std::pair<std::string, int>> windowChoice;  // option or check box, index or value
    };
    TestFolder folder;
    folder.write("REC.MEM", supply("10:00:00"));
    const auto recording = testing::recordingAt(folder.file("REC.MEM"));
    for (Processing processing : {Processing::IntervalAnalysis, Processing::SlidingAnalysis, Processing::RawData,
                                  Processing::PqFft, Processing::ChannelFft}) {
        StartedModel m(folder);
        m.click("REC.MEM");
        setText(m.form.Text5, folder.file("window.csv").string());
        ConversionJob job = testing::defaultJob(processing, folder.file("value.csv"));
        switch (processing) {
            case Processing::SlidingAnalysis:
                setValue(m.form.Check13, 1);
                break;
            case Processing::RawData:
                select(m.form.Option2[1]);
                job.raw.lastSample = m.form.Text2[1].text;
                break;
            case Processing::PqFft:
                select(m.form.Option2[2]);
                break;
            case Processing::ChannelFft:
                select(m.form.Option2[3]);
                break;
            default:
                setValue(m.form.Check6, 1);
                setValue(m.form.Check1, 1);
                setValue(m.form.Check3, 1);
                job.power.perPhase = job.power.fundamental = job.power.fifth = true;
                break;
        }
        click(m.form.Command1);
        ASSERT_TRUE(m.host.errors.empty()) << m.host.errors[0];
        const FileOutcome outcome = testing::runJob(job, recording);
        EXPECT_EQ(outcome.state, FileOutcome::State::Converted);
        EXPECT_EQ(folder.readText("value.csv"), folder.readText("window.csv")) << static_cast<int>(processing);
    }

    // The export of the same recording, from the values and from the window.
    StartedModel m(folder);
    m.click("REC.MEM");
    ASSERT_TRUE(exportComtrade(m.form, folder.file("window.cfg"), ComtradeFormat::Ascii));
    ConversionJob job = testing::defaultJob(Processing::RawData);
    job.raw.lastSample = m.form.Text2[1].text;
    Progress progress;
    OutputFiles files(recording->facts.fileName);
    writeComtrade(comtradeSettingsFor(job, *recording, ComtradeFormat::Ascii), recording->table,
                  folder.file("value.cfg"), progress, files);
    files.commit();
    EXPECT_EQ(folder.readText("value.dat"), folder.readText("window.dat"));
    EXPECT_EQ(folder.readText("value.cfg"), folder.readText("window.cfg"));
}

TEST(ConversionValue, TheAllFilesRunKeepsTheKindAndProcessingTheUserChoseAndNamesWhatItSkips) {
    TestFolder folder;
    folder.write("A_LOG.MEM", logger());  // first by name
    folder.write("B.MEM", supply("10:00:01"));
    folder.write("C.MEM", supply("10:00:02"));
    int status = 0;
    const std::string err = cliErrors({"batch", folder.path().string(), "--set", "Option1=1"}, status);
    EXPECT_EQ(status, 0) << err;
    EXPECT_NE(err.find("A_LOG.MEM: a logger recording, not a 8808･35･41･80波形 one; skipped"), std::string::npos)
        << err;
    EXPECT_NE(err.find(": 2 of 3 files converted, 1 skipped, 0 failed"), std::string::npos) << err;
    // Both waveform files with the interval analysis, and their summary rows.
    EXPECT_EQ(testing::CsvFile(folder.file("06D10-00-01.csv")).lines[1].rfind("秒,V(V)", 0), 0u);
    EXPECT_TRUE(fs::exists(folder.file("06D10-00-02.csv")));
    EXPECT_EQ(testing::CsvFile(folder.file("PQp-pDT.csv")).lines.size(), 3u);
    EXPECT_FALSE(fs::exists(folder.file("06D09-00-00.csv")));
}

TEST(ConversionValue, AnyNumberOfFilesAtOnceGivesTheSameFiles) {
    auto run = [](int jobs, bool failing) {
        TestFolder folder;
        folder.write("A_LOG.MEM", logger());
        for (int k = 1; k <= 4; ++k)
            folder.write("R" + std::to_string(k) + ".MEM", supply("10:00:0" + std::to_string(k)));
        if (failing) {
            gen::GeneratedRecording cut = gen::generateRecording(supply("10:00:09"));
            cut.bytes.resize(cut.bytes.size() - 100);
            folder.writeBytes("R2.MEM", cut.bytes);
        }
        int status = 0;
        cliErrors({"batch", folder.path().string(), "--set", "Option1=1", "--set", "Check6=1", "--set", "Check5=1",
                   "--jobs", std::to_string(jobs)},
                  status);
        EXPECT_EQ(status, failing ? 1 : 0);
        return contents(folder);
    };
    for (bool failing : {false, true}) {
        const auto one = run(1, failing);
        EXPECT_EQ(one.size(), 5u + (failing ? 3 : 4) + 1) << failing;  // recordings, outputs, summary
        EXPECT_EQ(run(2, failing), one) << failing;
        EXPECT_EQ(run(3, failing), one) << failing;
    }
}

TEST(ConversionValue, ThePhaseCheckRunsInEveryAllFilesRunAndEveryJob) {
    TestFolder alone;
    alone.write("REV.MEM", supply("10:00:00", true));
    int status = 0;
    cliErrors({"convert", alone.file("REV.MEM").string(), "--set", "Check2=1", "-o", alone.file("a.csv").string()},
              status);
    ASSERT_EQ(status, 0);
    const std::string single = alone.readText("a.csv");
    cliErrors({"convert", alone.file("REV.MEM").string(), "-o", alone.file("f.csv").string()}, status);
    ASSERT_NE(single, alone.readText("f.csv"));  // the check changed the rotation

    for (const char* jobs : {"1", "2"}) {
        TestFolder folder;
        folder.write("FWD.MEM", supply("09:00:00"));
        folder.write("REV.MEM", supply("10:00:00", true));
        cliErrors({"batch", folder.path().string(), "--set", "Option1=1", "--set", "Check2=1", "--jobs", jobs}, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(folder.readText("06D10-00-00.csv"), single) << jobs;
    }
}

}  // namespace
}  // namespace pqwave
