#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/cli.h"
#include "support/cli_run.h"
#include "support/test_folder.h"

namespace pqwave {
namespace {

using testing::cli;
using testing::CliRun;

using testing::TestFolder;

TEST(CliInfo, PrintsTheModelAfterTheClickAndTheSettings) {
    TestFolder folder;
    gen::RecordingSpec spec;
    spec.layout = 80;
    spec.channels.assign(4, gen::ChannelSpec{});
    folder.write("MR.MEM", spec);
    // The PT ratio first: raw-data output hides it.
    CliRun run = cli({"info", folder.file("MR.MEM").string(), "--all", "--set", "Text7(0)=30", "--set", "Option2=1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.has("Label15(4)=MR8880"));
    EXPECT_TRUE(run.has("Label15(2)=5ms/DIV"));
    EXPECT_TRUE(run.has("FormatCode=80"));
    EXPECT_TRUE(run.has("ChannelCount=4"));
    EXPECT_TRUE(run.has("TimeUnitFactor=1000"));
    EXPECT_TRUE(run.has("FileRecognized=-1"));
    EXPECT_TRUE(run.has("Option2(1)=1"));
    EXPECT_TRUE(run.has("Frame4.Visible=1"));
    EXPECT_TRUE(run.has("Text7(0)=30"));
    EXPECT_TRUE(run.has("Check6=0"));
    EXPECT_TRUE(run.has("Text5=" + folder.file("06D13-45-30.csv").string()));
}

// Without --all: what a person asks of a recording first, and what can be done with it.
TEST(CliInfo, SaysReadablyWhatTheRecordingIsAndWhatCanBeDoneWithIt) {
    TestFolder folder;
    gen::RecordingSpec spec;  // 5 ms per division of 100 samples: 20 kHz, 20000 samples in 1 s
    spec.sampleCount = 20000;
    spec.channels.assign(3, gen::ChannelSpec{});
    spec.channels[2].range = "500mV";
    folder.write("A.MEM", spec);
    spec.rms = true;
    spec.channels.resize(2);
    folder.write("R.RMS", spec);

    const CliRun waveform = cli({"info", folder.file("A.MEM").string()});
    ASSERT_EQ(waveform.status, 0) << waveform.err;
    EXPECT_EQ(waveform.out, folder.file("A.MEM").string() +
                                "\n"
                                "  model      8841 (8808･35･41･80波形, --kind waveform)\n"
                                "  start      2024/05/06 13:45:30\n"
                                "  time/div   5ms/DIV, 100 samples per division\n"
                                "  sampling   20000 Hz\n"
                                "  samples    20000 per channel\n"
                                "  duration   1 s\n"
                                "  channels   3\n"
                                "    ch1      100V/DIV\n"
                                "    ch2      100V/DIV\n"
                                "    ch3      500mV/DIV\n"
                                "  convert    --processing rms|raw|vipq-fft|ch-fft, --moving-fft, --10ms\n"
                                "  also       plot wave, plot vector, pq, export\n"
                                "  output     " +
                                folder.file("06D13-45-30.csv").string() + "\n");
    // An RMS recording has no interval analysis, no vector window and no power quality.
    const CliRun rms = cli({"info", folder.file("R.RMS").string()});
    ASSERT_EQ(rms.status, 0) << rms.err;
    EXPECT_NE(rms.out.find("  channels   2, each a maximum and a minimum series\n"), std::string::npos) << rms.out;
    EXPECT_NE(rms.out.find("  convert    --processing raw|ch-fft, --moving-fft\n"), std::string::npos) << rms.out;
    EXPECT_NE(rms.out.find("  also       plot wave, export, batch --time-of-day\n"), std::string::npos) << rms.out;
}

TEST(CliInfo, ExitStatusesSayWhatWentWrong) {
    TestFolder folder;
    folder.writeBytes("TEXT.TXT", std::vector<std::byte>(600, std::byte{'a'}));
    std::vector<std::byte> cut = gen::generateRecording(gen::RecordingSpec{}).bytes;
    cut.resize(700);
    folder.writeBytes("CUT.MEM", cut);
    folder.write("GOOD.MEM", gen::RecordingSpec{});

    CliRun unrecognised = cli({"info", folder.file("TEXT.TXT").string()});
    EXPECT_EQ(unrecognised.status, 3);
    EXPECT_NE(unrecognised.err.find("TEXT.TXT"), std::string::npos);

    CliRun missing = cli({"info", folder.file("NONE.MEM").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("NONE.MEM"), std::string::npos);

    CliRun shortHeader = cli({"info", folder.file("CUT.MEM").string()});
    EXPECT_EQ(shortHeader.status, 1);
    EXPECT_NE(shortHeader.err.find("CUT.MEM"), std::string::npos);

    EXPECT_EQ(cli({"info"}).status, 2);
    EXPECT_EQ(cli({"explain", folder.file("GOOD.MEM").string()}).status, 2);
    EXPECT_EQ(cli({"info", folder.file("GOOD.MEM").string(), "--set", "Nothing=1"}).status, 2);
    EXPECT_EQ(cli({"info", folder.file("GOOD.MEM").string(), "--set", "Label21=5"}).status, 2);
    EXPECT_EQ(cli({"info", folder.file("GOOD.MEM").string(), "--set", "Check6=7"}).status, 2);
    EXPECT_EQ(cli({"info", folder.file("GOOD.MEM").string(), "--set"}).status, 2);
    EXPECT_EQ(cli({"--help"}).status, 0);
}

TEST(CliInfo, AFifoOrALinkLoopIsNamedForWhatItIs) {
    TestFolder folder;
    ASSERT_EQ(::mkfifo(folder.file("FIFO.MEM").c_str(), 0600), 0);
    std::filesystem::create_symlink("LOOP.MEM", folder.file("LOOP.MEM"));
    for (const char* command : {"info", "convert"}) {
        CliRun fifo = cli({command, folder.file("FIFO.MEM").string()});
        EXPECT_EQ(fifo.status, 1);
        EXPECT_EQ(fifo.err, "pqwave-cli: " + folder.file("FIFO.MEM").string() + ": not a regular file (a FIFO)\n");
        CliRun loop = cli({command, folder.file("LOOP.MEM").string()});
        EXPECT_EQ(loop.status, 1);
        EXPECT_EQ(loop.err,
                  "pqwave-cli: " + folder.file("LOOP.MEM").string() + ": too many levels of symbolic links\n");
    }
}

TEST(CliInfo, SettingsRunTheirEventsInOrder) {
    TestFolder folder;
    gen::RecordingSpec spec;
    spec.timePerDivision = "50ms";
    folder.write("A.MEM", spec);
    CliRun run = cli({"info", folder.file("A.MEM").string(), "--all", "--set", "Option5=1", "--set", "Option2=1",
                      "--set", "Text4=0.5", "--set", "Check16=1", "--set", "Combo1(0)=2"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.has("Text1=16.6666666666667"));
    // The assignment change read the header again, which rounds to three decimals.
    EXPECT_TRUE(run.has("Lab1OutN=33.333"));
    EXPECT_TRUE(run.has("Text4=1"));
    EXPECT_TRUE(run.has("ChannelMap(2)=0"));
    EXPECT_TRUE(run.has("Combo1(0).Visible=1"));
}

// Ctrl-C while a conversion writes: the CLI says so naming the file, exits 130 as a program
// stopped by Ctrl-C does, and leaves neither the unfinished output nor an earlier file changed.
TEST(CliConvert, CtrlCStopsTheRunAndRemovesItsUnfinishedOutput) {
    TestFolder folder;
    gen::RecordingSpec spec;
    spec.channels.assign(4, gen::ChannelSpec{});
    spec.sampleCount = 1000000;
    folder.write("LONG.MEM", spec);
    {
        std::ofstream earlier(folder.file("out.csv"));
        earlier << "earlier";
    }
    // A Ctrl-C that comes after the command is over must not end the test program.
    auto previous = std::signal(SIGINT, SIG_IGN);
    std::atomic<bool> done = false;
    std::thread pressCtrlC([&] {
        // The unfinished output appears beside its final name once the run writes.
        while (!done) {
            for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
                if (entry.path().filename().string().starts_with("out.csv.part")) {
                    ::kill(::getpid(), SIGINT);
                    return;
                }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    CliRun run = cli({"convert", folder.file("LONG.MEM").string(), "--set", "Option2=1", "--set", "Check15=1", "-o",
                      folder.file("out.csv").string()});
    done = true;
    pressCtrlC.join();
    std::signal(SIGINT, previous);

    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_NE(run.err.find("LONG.MEM: cancelled"), std::string::npos) << run.err;
    EXPECT_EQ(folder.readText("out.csv"), "earlier");
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) ++files;
    EXPECT_EQ(files, 2);
}

}  // namespace
}  // namespace pqwave
