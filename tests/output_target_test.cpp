// An output never replaces a recording: neither the one being read (under its own name, a
// link, a hard link, or the same name in other letter case) nor any file the header reader
// recognises. The CLI, the window's output name and the export all refuse it by name.
#include "input/output_target.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "app/cli.h"
#include "common/error.h"
#include "control/comtrade_export.h"
#include "support/recording_host.h"

namespace pqwave {
namespace {

namespace fs = std::filesystem;
using testing::StartedModel;
using testing::TestFolder;

std::string refusalOf(const fs::path& output, const fs::path& recording) {
    try {
        refuseRecordingAsOutput(output, recording);
        return {};
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::CannotWrite);
        return error.what();
    }
}

TEST(OutputTarget, ARecordingIsNeverTheOutput) {
    TestFolder folder;
    folder.write("REC.MEM", gen::RecordingSpec{});
    gen::RecordingSpec eightyForty;
    eightyForty.layout = 40;
    folder.write("OTHER.MEM", eightyForty);
    std::vector<std::byte> cut = gen::generateRecording(gen::RecordingSpec{}).bytes;
    cut.resize(100);
    folder.writeBytes("CUT.MEM", cut);
    fs::create_symlink("REC.MEM", folder.file("link.csv"));
    fs::create_hard_link(folder.file("REC.MEM"), folder.file("hard.csv"));
    std::ofstream(folder.file("earlier.csv")) << "2024/05/06,13:45:30\r\n";
    ASSERT_EQ(::mkfifo(folder.file("pipe.csv").c_str(), 0600), 0);
    const fs::path rec = folder.file("REC.MEM");

    const std::string itself = ": this is the recording being read; the output needs another name";
    for (const char* name : {"REC.MEM", "link.csv", "hard.csv", "rec.mem"})
        EXPECT_EQ(refusalOf(folder.file(name), rec), folder.file(name).string() + itself);
    const std::string another = ": a recording is there and is never written over; the output needs another name";
    for (const char* name : {"OTHER.MEM", "CUT.MEM"})
        EXPECT_EQ(refusalOf(folder.file(name), rec), folder.file(name).string() + another);
    for (const char* name : {"earlier.csv", "new.csv", "pipe.csv"}) EXPECT_EQ(refusalOf(folder.file(name), rec), "");
    EXPECT_EQ(refusalOf("-", rec), "");
}

int cli(const std::vector<std::string>& args, std::string& err) {
    std::ostringstream out, errors;
    const int status = runCli(args, fs::temp_directory_path(), out, errors);
    err = errors.str();
    return status;
}

TEST(OutputTarget, TheCliTheWindowAndTheExportRefuseARecordingAsOutput) {
    TestFolder folder;
    folder.write("A.MEM", gen::RecordingSpec{});
    folder.write("B.MEM", gen::RecordingSpec{});
    folder.write("C.dat", gen::RecordingSpec{});
    const std::string a = folder.readText("A.MEM"), b = folder.readText("B.MEM"), c = folder.readText("C.dat");
    const std::string file = folder.file("A.MEM").string();
    std::string err;
    EXPECT_EQ(cli({"convert", file, "-o", file}, err), 1);
    EXPECT_EQ(err, "pqwave-cli: " + file + ": this is the recording being read; the output needs another name\n");
    EXPECT_EQ(cli({"convert", file, "--set", "Text5=" + folder.file("B.MEM").string()}, err), 1);
    EXPECT_NE(err.find(folder.file("B.MEM").string() + ": a recording is there"), std::string::npos) << err;
    EXPECT_EQ(cli({"export", file, "-o", folder.file("C.cfg").string()}, err), 1);
    EXPECT_NE(err.find(folder.file("C.dat").string() + ": a recording is there"), std::string::npos) << err;

    StartedModel m(folder);
    m.click("A.MEM");
    setText(m.form.Text5, folder.file("B.MEM").string());
    click(m.form.Command1);
    ASSERT_EQ(m.host.errorKinds.size(), 1u);
    EXPECT_EQ(m.host.errorKinds[0], ErrorKind::CannotWrite);

    EXPECT_EQ(folder.readText("A.MEM"), a);
    EXPECT_EQ(folder.readText("B.MEM"), b);
    EXPECT_EQ(folder.readText("C.dat"), c);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 3);
}

}  // namespace
}  // namespace pqwave
