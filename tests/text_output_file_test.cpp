#include "common/text_output_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include "common/error.h"
#include "common/text.h"
#include "support/test_folder.h"

namespace pqwave {
namespace {

TEST(TextOutputFile, WritesCp932WithCrLf) {
    testing::TestFolder folder;
    TextOutputFile file(folder.file("out.csv"));
    file.writeLine("秒,V(V),5r1(ﾟ)");
    file.writeLine("0.02, 6600 ");
    file.commit();
    std::string bytes = folder.readText("out.csv");
    EXPECT_EQ(bytes, "\x95\x62,V(V),5r1(\xDF)\r\n0.02, 6600 \r\n");
    EXPECT_EQ(cp932ToUtf8(bytes), "秒,V(V),5r1(ﾟ)\r\n0.02, 6600 \r\n");
}

TEST(TextOutputFile, AFileThatIsNotCommittedLeavesTheEarlierFileAsItWas) {
    testing::TestFolder folder;
    {
        TextOutputFile first(folder.file("out.csv"));
        first.writeLine("earlier");
        first.commit();
    }
    {
        TextOutputFile second(folder.file("out.csv"));
        second.writeLine("half a run");
    }  // a run that failed before commit
    EXPECT_EQ(folder.readText("out.csv"), "earlier\r\n");
    std::size_t entries = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder.path())) ++entries;
    EXPECT_EQ(entries, 1u);  // no partial file left behind
}

// The files of a pair are both finished before either is renamed; one that is finished but
// never committed is removed like any unfinished file.
TEST(TextOutputFile, AFinishedFileReplacesTheEarlierOneOnlyWhenCommitted) {
    testing::TestFolder folder;
    {
        TextOutputFile first(folder.file("out.dat"));
        first.writeLine("earlier");
        first.commit();
    }
    TextOutputFile second(folder.file("out.dat"));
    second.writeLine("new");
    second.finish();
    EXPECT_EQ(folder.readText("out.dat"), "earlier\r\n");
    {
        TextOutputFile abandoned(folder.file("out.cfg"));
        abandoned.writeLine("half a pair");
        abandoned.finish();
    }
    EXPECT_FALSE(std::filesystem::exists(folder.file("out.cfg")));
    second.commit();
    EXPECT_EQ(folder.readText("out.dat"), "new\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(TextOutputFile, AppendKeepsWhatIsThere) {
    testing::TestFolder folder;
    for (const char* line : {"one", "two"}) {
        TextOutputFile file(folder.file("summary.csv"), TextOutputFile::Mode::Append);
        file.writeLine(line);
        file.commit();
    }
    EXPECT_EQ(folder.readText("summary.csv"), "one\r\ntwo\r\n");
}

TEST(TextOutputFile, AFolderThatDoesNotExistIsReportedWithTheName) {
    testing::TestFolder folder;
    try {
        TextOutputFile file(folder.file("missing/out.csv"));
        FAIL() << "opened a file in a missing folder";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::CannotWrite);
        EXPECT_NE(std::string(error.what()).find("missing/out.csv"), std::string::npos);
    }
}

namespace fs = std::filesystem;

std::size_t partFilesIn(const fs::path& folder) {
    std::size_t parts = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        parts += entry.path().filename().string().find(".part") != std::string::npos;
    return parts;
}

void writeOne(const fs::path& name, const std::string& line) {
    TextOutputFile file(name);
    file.writeLine(line);
    file.commit();
}

// A link is kept and its final target replaced, through a chain of links, relative or not; a
// link that points nowhere creates its target.
TEST(TextOutputFile, ALinkIsWrittenAtItsFinalTargetAndKept) {
    testing::TestFolder folder;
    std::ofstream(folder.file("real.csv")) << "earlier";
    fs::create_symlink("real.csv", folder.file("first"));
    fs::create_symlink(folder.file("first"), folder.file("out.csv"));
    writeOne(folder.file("out.csv"), "new");
    EXPECT_TRUE(fs::is_symlink(folder.file("out.csv")));
    EXPECT_TRUE(fs::is_symlink(folder.file("first")));
    EXPECT_EQ(folder.readText("real.csv"), "new\r\n");

    fs::create_symlink("made.csv", folder.file("dangling.csv"));
    writeOne(folder.file("dangling.csv"), "made");
    EXPECT_TRUE(fs::is_symlink(folder.file("dangling.csv")));
    EXPECT_EQ(folder.readText("made.csv"), "made\r\n");
    EXPECT_EQ(partFilesIn(folder.path()), 0u);
}

