#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/cli.h"
#include "support/csv_file.h"
#include "support/recording_host.h"

namespace pqwave {
namespace {

using testing::CsvFile;
using testing::StartedModel;
using testing::TestFolder;

gen::RecordingSpec powerRecording(int circuits) {
    gen::ThreePhaseSupply supply;
    for (int c = 0; c < circuits; ++c) supply.circuits.push_back({100.0 + c, 0, 200, {}});
    gen::RecordingSpec spec;
    spec.timePerDivision = "50ms";
    spec.sampleCount = 400;
    spec.channels = gen::threePhaseChannels(supply);
    return spec;
}

TEST(ConversionRun, DoubleClickOnAnUnrecognisedFileDoesNothing) {
    TestFolder folder;
    folder.writeBytes("NOTES.TXT", std::vector<std::byte>(600, std::byte{'n'}));
    StartedModel m(folder);
    m.click("NOTES.TXT");
    setText(m.form.Text5, folder.file("out.csv").string());
    m.form.File1_DblClick();
    EXPECT_FALSE(std::filesystem::exists(folder.file("out.csv")));
    EXPECT_TRUE(m.host.errors.empty());
    EXPECT_TRUE(m.host.waitCursorChanges.empty());
}

TEST(ConversionRun, TheSameFileIsLoadedOnceUntilASettingChangesHowItIsStored) {
    TestFolder folder;
    folder.write("A.MEM", powerRecording(1));
    StartedModel m(folder);
    m.click("A.MEM");
    select(m.form.Option2[1]);
    setText(m.form.Text5, folder.file("out.csv").string());
    auto loads = [&] { return std::count(m.host.waitCursorChanges.begin(), m.host.waitCursorChanges.end(), true); };
    click(m.form.Command1);
    long afterFirst = loads();  // one for the load, one for the run
    click(m.form.Command1);
    EXPECT_EQ(loads() - afterFirst, 1);  // the run only
    setValue(m.form.Check17[0], 1);
    click(m.form.Command1);
    EXPECT_EQ(loads() - afterFirst, 3);
}

// The caption holds the count as a single ("1.234568E+07"); the load and the runs must take
// the header's exact count, or a sound file looks shorter than promised.
TEST(ConversionRun, ASampleCountTheCaptionRoundsIsLoadedAndConvertedExactly) {
    TestFolder folder;
    gen::RecordingSpec spec;
    spec.sampleCount = 12345678;
    spec.channels[0].wave.amplitude = 0;
    folder.write("LONG.MEM", spec);
    StartedModel m(folder);
    m.click("LONG.MEM");
    EXPECT_EQ(m.form.LabASn.text, "1.234568E+07");
    EXPECT_EQ(m.form.SampleCount(), 12345678);
    EXPECT_EQ(m.form.Text2[1].text, "12345677");
    select(m.form.Option2[1]);
    setText(m.form.Text2[0], "12345670");
    setText(m.form.Text2[1], "99999999");
    setText(m.form.Text5, folder.file("out.csv").string());
    click(m.form.Command1);
    ASSERT_TRUE(m.host.errors.empty()) << m.host.errors[0];
    EXPECT_EQ(m.form.SampleTable().rows(), 12345679u);
    EXPECT_EQ(m.form.Text2[1].text, "12345677");
    CsvFile csv(folder.file("out.csv"));
    ASSERT_EQ(csv.lines.size(), 2u + 8u);
    EXPECT_EQ(csv.rows.back()[0], " 617283.85 ");  // sample 12345677 at 0.05 ms per sample
}

// A run stopped part-way leaves the file it replaces as it was, hides its progress and
// restores the pointer; the next run starts afresh.
TEST(ConversionRun, ACancelledRunLeavesNoPartialFileAndTheEarlierOneIntact) {
    TestFolder folder;
    gen::RecordingSpec spec = powerRecording(2);
    spec.sampleCount = 400000;
    folder.write("A.MEM", spec);
    for (int processing : {0, 1}) {
        SCOPED_TRACE(processing);
        StartedModel m(folder);
        m.click("A.MEM");
        select(m.form.Option2[processing]);
        std::ofstream(folder.file("out.csv"), std::ios::trunc) << "earlier";
        setText(m.form.Text5, folder.file("out.csv").string());
        bool cancelled = false;
        m.form.progress.setObserver([&](const Progress& p) {
            if (p.fraction() > 0.2 && !cancelled) {
                cancelled = true;
                m.form.progress.requestCancel();
            }
        });
        click(m.form.Command1);
        ASSERT_EQ(m.host.errorKinds.size(), 1u);
        EXPECT_EQ(m.host.errorKinds[0], ErrorKind::Cancelled);
        EXPECT_NE(m.host.errors[0].find("A.MEM"), std::string::npos);
        EXPECT_EQ(folder.readText("out.csv"), "earlier");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
        EXPECT_FALSE(m.form.progress.running());
        EXPECT_FALSE(m.form.Label10.visible);
        EXPECT_EQ(m.host.waitCursorChanges.back(), false);

        click(m.form.Command1);
        EXPECT_EQ(m.host.errorKinds.size(), 1u);
        EXPECT_NE(folder.readText("out.csv"), "earlier");
    }
}

TEST(ConversionRun, ProgressAndPointerAreRestoredWhenTheOutputCannotBeWritten) {
    TestFolder folder;
    folder.write("A.MEM", powerRecording(1));
    StartedModel m(folder);
    m.click("A.MEM");
    setText(m.form.Text5, folder.file("missing/out.csv").string());
    click(m.form.Command1);
    ASSERT_EQ(m.host.errors.size(), 1u);
    EXPECT_NE(m.host.errors[0].find("missing/out.csv"), std::string::npos);
    EXPECT_EQ(m.host.errorKinds[0], ErrorKind::CannotWrite);
    EXPECT_FALSE(m.form.Label10.visible);
    EXPECT_EQ(m.host.waitCursorChanges.back(), false);
}

TEST(ResultFileLayout, FirstLineAndHeaderForOneCircuitWithDefaults) {
    TestFolder folder;
    folder.write("A.MEM", powerRecording(1));
    StartedModel m(folder);
    m.click("A.MEM");
    setText(m.form.Text5, folder.file("out.csv").string());
    click(m.form.Command1);
    CsvFile csv(folder.file("out.csv"));
    EXPECT_EQ(csv.lines[0], "2024/05/06,13:45:30,PT=60,ｸﾗﾝﾌﾟ1=200");
    EXPECT_EQ(csv.lines[1], "秒,V(V),I1(A),P1(kW),Q1(kVar)");
    EXPECT_EQ(csv.rows[3][0], "0.02");
    EXPECT_EQ(csv.rows[3][1].front(), ' ');
    EXPECT_EQ(csv.rows[3][1].back(), ' ');
    EXPECT_EQ(csv.rows[3].size(), 5u);
}

TEST(ResultFileLayout, HeaderForEveryOption) {
    TestFolder folder;
    gen::RecordingSpec spec = powerRecording(2);
    spec.logicChannels = 2;
    folder.write("A.MEM", spec);
    StartedModel m(folder);
    Form1Model& f = m.form;
    m.click("A.MEM");
    for (Control* box : {&f.Check1, &f.Check3, &f.Check5, &f.Check6, &f.Check12[0], &f.Check12[1]}) setValue(*box, 1);
    select(f.Option3[1]);
    setText(f.Text7[2], "500");
    setText(f.Text5, folder.file("out.csv").string());
    click(f.Command1);
    CsvFile csv(folder.file("out.csv"));
    EXPECT_EQ(csv.lines[0], "2024/05/06,13:45:30,PT=60,ｸﾗﾝﾌﾟ1=200,ｸﾗﾝﾌﾟ2=500");
    EXPECT_EQ(csv.lines[1],
              "秒,V(V),基本(V),I1(A),基本1(A),I2(A),基本2(A),P1(kW),Q1(kVar),P2(kW),Q2(kVar),"
              "5次(V),5次1(A),5次2(A),5r1(ﾟ),5r2(ﾟ),Vu,Vv,Vw,"
              "I1u,I1v,I1w,P1u,P1v,P1w,Q1u,Q1v,Q1w,I2u,I2v,I2w,P2u,P2v,P2w,Q2u,Q2v,Q2w,"
              "補償前V,理論補償値,Log1,Log2,周波数");
    // Every row has the header's fields, but for a frequency that has not converged.
    for (std::size_t r = 2; r < csv.rows.size(); ++r) EXPECT_GE(csv.rows[r].size() + 1, csv.rows[1].size()) << r;
    select(f.Option3[0]);
    select(f.Option5[1]);  // 60 Hz: the frequency column is not offered at 16.7 ms
    click(f.Command1);
    CsvFile sixty(folder.file("out.csv"));
    EXPECT_NE(sixty.lines[1].find(",Vuv,Vvw,Vuw,"), std::string::npos);
    EXPECT_EQ(sixty.lines[1].find("周波数"), std::string::npos);
}

TEST(ResultFileLayout, WithoutCircuitsOnlyTimeAndVoltage) {
    TestFolder folder;
    folder.write("V.MEM", powerRecording(0));
    StartedModel m(folder);
    m.click("V.MEM");
    setValue(m.form.Check1, 1);
    setText(m.form.Text5, folder.file("out.csv").string());
    click(m.form.Command1);
    CsvFile csv(folder.file("out.csv"));
    EXPECT_EQ(csv.lines[0], "2024/05/06,13:45:30,PT=60");
    EXPECT_EQ(csv.lines[1], "秒,V(V),基本(V)");
    EXPECT_EQ(csv.rows[2].size(), 3u);
}

TEST(CliConvert, WritesTheChosenOutputAndReportsFailures) {
    TestFolder folder;
    folder.write("A.MEM", powerRecording(1));
    std::ostringstream out, err;
    int status =
        runCli({"convert", folder.file("A.MEM").string(), "--set", "Option2=1", "-o", folder.file("raw.csv").string()},
               folder.path(), out, err);
    EXPECT_EQ(status, 0) << err.str();
    EXPECT_TRUE(std::filesystem::exists(folder.file("raw.csv")));

    std::ostringstream out2, err2;
    status = runCli({"convert", folder.file("A.MEM").string(), "-o", folder.file("none/raw.csv").string()},
                    folder.path(), out2, err2);
    EXPECT_EQ(status, 1);
    EXPECT_NE(err2.str().find("none/raw.csv"), std::string::npos);

    std::ostringstream out3, err3;
    status = runCli({"convert", folder.file("A.MEM").string(), "--set", "Check10=1"}, folder.path(), out3, err3);
    EXPECT_EQ(status, 3);  // CSV変換 is disabled with statistics only
}

}  // namespace
}  // namespace pqwave
