// pqwave-cli plot: the PNG files of both windows without a display. The traces and phasors
// are looked for where the supply's physics puts them, in the colours the windows use; every
// failure ends with its exit status and a message naming the file.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <QColor>
#include <QImage>
#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>
#include <sstream>

#include "app/cli.h"
#include "app/plot_image.h"
#include "common/palette.h"
#include "support/analysis_run.h"
#include "support/cli_run.h"
#include "support/test_folder.h"

namespace pqwave {
namespace {

using testing::cli;
using testing::CliRun;
using testing::TestFolder;
constexpr double kDegree = std::numbers::pi / 180;

// plot draws with the painter linked into this test.
const bool kPictures = (setPngEncoderSource([](std::string&) { return pqwavePngEncoders(); }), true);

bool colourNear(const QImage& image, double x, double y, int paletteIndex, int reach = 1) {
    const QRgb wanted = static_cast<QRgb>(consoleColour(paletteIndex)) | 0xFF000000u;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            int px = static_cast<int>(std::lround(x)) + dx, py = static_cast<int>(std::lround(y)) + dy;
            if (image.valid(px, py) && image.pixel(px, py) == wanted) return true;
        }
    return false;
}

int pixelsOf(const QImage& image, int paletteIndex) {
    const QRgb wanted = static_cast<QRgb>(consoleColour(paletteIndex)) | 0xFF000000u;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == wanted;
    return count;
}

struct Plot : ::testing::Test {
    TestFolder folder;
    gen::GeneratedRecording written = folder.write("REC.WAV", testing::displayRecording());
    std::string file = folder.file("REC.WAV").string();
    std::string png = folder.file("out.png").string();
};

TEST_F(Plot, WaveDrawsEveryRecordedChannelInItsColourWhereItsSamplesLie) {
    CliRun run = cli({"plot", "wave", file, "-o", png});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "pqwave-cli: wrote " + png + "\n");
    QImage image(QString::fromStdString(png));
    ASSERT_EQ(image.size(), QSize(760, 480));  // the picture of a new window
    // ch1..ch4 in palette colours 8..11; y = 2000 - 2 code (ch2: + 2 code) of 4000 units, the
    // scale 2 drawing the 800 counts of 10 divisions as the 1600 units to the outer grid line.
    for (int k = 0; k < 4; ++k) {
        EXPECT_GT(pixelsOf(image, 8 + k), 300) << "ch" << k + 1;
        // Point i of 0..80 lies at x = i / 80 of the width and shows sample i.
        for (int i : {10, 25, 55}) {
            const double code = written.expected(static_cast<std::size_t>(i), static_cast<std::size_t>(k));
            const double y = (2000 - 2 * (k == 1 ? -code : code)) / 4000 * 480;
            EXPECT_TRUE(colourNear(image, i / 80.0 * 760, y, 8 + k, 2)) << "ch" << k + 1 << " point " << i;
        }
    }
    EXPECT_EQ(pixelsOf(image, 12), 0);    // ch5 is not recorded
    EXPECT_GT(pixelsOf(image, 7), 1000);  // the grid
}

TEST_F(Plot, WaveTicksTheNamedBoxesScrollsAndTakesItsSize) {
    CliRun run = cli({"plot", "wave", file, "--traces", "1,9", "--at", "1.5", "--size", "400x300", "-o", png});
    ASSERT_EQ(run.status, 0) << run.err;
    QImage image(QString::fromStdString(png));
    ASSERT_EQ(image.size(), QSize(400, 300));
    EXPECT_GT(pixelsOf(image, 5), 100);  // the fundamental of ch1 + ch2
    EXPECT_EQ(pixelsOf(image, 9), 0);    // ch2 not ticked
    // 1.5 s is scroll position 75: the view starts 75 intervals of 40 samples in.
    const double code = written.expected(75 * 40 + 20, 0);
    EXPECT_TRUE(colourNear(image, 20 / 80.0 * 400, (2000 - 2 * code) / 4000 * 300, 8, 2));
}

TEST_F(Plot, VectorDrawsTheCurrentsOfABalancedSupply120DegreesApart) {
    CliRun run = cli({"plot", "vector", file, "-o", png});
    ASSERT_EQ(run.status, 0) << run.err;
    QImage image(QString::fromStdString(png));
    // 7800 twips at a tenth of a pixel each, the diagrams' 4000 and the value texts beneath.
    ASSERT_EQ(image.width(), 780);
    ASSERT_GT(image.height(), 400 + 3 * 15);
    // One circuit: a single diagram, star point 1500 / 1.732 above (3200, 1000), drawn
    // upwards from 3750. With Vr-s along +x, phase u is at -30 degrees, and the currents
    // lag their phases by 20: Ir at -50, It at 70, Is at -170 degrees. A current at full
    // scale, 10 divisions of 80 counts, is 1500 long.
    const double starX = 3200, starY = 3750 - (1000 + 1500 / 1.732);
    const double peakCodes = 100 * std::sqrt(2.0) * 0.2 / 200 / 0.05 * 80;  // 50 mV a division, 80 counts
    const double length = 1500 * peakCodes / 800;
    const std::pair<double, int> currents[] = {{-50, 12}, {70, 9}, {-170, 0}};
    for (const auto& [degrees, colour] : currents) {
        const double x = starX + length / 2 * std::cos(degrees * kDegree);
        const double y = starY - length / 2 * std::sin(degrees * kDegree);
        EXPECT_TRUE(colourNear(image, x / 10, y / 10, colour)) << degrees;
    }
    EXPECT_GT(pixelsOf(image, 13), 40);
    EXPECT_GT(pixelsOf(image, 11), 40);
    // The value texts in black beneath the diagrams.
    EXPECT_GT(pixelsOf(image.copy(0, 400, 780, image.height() - 400), 0), 300);
}

