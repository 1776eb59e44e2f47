#include "common/text_output_file.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace pqwave
