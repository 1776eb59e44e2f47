// pqwave-cli as a separate process, as scripts run it: a CSV piped to standard output, and
// SIGTERM, SIGHUP and a second Ctrl-C during an all-files run of two jobs. However the run
// ends, no part file is left, and a cancelled run still writes the summary of what it did.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "support/analysis_run.h"

extern char** environ;

namespace pqwave {
namespace {

namespace fs = std::filesystem;
using testing::TestFolder;

struct Child {
    pid_t pid = -1;
    int stdoutPipe = -1;  // read end, when standard output is captured
};

// Standard error goes to `errFile`; standard output to a pipe or nowhere.
Child startProgram(const char* program, const std::vector<std::string>& args, const fs::path& errFile,
                   bool captureStdout, char** environment = environ) {
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int pipeEnds[2] = {-1, -1};
    if (captureStdout) {
        EXPECT_EQ(::pipe(pipeEnds), 0);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    Child child;
    EXPECT_EQ(::posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), environment), 0);
    posix_spawn_file_actions_destroy(&actions);
    if (captureStdout) {
        ::close(pipeEnds[1]);
        child.stdoutPipe = pipeEnds[0];
    }
    return child;
}

Child startCli(const std::vector<std::string>& args, const fs::path& errFile, bool captureStdout) {
    return startProgram(PQWAVE_CLI_PROGRAM, args, errFile, captureStdout);
}

std::string readAll(int fd) {
    std::string text;
    char block[65536];
    for (ssize_t n; (n = ::read(fd, block, sizeof block)) > 0;) text.append(block, static_cast<std::size_t>(n));
    ::close(fd);
    return text;
}

// The exit status, or -1 when a signal ended the program without its own clean-up.
int exitStatusOf(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct FolderState {
    std::vector<std::string> outputs;  // complete CSVs of the recordings
    std::size_t parts = 0;
};

FolderState stateOf(const TestFolder& folder) {
    FolderState state;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        const std::string name = entry.path().filename().string();
        if (name.find(".part") != std::string::npos)
            ++state.parts;
        else if (name.starts_with("06D") && name.ends_with(".csv") && fs::is_regular_file(entry.path()))
            state.outputs.push_back(name);
    }
    return state;
}

// Waits until the run has put at least `outputs` files in place and is writing the next.
bool waitUntilUnderWay(const TestFolder& folder, std::size_t outputs) {
    for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(std::chrono::milliseconds(1))) {
        const FolderState state = stateOf(folder);
        if (state.outputs.size() >= outputs && state.parts > 0) return true;
    }
    return false;
}

void writeRecordings(const TestFolder& folder, int count) {
    for (int f = 0; f < count; ++f) {
        gen::RecordingSpec spec = testing::supplyRecording(testing::supplyWith({{100, 20, 200, {}}}), 400000);
        spec.startTime = "10:00:" + std::to_string(10 + f);
        folder.write("R" + std::to_string(10 + f) + ".MEM", spec);
    }
}

TEST(CliProcess, TheVersionIsTheProjectsAndAUsageErrorExitsTwo) {
    TestFolder logs;
    for (const char* option : {"--version", "-V"}) {
        Child version = startCli({option}, logs.file("err"), true);
        EXPECT_EQ(readAll(version.stdoutPipe), std::string("pqwave-cli ") + PQWAVE_PROJECT_VERSION + "\n");
        EXPECT_EQ(exitStatusOf(version.pid), 0);
    }
    Child usage = startCli({"plot", "wave"}, logs.file("err"), true);
    EXPECT_EQ(readAll(usage.stdoutPipe), "");
    EXPECT_EQ(exitStatusOf(usage.pid), 2);
    EXPECT_EQ(logs.readText("err"),
              "pqwave-cli: plot needs wave|vector FILE\nTry 'pqwave-cli help plot' for its usage and options.\n");
}

#ifdef PQWAVE_DESKTOP_PROGRAM
// The painter is a module beside the program, loaded on the first picture: with it a PNG is
// written; a program copied away from it says which file it misses and writes nothing.
TEST(CliProcess, PicturesComeFromTheModuleBesideTheProgram) {
    TestFolder folder;
    folder.write("R.MEM", testing::supplyRecording(testing::supplyWith({{100, 20, 200, {}}}), 4000));
    const std::string recording = folder.file("R.MEM").string();
    EXPECT_EQ(exitStatusOf(startCli({"plot", "wave", recording, "-o", folder.file("a.png").string(), "-q"},
                                    folder.file("err"), false)
                               .pid),
              0);
    EXPECT_EQ(folder.readText("a.png").substr(1, 3), "PNG");

    const fs::path alone = folder.file("alone");
    fs::copy_file(PQWAVE_CLI_PROGRAM, alone);
    const Child child = startProgram(alone.c_str(), {"plot", "wave", recording, "-o", folder.file("b.png").string()},
                                     folder.file("err"), false);
    EXPECT_EQ(exitStatusOf(child.pid), 1);
    EXPECT_NE(folder.readText("err").find(folder.file("pqwave-pictures.so").string() + " cannot be loaded"),
              std::string::npos)
        << folder.readText("err");
    EXPECT_FALSE(fs::exists(folder.file("b.png")));
}

