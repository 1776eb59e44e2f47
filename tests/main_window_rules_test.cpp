#include <gtest/gtest.h>

#include "support/recording_host.h"

namespace pqwave {
namespace {

using testing::StartedModel;
using testing::TestFolder;

TEST(MainWindowStartup, ShowsTheInformationMessageAndTheDefaults) {
    TestFolder folder;
    StartedModel m(folder);
    Form1Model& f = m.form;
    ASSERT_EQ(m.host.messages.size(), 1u);
    EXPECT_EQ(m.host.messages[0].title, "ソフトウェアについて");
    const std::string& text = m.host.messages[0].text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 5);  // seven lines, the fifth and sixth joined
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_NE(text.find("測定でき、電圧測定チャンネル"), std::string::npos);

    EXPECT_EQ(f.Text6.text, "2026");
    EXPECT_TRUE(isSelected(f.Option1[2]));
    EXPECT_EQ(f.File1.pattern, "*.*");
    EXPECT_FALSE(f.Command1.enabled);
    EXPECT_FALSE(f.Command3.enabled);
    EXPECT_TRUE(isSelected(f.Option2[0]));
    EXPECT_TRUE(f.Frame3.visible);
    EXPECT_FALSE(f.Frame4.visible);
    EXPECT_EQ(f.Text1.text, "20");
    EXPECT_EQ(f.Text7[0].text, "60");
    EXPECT_EQ(f.Text7[7].text, "200");
    EXPECT_EQ(f.Text3[15].text, "1");
    EXPECT_EQ(f.Text10[0].text, "0.05");
    EXPECT_EQ(f.Label38[1].text, "256");
    EXPECT_EQ(f.SupplyFrequency, 50);
    EXPECT_EQ(f.RawOutputStep, 1);
    for (int j = 0; j < kPositions; ++j) {
        EXPECT_EQ(f.Combo1[j].value, j);
        EXPECT_EQ(f.ChannelMap[j], j);
    }
    EXPECT_EQ(f.Combo1[2].text, "Ch 3");
    EXPECT_EQ(f.Combo1[15].text, "Ch16");
}

TEST(MainWindowRules, SupplyFrequencySetsTheOutputInterval) {
    TestFolder folder;
    StartedModel m(folder);
    select(m.form.Option5[1]);
    EXPECT_EQ(m.form.Text1.text, "16.6666666666667");
    EXPECT_EQ(m.form.SupplyFrequency, 60);
    EXPECT_FALSE(m.form.Check5.enabled);  // the frequency column needs exactly 20 ms
    select(m.form.Option5[0]);
    EXPECT_EQ(m.form.Text1.text, "20");
    EXPECT_TRUE(m.form.Check5.enabled);
}

TEST(MainWindowRules, OutputIntervalOfZeroBecomesOneAndDerivesSamplesPerOutput) {
    TestFolder folder;
    gen::RecordingSpec spec;
    spec.timePerDivision = "50ms";
    folder.write("A.MEM", spec);
    StartedModel m(folder);
    m.click("A.MEM");
    EXPECT_EQ(m.form.Lab1OutN.text, "40");
    setText(m.form.Text1, "0");
    EXPECT_EQ(m.form.Text1.text, "1");
    EXPECT_EQ(m.form.Lab1OutN.text, "2");
    select(m.form.Option5[1]);
    EXPECT_EQ(m.form.Lab1OutN.text, "33.33333");  // rewritten as a single
}

TEST(MainWindowRules, RawOutputStepAndCount) {
    TestFolder folder;
    StartedModel m(folder);
    Form1Model& f = m.form;
    setText(f.Text4, "0.5");
    f.Text4_LostFocus();
    EXPECT_EQ(f.Text4.text, "1");
    EXPECT_EQ(f.RawOutputStep, 1);
    setText(f.Text4, "3");
    f.Text4_LostFocus();
    setText(f.Text2[0], "0");
    setText(f.Text2[1], "9");
    EXPECT_EQ(f.Label24.text, "3");
}

TEST(MainWindowRules, ProcessingChoiceShowsItsFrames) {
    TestFolder folder;
    StartedModel m(folder);
    Form1Model& f = m.form;
    select(f.Option2[1]);
    EXPECT_TRUE(f.Frame4.visible);
    EXPECT_FALSE(f.Frame3.visible);
    EXPECT_FALSE(f.Frame5[0].visible);
    EXPECT_TRUE(f.Text3[0].visible);
    EXPECT_FALSE(f.Text7[0].visible);

    select(f.Option2[0]);
    setValue(f.Check12[0], 1);
    EXPECT_TRUE(f.Frame6[0].visible);
    select(f.Option2[1]);
    EXPECT_EQ(f.Check12[0].value, 0);  // hidden and cleared outside the RMS computation
    EXPECT_FALSE(f.Frame6[0].visible);

    select(f.Option1[3]);
    EXPECT_TRUE(f.Check11.enabled);
    setValue(f.Check11, 1);
    select(f.Option2[3]);
    EXPECT_EQ(f.Check11.value, 0);
    EXPECT_FALSE(f.Check11.enabled);
    EXPECT_TRUE(f.Check4.visible);
    setValue(f.Check4, 1);
    EXPECT_TRUE(f.Frame8.visible);
    select(f.Option2[2]);
    EXPECT_FALSE(f.Check4.visible);
    EXPECT_FALSE(f.Frame8.visible);
    EXPECT_FALSE(f.Text1.enabled);
    EXPECT_TRUE(f.Frame3.visible);
}

TEST(MainWindowRules, CheckBoxesThatExcludeOrDisableOthers) {
    TestFolder folder;
    StartedModel m(folder);
    Form1Model& f = m.form;
    setValue(f.Check1, 1);
    setValue(f.Check13, 1);
    EXPECT_EQ(f.Check1.value, 0);
    EXPECT_FALSE(f.Check1.enabled);
    EXPECT_FALSE(f.Check5.enabled);
    setValue(f.Check13, 0);
    EXPECT_TRUE(f.Check3.enabled);

    setValue(f.Check2, 1);
    EXPECT_FALSE(f.Option4[0].enabled);
    EXPECT_FALSE(f.Option4[1].enabled);

    setValue(f.Check8[3], 1);
    EXPECT_FALSE(f.Check9[3].enabled);
    setValue(f.Check8[3], 0);
    EXPECT_TRUE(f.Check9[3].enabled);

    select(f.Option4[1]);
    EXPECT_EQ(f.Check8[6].text, "Y-Δ-30");
    EXPECT_EQ(f.Check9[6].text, "Y-Δ+30");

    setValue(f.Check6, 1);
    EXPECT_TRUE(f.Frame7.visible);
    setValue(f.Check14, 1);
    EXPECT_TRUE(f.Text10[2].enabled);
}

TEST(MainWindowRules, StatisticsOnlyDisablesConversion) {
    TestFolder folder;
    folder.write("A.MEM", gen::RecordingSpec{});
    StartedModel m(folder);
    m.click("A.MEM");
    EXPECT_TRUE(m.form.Command1.enabled);
    setValue(m.form.Check10, 1);
    EXPECT_FALSE(m.form.Command1.enabled);
    setValue(m.form.Check10, 0);
    EXPECT_TRUE(m.form.Command1.enabled);
}

TEST(ChannelAssignment, ChoosingAChannelSwapsItWithThePositionThatHeldIt) {
    TestFolder folder;
    gen::RecordingSpec spec;
    spec.channels.assign(4, gen::ChannelSpec{});
    spec.channels[2].range = "500mV";
    folder.write("A.MEM", spec);
    StartedModel m(folder);
    Form1Model& f = m.form;
    m.click("A.MEM");
    f.LoadedFileName() = f.Label1.text;
    setValue(f.Check16, 1);
    EXPECT_TRUE(f.Combo1[0].visible);
    EXPECT_FALSE(f.Label12[0].visible);

    setListIndex(f.Combo1[0], 2);  // "Ch 3" into position 0
    EXPECT_EQ(f.ChannelSelection[0], 2);
    EXPECT_EQ(f.ChannelSelection[2], 0);
    EXPECT_EQ(f.Combo1[2].value, 0);
    EXPECT_EQ(f.ChannelMap[2], 0);
    EXPECT_EQ(f.ChannelMap[0], 2);
    EXPECT_TRUE(f.LoadedFileName().empty());  // the samples must be read again
    // The header was read again under the new assignment: file channel 0 shows at position 2.
    EXPECT_EQ(f.Label14[2].text, "100V/DIV");
    EXPECT_EQ(f.Label14[0].text, "500mV/DIV");

    setValue(f.Check16, 0);
    for (int j = 0; j < kPositions; ++j) EXPECT_EQ(f.ChannelMap[j], j);
    EXPECT_EQ(f.Combo1[0].value, 0);
    EXPECT_EQ(f.Label14[0].text, "100V/DIV");
    EXPECT_TRUE(f.Label12[0].visible);
}

TEST(ChannelAssignment, InversionForcesTheNextReload) {
    TestFolder folder;
    StartedModel m(folder);
    m.form.LoadedFileName() = "/somewhere/A.MEM";
    setValue(m.form.Check17[5], 1);
    EXPECT_TRUE(m.form.LoadedFileName().empty());
}

TEST(FileList, PatternsMatchCaseInsensitively) {
    TestFolder folder;
    folder.write("UPPER.MEM", gen::RecordingSpec{});
    folder.write("lower.mem", gen::RecordingSpec{});
    folder.write("OTHER.WAV", gen::RecordingSpec{});
    folder.writeBytes("README", {});
    StartedModel m(folder);
    EXPECT_EQ(m.form.File1.names.size(), 4u);  // "*.*" also lists a name without extension
    select(m.form.Option1[1]);
    EXPECT_EQ(m.form.File1.names, (std::vector<std::string>{"lower.mem", "UPPER.MEM"}));
    select(m.form.Option1[0]);
    EXPECT_EQ(m.form.File1.names, (std::vector<std::string>{"OTHER.WAV"}));
}

TEST(DataKind, CommandsFollowTheModelOfTheLastFile) {
    TestFolder folder;
    gen::RecordingSpec logger;
    logger.layout = 20;
    folder.write("LOG.MEM", logger);
    folder.write("WAVE.MEM", gen::RecordingSpec{});
    StartedModel m(folder);
    Form1Model& f = m.form;
    m.click("WAVE.MEM");
    select(f.Option1[4]);  // a logger choice with an 8841 file
    EXPECT_FALSE(f.Command1.enabled);
    EXPECT_TRUE(isSelected(f.Option2[1]));
    select(f.Option1[1]);
    EXPECT_TRUE(f.Command1.enabled);
    EXPECT_TRUE(f.Frame2.enabled);
    select(f.Option1[0]);
    EXPECT_FALSE(f.Command1.enabled);
    select(f.Option1[2]);
    EXPECT_FALSE(f.Command3.enabled);
    m.click("LOG.MEM");
    EXPECT_TRUE(f.Command1.enabled);
    EXPECT_TRUE(f.Command2.enabled);
}

}  // namespace
}  // namespace pqwave