TEST(TextOutputFile, AFolderOrALoopOfLinksIsRefusedByName) {
    testing::TestFolder folder;
    fs::create_directory(folder.file("dir.csv"));
    fs::create_symlink("b", folder.file("a"));
    fs::create_symlink("a", folder.file("b"));
    for (const auto& [name, why] : {std::pair{"dir.csv", "not a file an output can replace (a folder)"},
                                    {"a", "too many levels of symbolic links"}}) {
        try {
            TextOutputFile file(folder.file(name));
            ADD_FAILURE() << name << " was opened";
        } catch (const Error& error) {
            EXPECT_EQ(error.kind(), ErrorKind::CannotWrite);
            EXPECT_EQ(std::string(error.what()), folder.file(name).string() + ": " + why);
        }
    }
    EXPECT_TRUE(fs::is_directory(folder.file("dir.csv")));
    EXPECT_EQ(partFilesIn(folder.path()), 0u);
}

// A FIFO gets every byte as it is written, and stays a FIFO: nothing is written beside it.
TEST(TextOutputFile, AFifoIsWrittenIntoNotReplaced) {
    testing::TestFolder folder;
    const fs::path fifo = folder.file("pipe.csv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] {
        std::ifstream in(fifo, std::ios::binary);
        received.assign(std::istreambuf_iterator<char>(in), {});
    });
    writeOne(fifo, "秒,V");
    reader.join();
    EXPECT_EQ(received, "\x95\x62,V\r\n");
    struct stat st;
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(partFilesIn(folder.path()), 0u);
}

// Only root can replace a device node; the device must still be there afterwards.
TEST(TextOutputFile, ACharacterDeviceIsWrittenIntoNotReplaced) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root could replace /dev/null";
    writeOne("/dev/null", "nothing");
    struct stat st;
    ASSERT_EQ(::lstat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    for (const auto& entry : fs::directory_iterator("/dev"))
        EXPECT_FALSE(entry.path().filename().string().starts_with("null.part")) << entry.path();
}

// Megabytes go out buffer by buffer, written while the next is filled: lines reserved in place,
// appended, and one larger than a buffer, all in order. A device that refuses a buffer written
// that way fails the file by its name, at the latest when it is committed.
TEST(TextOutputFile, ManyBuffersKeepTheirOrderAndAFailedOneIsReported) {
    testing::TestFolder folder;
    std::string expected;
    {
        TextOutputFile file(folder.file("big.csv"));
        for (int line = 0; line < 300000; ++line) {
            const std::string text = std::to_string(line) + ",0.1234567,-8.9E-05\r\n";
            if (line % 3 == 0) {
                char* out = file.reserve(text.size());
                std::memcpy(out, text.data(), text.size());
                file.release(out + text.size());
            } else {
                file.writeAscii(text);
            }
            expected += text;
            if (line == 150000) {
                const std::string block(3 << 20, 'x');
                file.writeAscii(block);
                expected += block;
            }
        }
        file.commit();
    }
    EXPECT_EQ(folder.readText("big.csv"), expected);

    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full to refuse the writes";
    try {
        TextOutputFile full("/dev/full");
        for (int i = 0; i < 8; ++i) full.writeAscii(std::string(1 << 20, 'x'));
        full.commit();
        ADD_FAILURE() << "a device without room took 8 MB";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::CannotWrite);
        EXPECT_NE(std::string(e.what()).find("/dev/full"), std::string::npos) << e.what();
    }
}

TEST(TextOutputFile, ADashIsStandardOutput) {
    testing::TestFolder folder;
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    const int capture = ::open(folder.file("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(capture, 0);
    ::dup2(capture, STDOUT_FILENO);
    ::close(capture);
    writeOne("-", "0.02, 6600 ");
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    EXPECT_EQ(folder.readText("stdout"), "0.02, 6600 \r\n");
    EXPECT_FALSE(fs::exists("-"));
}

}  // namespace
}  // namespace pqwave