TEST_F(Plot, WindowSettingsReachTheWindow) {
    // With no current multiplier the currents are not drawn: Ir's colour stays in the legend.
    CliRun run = cli({"plot", "vector", file, "--set", "Form02.Text1(1)=0", "-o", png});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(pixelsOf(QImage(QString::fromStdString(png)).copy(0, 0, 650, 400), 12), 0);
    // Four intervals across the width: a grid line every eighth of it.
    run = cli({"plot", "wave", file, "--set", "Form2.Text2=4", "--traces", "1", "-o", png});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(colourNear(QImage(QString::fromStdString(png)), 760.0 / 8, 5, 7, 0));
    EXPECT_EQ(cli({"plot", "vector", file, "--set", "Form2.Text2=4", "-o", png}).status, 2);
    EXPECT_EQ(cli({"plot", "wave", file, "--set", "Form2.Text9=4", "-o", png}).status, 2);
}

TEST_F(Plot, FailuresEndWithTheirExitStatusAndNameTheFile) {
    folder.writeBytes("TEXT.MEM", std::vector<std::byte>(1000, std::byte{'a'}));
    CliRun unknown = cli({"plot", "wave", folder.file("TEXT.MEM").string(), "-o", png});
    EXPECT_EQ(unknown.status, 3);
    EXPECT_NE(unknown.err.find("TEXT.MEM"), std::string::npos);

    CliRun missing = cli({"plot", "wave", folder.file("NONE.MEM").string(), "-o", png});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("NONE.MEM"), std::string::npos);

    std::vector<std::byte> cut = written.bytes;
    cut.resize(cut.size() / 2);
    folder.writeBytes("CUT.WAV", cut);
    CliRun shorter = cli({"plot", "vector", folder.file("CUT.WAV").string(), "-o", png});
    EXPECT_EQ(shorter.status, 1);
    EXPECT_NE(shorter.err.find("CUT.WAV"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(png));

    EXPECT_EQ(cli({"plot", "wave", file}).status, 2);  // no -o
    EXPECT_EQ(cli({"plot", "graph", file, "-o", png}).status, 2);
    EXPECT_EQ(cli({"plot", "wave", file, "--size", "0x10", "-o", png}).status, 2);
    EXPECT_EQ(cli({"plot", "wave", file, "--traces", "13", "-o", png}).status, 2);
    EXPECT_EQ(cli({"plot", "wave", file, "--at", "11", "-o", png}).status, 2);  // the recording is 10 s
    CliRun unrecorded = cli({"plot", "wave", file, "--traces", "6", "-o", png});
    EXPECT_EQ(unrecorded.status, 3);
    EXPECT_NE(unrecorded.err.find("ch6"), std::string::npos);
    CliRun raw = cli({"plot", "vector", file, "--set", "Option2=1", "-o", png});
    EXPECT_EQ(raw.status, 3);
    EXPECT_NE(raw.err.find("ﾍﾞｸﾄﾙ表示"), std::string::npos);
    CliRun nowhere = cli({"plot", "wave", file, "-o", folder.file("no/such/folder.png").string()});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.err.find("folder.png"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(png));
    CliRun itself = cli({"plot", "wave", file, "-o", file});
    EXPECT_EQ(itself.status, 1);
    EXPECT_NE(itself.err.find(file + ": this is the recording being read"), std::string::npos) << itself.err;
    EXPECT_EQ(folder.readBytes("REC.WAV"), written.bytes);
}

// A full disk fails the last write of the picture: the command says so, and an earlier
// picture of that name stays as it was. /dev/full fails every write, reached through a link
// that must stay a link; a tiny tmpfs, where root may mount one, is a disk that fills up.
TEST_F(Plot, AFullDiskIsAFailedWriteAndLeavesTheEarlierPicture) {
    std::filesystem::create_symlink("/dev/full", folder.file("full.png"));
    CliRun full = cli({"plot", "wave", file, "-o", folder.file("full.png").string()});
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "pqwave-cli: " + folder.file("full.png").string() + ": no space left on device\n");
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("full.png")));

    const std::filesystem::path disk = folder.file("disk");
    std::filesystem::create_directory(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=16k") != 0) GTEST_SKIP() << "no tmpfs can be mounted here";
    struct Unmount {
        const std::filesystem::path& at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{disk};
    const std::filesystem::path earlier = disk / "out.png";
    std::ofstream(earlier) << "earlier";
    {
        std::ofstream filler(disk / "filler", std::ios::binary);
        const std::string block(512, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
        }
    }
    CliRun filled = cli({"plot", "wave", file, "-o", earlier.string()});
    EXPECT_EQ(filled.status, 1);
    EXPECT_EQ(filled.err, "pqwave-cli: " + earlier.string() + ": no space left on device\n");
    std::ifstream in(earlier);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "earlier");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk), {}), 2);
}

TEST(CliPhaseCheck, ConvertSelectsTheRotationAsTheWindowWould) {
    TestFolder folder;
    folder.write("REV.WAV", testing::displayRecording(true));
    const std::string file = folder.file("REV.WAV").string();
    auto convert = [&](const std::string& setting, const std::string& name) {
        CliRun run = cli({"convert", file, "--set", setting, "-o", folder.file(name).string()});
        EXPECT_EQ(run.status, 0) << run.err;
        return folder.readText(name);
    };
    const std::string checked = convert("Check2=1", "checked.csv");
    EXPECT_EQ(checked, convert("Option4=1", "reverse.csv"));
    EXPECT_NE(checked, convert("Option4=0", "forward.csv"));
}

}  // namespace
}  // namespace pqwave
