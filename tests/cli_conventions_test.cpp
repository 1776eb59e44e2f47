// pqwave-cli by the conventions of well-liked tools: help per command, usage errors in two
// lines, names a person can remember that make exactly the --set settings they stand for, "did
// you mean" for a misspelling, and a setting on a control a user cannot reach refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/cli.h"
#include "support/cli_run.h"
#include "support/test_folder.h"

namespace pqwave {
namespace {

using testing::cli;
using testing::CliRun;

using testing::TestFolder;

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CliConventions, EachCommandHasItsOwnHelpAndAUsageErrorIsTwoLines) {
    const CliRun general = cli({"help"});
    EXPECT_EQ(general.status, 0);
    for (const char* command :
         {"info FILE", "convert FILE", "batch FOLDER", "export FILE", "plot wave|vector FILE", "pq FILE|FOLDER"})
        EXPECT_TRUE(has(general.out, command)) << command;
    EXPECT_EQ(cli({"--help"}).out, general.out);

    const CliRun convert = cli({"help", "convert"});
    EXPECT_EQ(convert.status, 0);
    EXPECT_EQ(cli({"convert", "--help"}).out, convert.out);
    EXPECT_EQ(cli({"convert", "-h"}).out, convert.out);
    EXPECT_TRUE(has(convert.out, "-o, --output OUTPUT"));
    EXPECT_FALSE(has(convert.out, "--traces"));  // plot's
    EXPECT_FALSE(has(convert.out, "--jobs"));    // batch's
    const CliRun plot = cli({"plot", "--help"});
    EXPECT_EQ(plot.status, 0);
    EXPECT_TRUE(has(plot.out, "--traces LIST"));
    EXPECT_TRUE(has(cli({"pq", "--help"}).out, "--nominal VOLTS"));

    // What is wrong, and which help to read: never the whole help.
    const CliRun noFile = cli({"convert"});
    EXPECT_EQ(noFile.status, 2);
    EXPECT_EQ(noFile.err, "pqwave-cli: convert needs FILE\nTry 'pqwave-cli help convert' for its usage and options.\n");
    const CliRun misspelt = cli({"convert", "A.MEM", "--procesing", "raw"});
    EXPECT_EQ(misspelt.status, 2);
    EXPECT_EQ(misspelt.errLines(), 2);
    EXPECT_TRUE(has(misspelt.err, "--procesing; did you mean --processing?")) << misspelt.err;
    const CliRun command = cli({"convrt", "A.MEM"});
    EXPECT_EQ(command.status, 2);
    EXPECT_TRUE(has(command.err, "did you mean convert?")) << command.err;
    EXPECT_EQ(command.errLines(), 2);
    const CliRun choice = cli({"convert", "A.MEM", "--processing", "rsm"});
    EXPECT_EQ(choice.status, 2);
    EXPECT_TRUE(has(choice.err, "did you mean rms?")) << choice.err;
    EXPECT_EQ(cli({"help", "bogus"}).status, 2);
    EXPECT_EQ(cli({}).status, 2);
}

class Settings : public ::testing::Test {
protected:
    TestFolder folder;
    std::string file;
    void SetUp() override {
        gen::RecordingSpec spec;
        spec.channels.assign(4, gen::ChannelSpec{});
        folder.write("A.MEM", spec);
        file = folder.file("A.MEM").string();
    }
    CliRun info(std::vector<std::string> settings) {
        settings.insert(settings.begin(), {"info", file, "--all"});
        return cli(settings);
    }
};

TEST_F(Settings, EachAliasMakesTheSettingsItStandsForInItsPlace) {
    using Line = std::vector<std::string>;
    const std::vector<std::pair<Line, Line>> same = {
        {{"--processing", "raw"}, {"--set", "Option2=1"}},
        {{"--processing", "vipq-fft"}, {"--set", "Option2=2"}},
        {{"--moving-fft"}, {"--set", "Option2=3", "--set", "Check4=1"}},
        {{"--10ms"}, {"--set", "Option2=0", "--set", "Check13=1"}},
        {{"--kind", "8840"}, {"--set", "Option1=0"}},
        {{"--kind", "logger"}, {"--set", "Option1=4"}},
        {{"--interval", "40"}, {"--set", "Text1=40"}},
        {{"--60hz"}, {"--set", "Option5=1"}},
        {{"--fundamental", "--fifth"}, {"--set", "Check1=1", "--set", "Check3=1"}},
        {{"--harmonics"}, {"--set", "Check1=1", "--set", "Check3=1"}},
        {{"--frequency"}, {"--set", "Check5=1"}},
        {{"--per-phase"}, {"--set", "Check6=1"}},
        {{"--pt", "30"}, {"--set", "Text7(0)=30"}},
        {{"--clamp", "2=500"}, {"--set", "Text7(2)=500"}},
        {{"--processing", "raw", "--range", "10:99"},
         {"--set", "Option2=1", "--set", "Text2(0)=10", "--set", "Text2(1)=99"}},
        {{"--processing", "raw", "--step", "0.5"}, {"--set", "Option2=1", "--set", "Text4=0.5"}},
        {{"--year", "2006"}, {"--set", "Text6=2006"}},
        // In command-line order with --set: the interval the 60 Hz choice writes, then 25 ms.
        {{"--60hz", "--set", "Text1=25"}, {"--set", "Option5=1", "--interval", "25"}},
    };
    const CliRun untouched = info({});
    ASSERT_EQ(untouched.status, 0) << untouched.err;
    for (const auto& [alias, set] : same) {
        const CliRun byAlias = info(alias), bySet = info(set);
        ASSERT_EQ(byAlias.status, 0) << alias[0] << ": " << byAlias.err;
        EXPECT_EQ(byAlias.out, bySet.out) << alias[0];
        EXPECT_NE(byAlias.out, untouched.out) << alias[0];
    }
    const CliRun help = cli({"help", "settings"});
    for (const auto& [alias, set] : same) EXPECT_TRUE(has(help.out, alias[0] + " ")) << alias[0];
    EXPECT_TRUE(has(help.out, "--set Option2=3 --set Check4=1"));
}

TEST_F(Settings, AControlAUserCannotReachIsRefusedNamingItAndWhy) {
    struct Case {
        std::vector<std::string> settings;
        std::string control, why;
    };
    const std::vector<Case> refused = {
        // The moving FFT's box shows only with CHデータFFT.
        {{"--processing", "vipq-fft", "--set", "Check4=1"}, "時間移動FFT (Check4)", "it is hidden"},
        // 60 Hz makes the interval one cycle, and 周波数 needs 20 ms.
        {{"--60hz", "--frequency"}, "周波数 (Check5)", "it is disabled"},
        {{"--processing", "raw", "--pt", "30"}, "Text7(0)", "it is hidden"},
        {{"--set", "Text4=2"}, "Text4", "it sits in the frame 生データ出力 (Frame4), which is hidden"},
        {{"--set", "Text11=10"}, "Text11", "時間移動FFT (Frame8), which is hidden"},
        // A logger recording's processing is fixed: its frame is disabled.
        {{"--kind", "logger", "--processing", "raw"},
         "生データ出力 (Option2(1))",
         "処理内容 (Frame2), which is disabled"},
    };
    for (const Case& c : refused) {
        const CliRun run = info(c.settings);
        EXPECT_EQ(run.status, 3) << c.control << ": " << run.err;
        EXPECT_EQ(run.errLines(), 1) << run.err;
        EXPECT_TRUE(has(run.err, "a user cannot reach " + c.control + " with these settings")) << run.err;
        EXPECT_TRUE(has(run.err, c.why)) << run.err;
    }
    // Reached the way a user reaches them, they are taken.
    EXPECT_EQ(info({"--processing", "ch-fft", "--set", "Check4=1", "--set", "Text11=10"}).status, 0);
    EXPECT_EQ(info({"--processing", "raw", "--set", "Text4=2"}).status, 0);
    EXPECT_EQ(info({"--60hz", "--50hz", "--frequency"}).status, 0);

    const CliRun misspelt = info({"--set", "Chek4=1"});
    EXPECT_EQ(misspelt.status, 2);
    EXPECT_TRUE(has(misspelt.err, "no control Chek4; did you mean Check4?")) << misspelt.err;
    EXPECT_TRUE(has(info({"--set", "Text7(9)=1"}).err, "Text7 has the indexes 0 to 7"));
    EXPECT_EQ(info({"--clamp", "0=500"}).status, 2);  // circuit 0 is no circuit: Text7(0) is the PT ratio
    EXPECT_EQ(info({"--pt", "sixty"}).status, 2);
}

}  // namespace
}  // namespace pqwave