// The desktop program answers --help and --version without a window, and without a display
// says so in one line instead of Qt's abort.
TEST(CliProcess, TheDesktopProgramNeedsNoDisplayToAnswerAndSaysWhenItHasNone) {
    std::vector<std::string> kept;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (!entry.starts_with("DISPLAY=") && !entry.starts_with("WAYLAND_DISPLAY=") &&
            !entry.starts_with("QT_QPA_PLATFORM="))
            kept.push_back(entry);
    }
    std::vector<char*> noDisplay;
    for (std::string& entry : kept) noDisplay.push_back(entry.data());
    noDisplay.push_back(nullptr);
    TestFolder logs;
    Child version = startProgram(PQWAVE_DESKTOP_PROGRAM, {"--version"}, logs.file("err"), true, noDisplay.data());
    EXPECT_EQ(readAll(version.stdoutPipe), std::string("pqwave ") + PQWAVE_PROJECT_VERSION + "\n");
    EXPECT_EQ(exitStatusOf(version.pid), 0);
    Child help = startProgram(PQWAVE_DESKTOP_PROGRAM, {"--help"}, logs.file("err"), true, noDisplay.data());
    EXPECT_TRUE(readAll(help.stdoutPipe).starts_with("usage: pqwave [FILE|FOLDER]\n"));
    EXPECT_EQ(exitStatusOf(help.pid), 0);
    Child window = startProgram(PQWAVE_DESKTOP_PROGRAM, {}, logs.file("err"), true, noDisplay.data());
    EXPECT_EQ(readAll(window.stdoutPipe), "");
    EXPECT_EQ(exitStatusOf(window.pid), 1);
    const std::string said = logs.readText("err");
    EXPECT_TRUE(said.starts_with("pqwave: no display to open the window on")) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}
#endif

TEST(CliProcess, ADashPipesTheWholeCsvAndNothingElseToStandardOutput) {
    TestFolder folder, logs;
    folder.write("A.MEM", testing::supplyRecording(testing::supplyWith({{100, 20, 200, {}}})));
    const std::string file = folder.file("A.MEM").string();
    Child piped = startCli({"convert", file, "-o", "-"}, logs.file("piped"), true);
    const std::string csv = readAll(piped.stdoutPipe);
    EXPECT_EQ(exitStatusOf(piped.pid), 0) << logs.readText("piped");
    Child written = startCli({"convert", file, "-o", folder.file("out.csv").string()}, logs.file("written"), true);
    EXPECT_EQ(readAll(written.stdoutPipe), "");
    EXPECT_EQ(exitStatusOf(written.pid), 0) << logs.readText("written");
    EXPECT_EQ(csv, folder.readText("out.csv"));
    EXPECT_GT(std::count(csv.begin(), csv.end(), '\n'), 2);
    EXPECT_FALSE(fs::exists(fs::current_path() / "-"));
}

// The summary holds a row for each output in place, and names only those.
void expectSummaryOfTheFilesDone(const TestFolder& folder) {
    const FolderState state = stateOf(folder);
    EXPECT_EQ(state.parts, 0u);
    ASSERT_FALSE(state.outputs.empty());
    testing::CsvFile summary(folder.file("PQp-pDT.csv"));
    ASSERT_EQ(summary.rows.size(), state.outputs.size() + 1);
    for (std::size_t r = 1; r < summary.rows.size(); ++r)
        EXPECT_TRUE(fs::exists(folder.file(summary.rows[r][0]))) << summary.rows[r][0];
}

TEST(CliProcess, SigtermAndSighupCancelABatchAsCtrlCDoes) {
    for (int signal : {SIGTERM, SIGHUP}) {
        TestFolder folder, logs;
        writeRecordings(folder, 8);
        Child batch =
            startCli({"batch", folder.path().string(), "--jobs", "2", "--set", "Option1=1"}, logs.file("err"), false);
        ASSERT_TRUE(waitUntilUnderWay(folder, 1));
        ::kill(batch.pid, signal);
        EXPECT_EQ(exitStatusOf(batch.pid), 128 + signal) << logs.readText("err");
        EXPECT_NE(logs.readText("err").find(": cancelled after "), std::string::npos) << logs.readText("err");
        expectSummaryOfTheFilesDone(folder);
    }
}

// A FIFO nobody reads holds one file's output open, so the run cannot reach its next check:
// the first Ctrl-C asks in vain, the second ends the program, and the files the other job
// has finished, waiting to be put in place, are removed all the same.
TEST(CliProcess, ASecondCtrlCStillRemovesEveryUnfinishedFile) {
    TestFolder folder, logs;
    writeRecordings(folder, 6);
    ASSERT_EQ(::mkfifo(folder.file("06D10-00-12.csv").c_str(), 0600), 0);
    Child batch =
        startCli({"batch", folder.path().string(), "--jobs", "2", "--set", "Option1=1"}, logs.file("err"), false);
    ASSERT_TRUE(waitUntilUnderWay(folder, 2));
    ::kill(batch.pid, SIGINT);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(::waitpid(batch.pid, nullptr, WNOHANG), 0) << "the run ended at the first Ctrl-C";
    ::kill(batch.pid, SIGINT);
    EXPECT_EQ(exitStatusOf(batch.pid), 130) << logs.readText("err");
    EXPECT_EQ(stateOf(folder).parts, 0u);
    EXPECT_EQ(stateOf(folder).outputs.size(), 2u);
}

}  // namespace
}  // namespace pqwave
