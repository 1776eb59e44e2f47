#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/error.h"
#include "input/byte_source.h"
#include "support/recording_host.h"

namespace pqwave {
namespace {

using testing::StartedModel;
using testing::TestFolder;

gen::RecordingSpec blockFile(int channels) {
    gen::RecordingSpec spec;
    spec.layout = 41;
    spec.channels.assign(static_cast<std::size_t>(channels), gen::ChannelSpec{});
    return spec;
}

TEST(HeaderReader, TheMeasurementTimeOfALongRecordTakesItsWholeLength) {
    TestFolder folder;
    gen::RecordingSpec spec = blockFile(1);
    spec.recordLength = "12000";  // divisions of 5 ms
    folder.write("LONG.MEM", spec);
    StartedModel m(folder);
    m.click("LONG.MEM");
    EXPECT_EQ(m.form.Label15[3].text, "12000");
    EXPECT_EQ(m.form.LabSTim.text, "60");
}

TEST(HeaderReader, BlockHeaderFillsLabelsTimeAxisAndProposedName) {
    TestFolder folder;
    gen::RecordingSpec spec = blockFile(4);
    spec.channels[2].range = spec.channels[3].range = "500mV";
    spec.preTrigger = "10";
    folder.write("WAVE0001.MEM", spec);
    StartedModel m(folder);
    m.click("WAVE0001.MEM");
    Form1Model& f = m.form;

    EXPECT_EQ(f.Label1.text, folder.file("WAVE0001.MEM").string());
    EXPECT_EQ(f.Label15[0].text, "2024/05/06");
    EXPECT_EQ(f.Label15[1].text, "13:45:30");
    EXPECT_EQ(f.Label15[2].text, "5ms/DIV");
    EXPECT_EQ(f.Label15[3].text, "10");
    EXPECT_EQ(f.Label15[4].text, "8841");
    EXPECT_EQ(f.T_Div.text, "100");
    EXPECT_EQ(f.V_Div.text, "1600");
    EXPECT_EQ(f.LabASn.text, "1000");
    EXPECT_EQ(f.Label21.text, "20000");  // 100 samples per 5 ms division
    EXPECT_EQ(f.Lab1OutN.text, "400");   // 20 ms output interval
    EXPECT_EQ(f.LabSTim.text, "0.05");
    EXPECT_EQ(f.Label26.text, "10");
    EXPECT_FLOAT_EQ(f.SamplePeriod(), 5e-5f);
    EXPECT_DOUBLE_EQ(f.SamplePeriodAtLoad(), 5e-5);
    EXPECT_EQ(f.TimeUnitFactor(), 1000);
    EXPECT_EQ(f.FormatCode(), 41);
    EXPECT_EQ(f.ChannelCount(), 4);
    EXPECT_EQ(f.HeaderBlocks(), 5);
    EXPECT_EQ(f.FileRecognized, -1);
    EXPECT_EQ(f.Text2[1].text, "999");
    EXPECT_EQ(f.Text5.text, folder.file("06D13-45-30.csv").string());
    EXPECT_TRUE(f.Text5.visible);
    EXPECT_TRUE(f.Label11.visible);

    EXPECT_EQ(f.Label12[3].text, "ch4ﾚﾝｼﾞ");
    EXPECT_EQ(f.Label14[0].text, "100V/DIV");
    EXPECT_EQ(f.Label14[3].text, "500mV/DIV");
    EXPECT_TRUE(f.Label14[3].enabled);
    EXPECT_EQ(f.Label12[4].text, "ch--ﾚﾝｼﾞ");
    EXPECT_EQ(f.Label14[4].text, "--");
    EXPECT_FALSE(f.Label14[4].enabled);

    EXPECT_TRUE(isSelected(f.Option1[1]));  // chosen from "自動"
    EXPECT_TRUE(f.Command1.enabled);
    EXPECT_TRUE(f.Command2.enabled);
    EXPECT_TRUE(f.Command4.enabled);
    EXPECT_TRUE(m.host.errors.empty());
}

TEST(HeaderReader, EightyFortyFileNamesAllEightChannelsButCountsOnlyRecordedOnes) {
    TestFolder folder;
    gen::RecordingSpec spec;
    spec.layout = 40;
    spec.channels.assign(4, gen::ChannelSpec{});
    spec.channels[1].recorded = false;  // flags 1011 0000
    spec.timePerDivision = "1min";
    folder.write("DATA.MEM", spec);  // recognised by its first bytes, whatever its extension
    StartedModel m(folder);
    m.click("DATA.MEM");
    Form1Model& f = m.form;

    EXPECT_EQ(f.FormatCode(), 40);
    EXPECT_EQ(f.ChannelCount(), 3);
    for (int k = 0; k < 8; ++k) EXPECT_EQ(f.Label12[k].text, "ch" + std::to_string(k + 1) + "ﾚﾝｼﾞ");
    EXPECT_TRUE(f.Label14[0].enabled);
    EXPECT_FALSE(f.Label14[1].enabled);
    EXPECT_TRUE(f.Label14[2].enabled);
    EXPECT_TRUE(f.Label14[3].enabled);
    EXPECT_FALSE(f.Label14[4].enabled);
    EXPECT_EQ(f.Label15[4].text, "8840");
    EXPECT_EQ(f.T_Div.text, "100");
    EXPECT_EQ(f.V_Div.text, "80");
    EXPECT_EQ(f.TimeUnitFactor(), 1000);  // the 8840's unit test looks for "m" only
    EXPECT_TRUE(isSelected(f.Option1[0]));
}

TEST(HeaderReader, MinutesPerDivisionInABlockHeaderIsASixtiethOfAUnitPerSecond) {
    TestFolder folder;
    gen::RecordingSpec spec = blockFile(2);
    spec.timePerDivision = "1min";
    spec.samplesPerDivision = 60;
    folder.write("SLOW.MEM", spec);
    StartedModel m(folder);
    m.click("SLOW.MEM");
    EXPECT_DOUBLE_EQ(m.form.TimeUnitFactor(), 1.0 / 60);
    EXPECT_EQ(m.form.Label21.text, "1");
    EXPECT_FLOAT_EQ(m.form.SamplePeriod(), 1.0f);
}

TEST(HeaderReader, ChannelNumbersAboveOneHundredNameUnitAndChannel) {
    TestFolder folder;
    gen::RecordingSpec spec = blockFile(3);
    spec.channels[0].number = "103";
    spec.channels[1].number = "100";
    spec.channels[2].recorded = false;
    folder.write("UNITS.MEM", spec);
    StartedModel m(folder);
    m.click("UNITS.MEM");
    EXPECT_EQ(m.form.Label12[0].text, "ch1-3ﾚﾝｼﾞ");
    EXPECT_EQ(m.form.Label12[1].text, "ch100ﾚﾝｼﾞ");
    EXPECT_EQ(m.form.Label12[2].text, "ch--ﾚﾝｼﾞ");
    EXPECT_EQ(m.form.ChannelCount(), 2);
}

TEST(HeaderReader, Mr8880AlwaysHasOneHundredSamplesPerDivision) {
    TestFolder folder;
    gen::RecordingSpec spec = blockFile(2);
    spec.layout = 80;
    spec.fieldOverrides[10] = "50";
    folder.write("MR.MEM", spec);
    StartedModel m(folder);
    m.click("MR.MEM");
    EXPECT_EQ(m.form.Label15[4].text, "MR8880");
    EXPECT_EQ(m.form.T_Div.text, "100");
    EXPECT_EQ(m.form.FormatCode(), 80);
}

TEST(HeaderReader, FormatCodeFollowsTheModel) {
    TestFolder folder;
    const std::pair<const char*, int> models[] = {{"8847", 47}, {"8860", 86}, {"8861", 86},
                                                  {"8835", 41}, {"8807", 41}, {"8841", 41}};
    for (auto [model, code] : models) {
        gen::RecordingSpec spec = blockFile(2);
        spec.model = model;
        folder.write(std::string(model) + ".MEM", spec);
        StartedModel m(folder);
        m.click(std::string(model) + ".MEM");
        EXPECT_EQ(m.form.FormatCode(), code) << model;
    }
}

TEST(HeaderReader, LoggerFileReadsAbsolutePositionsAndChoosesTheLoggerKind) {
    TestFolder folder;
    gen::RecordingSpec spec;
    spec.layout = 20;
    spec.timePerDivision = "10ms";
    spec.channels.assign(3, gen::ChannelSpec{});
    for (auto& c : spec.channels) c.range = "1V";
    spec.channels[1].recorded = false;
    spec.logicChannels = 2;
    spec.loggerExtraFlag = 1;
    spec.sampleCount = 500;
    folder.write("LOG.MEM", spec);
    StartedModel m(folder);
    m.click("LOG.MEM");
    Form1Model& f = m.form;

    EXPECT_EQ(f.Label9.text, "ｻﾝﾌﾟﾘﾝｸﾞ間隔");
    EXPECT_TRUE(isSelected(f.Option1[4]));
    EXPECT_TRUE(isSelected(f.Option2[1]));
    EXPECT_FALSE(f.Frame2.enabled);
    EXPECT_EQ(f.FormatCode(), 20);
    EXPECT_EQ(f.T_Div.text, "1");
    EXPECT_EQ(f.V_Div.text, "20000");
    EXPECT_EQ(f.Lab1OutN.text, "1");
    EXPECT_EQ(f.Label21.text, "100");
    EXPECT_EQ(f.LabASn.text, "500");
    EXPECT_EQ(f.Label15[1].text, "13:45:30");
    EXPECT_EQ(f.ChannelCount(), 2);
    EXPECT_EQ(f.LogicChannelCount(), 2);
    EXPECT_EQ(f.LoggerExtraFlag(), 1);
    // The switched-off channel leaves no gap: the third block's range takes position 1.
    EXPECT_EQ(f.Label12[1].text, "ch3ﾚﾝｼﾞ");
    EXPECT_EQ(f.Label14[1].text, "1V/fs");
    EXPECT_TRUE(f.Label14[1].enabled);
    EXPECT_FALSE(f.Label14[2].enabled);
    EXPECT_TRUE(f.Command1.enabled);
    EXPECT_EQ(f.Text2[0].text, "0");
}

TEST(HeaderReader, LoggerChannelsBeyondTheSixteenthBlockOnlyCount) {
    TestFolder folder;
    gen::RecordingSpec four;
    four.layout = 20;
    four.channels.assign(4, gen::ChannelSpec{});
    folder.write("FOUR.MEM", four);
    gen::RecordingSpec wide = four;
    wide.channels.assign(17, gen::ChannelSpec{});
    for (int k = 1; k < 16; ++k) wide.channels[k].recorded = false;  // blocks 1..15 switched off
    wide.sampleCount = 10;
    folder.write("WIDE.MEM", wide);
    StartedModel m(folder);
    m.click("FOUR.MEM");
    m.click("WIDE.MEM");
    EXPECT_EQ(m.form.ChannelCount(), 2);
    EXPECT_EQ(m.form.Label12[0].text, "ch1ﾚﾝｼﾞ");
    // The 17th block's channel has no position; the previous file's second channel is gone.
    EXPECT_EQ(m.form.Label12[1].text, "ch--ﾚﾝｼﾞ");
    EXPECT_FALSE(m.form.Label14[1].enabled);
}

TEST(HeaderReader, LoggerModelPaddedWithSpacesIsNotRecognised) {
    TestFolder folder;
    gen::RecordingSpec spec;
    spec.layout = 20;
    spec.fieldOverrides[2] = "8420        ";
    folder.write("PADDED.MEM", spec);
    StartedModel m(folder);
    m.click("PADDED.MEM");
    EXPECT_EQ(m.form.FileRecognized, 0);
    EXPECT_TRUE(m.host.errors.empty());  // no message for an unrecognised file
}

TEST(HeaderReader, UnrecognisedFileEmptiesTheHeaderLabelsAndKeepsTheModuleValues) {
    TestFolder folder;
    folder.write("GOOD.MEM", blockFile(4));
    folder.writeBytes("NOTES.TXT", std::vector<std::byte>(100, std::byte{'x'}));
    StartedModel m(folder);
    m.click("GOOD.MEM");
    m.click("NOTES.TXT");
    Form1Model& f = m.form;
    EXPECT_EQ(f.FileRecognized, 0);
    EXPECT_FALSE(f.Text5.visible);
    EXPECT_FALSE(f.Label11.visible);
    EXPECT_FALSE(f.Command1.enabled);
    EXPECT_FALSE(f.Command2.enabled);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(f.Label15[i].text, "") << i;
    EXPECT_EQ(f.Label14[0].text, "");
    EXPECT_EQ(f.Label15[4].text, "8841");
    EXPECT_EQ(f.FormatCode(), 41);
    EXPECT_EQ(f.ChannelCount(), 4);
    EXPECT_TRUE(m.host.errors.empty());
}

TEST(HeaderReader, FileShorterThanItsHeaderIsReportedAndThePreviousStateStays) {
    TestFolder folder;
    folder.write("GOOD.MEM", blockFile(4));
    std::vector<std::byte> cut = gen::generateRecording(blockFile(6)).bytes;
    cut.resize(1000);  // declares 7 header blocks of 512 bytes
    folder.writeBytes("CUT.MEM", cut);
    StartedModel m(folder);
    m.click("GOOD.MEM");
    m.click("CUT.MEM");
    ASSERT_EQ(m.host.errors.size(), 1u);
    EXPECT_NE(m.host.errors[0].find("CUT.MEM"), std::string::npos);
    EXPECT_NE(m.host.errors[0].find("1000 bytes"), std::string::npos);
    EXPECT_EQ(m.host.errorKinds[0], ErrorKind::Malformed);
    EXPECT_EQ(m.form.Label1.text, folder.file("GOOD.MEM").string());
    EXPECT_EQ(m.form.ChannelCount(), 4);
    EXPECT_EQ(m.form.FileRecognized, -1);
}

TEST(HeaderReader, RmsRecordingChoosesTheRmsKindAndRawOutput) {
    TestFolder folder;
    gen::RecordingSpec spec = blockFile(2);
    spec.rms = true;
    folder.write("TREND.RMS", spec);
    StartedModel m(folder);
    m.click("TREND.RMS");
    Form1Model& f = m.form;
    EXPECT_EQ(f.RmsDataFile(), 1);
    EXPECT_TRUE(isSelected(f.Option1[3]));
    EXPECT_TRUE(isSelected(f.Option2[1]));
    EXPECT_FALSE(f.Option2[0].enabled);
    EXPECT_TRUE(f.Check11.enabled);
    EXPECT_TRUE(f.Command1.enabled);
    EXPECT_FALSE(f.Command4.enabled);
}

TEST(HeaderReader, HeaderFieldsThatDoNotParseBecomeZero) {
    TestFolder folder;
    gen::RecordingSpec spec = blockFile(2);
    spec.fieldOverrides[6] = "many";
    spec.fieldOverrides[11] = "fast";
    spec.fieldOverrides[7] = "someday";
    folder.write("ODD.MEM", spec);
    StartedModel m(folder);
    m.click("ODD.MEM");
    EXPECT_EQ(m.form.LabASn.text, "0");
    EXPECT_EQ(m.form.Label21.text, "0");
    EXPECT_EQ(m.form.Lab1OutN.text, "0");
    EXPECT_EQ(m.form.Label15[0].text, "someday");
    EXPECT_EQ(m.form.SamplePeriod(), 0);
}

// A FIFO would block the read until something writes into it; a link loop is not a missing
// file. Each is refused with its own reason, by the header read and by the loader's source.
TEST(HeaderReader, OnlyRegularFilesAreReadAndAnythingElseIsNamed) {
    TestFolder folder;
    ASSERT_EQ(::mkfifo(folder.file("FIFO.MEM").c_str(), 0600), 0);
    std::filesystem::create_symlink("LOOP2.MEM", folder.file("LOOP.MEM"));
    std::filesystem::create_symlink("LOOP.MEM", folder.file("LOOP2.MEM"));
    std::filesystem::create_directory(folder.file("DIR.MEM"));
    StartedModel m(folder);
    for (const auto& [name, why] : {std::pair{"FIFO.MEM", "not a regular file (a FIFO)"},
                                    {"LOOP.MEM", "too many levels of symbolic links"},
                                    {"DIR.MEM", "not a regular file (a folder)"}}) {
        const std::string expected = folder.file(name).string() + ": " + why;
        m.host.errors.clear();
        m.click(name);
        ASSERT_EQ(m.host.errors.size(), 1u) << name;
        EXPECT_EQ(m.host.errors[0], expected);
        try {
            FileByteSource source(folder.file(name));
            ADD_FAILURE() << name << " was opened";
        } catch (const Error& error) {
            EXPECT_EQ(error.kind(), ErrorKind::CannotRead);
            EXPECT_EQ(std::string(error.what()), expected);
        }
    }
}

}  // namespace
}  // namespace pqwave
