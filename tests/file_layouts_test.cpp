// Every header and data layout pinned by one small file built byte by byte from the format
// tables, clicked and loaded through the main-window model. The expected labels and codes are
// worked out by hand from the bytes written here, never taken from the generator.
#include <gtest/gtest.h>

#include "support/hand_built_file.h"
#include "support/recording_host.h"

namespace pqwave {
namespace {

using testing::HandBuiltFile;
using testing::StartedModel;
using testing::TestFolder;

// Field f of 512-byte header block b: 12 bytes from block offset 12 f.
void blockField(HandBuiltFile& file, int block, int field, std::string_view text) {
    file.field(512 * static_cast<std::size_t>(block) + 12 * static_cast<std::size_t>(field) + 1, 12, text);
}

// A general block of a waveform file with 100 samples per 5 ms division, 1600 counts per
// division and `samples` samples per channel.
void generalBlock(HandBuiltFile& file, int headerBlocks, std::string_view model, std::string_view samples) {
    blockField(file, 0, 0, "HW");
    blockField(file, 0, 1, std::to_string(headerBlocks));
    blockField(file, 0, 2, model);
    blockField(file, 0, 4, "WAVE");
    blockField(file, 0, 5, "20");
    blockField(file, 0, 6, samples);
    blockField(file, 0, 7, "24-05-06");
    blockField(file, 0, 8, "13:45:30");
    blockField(file, 0, 10, "100");
    blockField(file, 0, 11, "5ms");
    blockField(file, 0, 14, "1600");
    blockField(file, 0, 19, "10");
}

void channelBlock(HandBuiltFile& file, int block, std::string_view kind, std::string_view number,
                  std::string_view onOff, std::string_view range) {
    blockField(file, block, 0, kind);
    blockField(file, block, 1, number);
    blockField(file, block, 2, onOff);
    blockField(file, block, 4, range);
}

// Loads the file through the model as a user's click and a conversion would.
void clickAndLoad(StartedModel& m, const TestFolder& folder, const std::string& name, const HandBuiltFile& file) {
    folder.writeBytes(name, file.contents());
    m.click(name);
    ASSERT_EQ(m.form.FileRecognized, -1);
    m.form.DTLood();
    ASSERT_TRUE(m.host.errors.empty()) << m.host.errors[0];
    ASSERT_TRUE(m.host.warnings.empty()) << m.host.warnings[0];
}

void expectColumn(const RawSampleTable& table, std::size_t column, const std::vector<int>& codes) {
    for (std::size_t j = 0; j < codes.size(); ++j) EXPECT_EQ(table(j, column), codes[j]) << "sample " << j;
    EXPECT_EQ(table(codes.size(), column), 0) << "the row after the last sample";
}

TEST(FileLayouts, EightyFortyHeaderAndChannelBlocks) {
    // Header size 1 x 1024 bytes; ch1 and ch3 recorded, each block holding 3 samples.
    HandBuiltFile file(1024);
    file.field(1, 9, "HIOKI8825");
    file.field(16, 2, "01");
    file.field(25, 8, "24-05-06");
    file.field(34, 8, "13:45:30");
    // Fields that touch fill their width, so a reader one byte off reads a different number.
    file.field(42, 6, "000010");
    file.field(76, 8, "00000020");
    file.field(84, 7, "0000003");
    file.field(94, 9, "  5ms/DIV");
    file.field(117, 8, "10100000");
    file.field(139, 10, "100V/DIV");
    file.field(139 + 28 * 2, 10, "500mV/DIV");
    // Data from position 1025: 12-bit codes with an offset of 2048, high byte first.
    file.bytes(1025, {0x08, 0x00, 0x0F, 0xFF, 0x00, 0x00});  // ch1: 0, 2047, -2048
    file.bytes(1031, {0x08, 0x10, 0x07, 0xF0, 0x09, 0x00});  // ch3: 16, -16, 256

    TestFolder folder;
    StartedModel m(folder);
    clickAndLoad(m, folder, "HAND.WAV", file);
    const Form1Model& f = m.form;
    EXPECT_EQ(f.FormatCode(), 40);
    EXPECT_EQ(f.HeaderBlocks(), 1);
    EXPECT_EQ(f.Label15[0].text, "24-05-06");
    EXPECT_EQ(f.Label15[1].text, "13:45:30");
    EXPECT_EQ(f.Label15[2].text, "  5ms/DIV");
    EXPECT_EQ(f.Label15[3].text, "00000020");
    EXPECT_EQ(f.Label26.text, "10");
    EXPECT_EQ(f.LabASn.text, "3");
    EXPECT_EQ(f.Label21.text, "20000");   // 100 samples per 5 ms
    EXPECT_EQ(f.LabSTim.text, "0.0001");  // (3 - 1) / 20000
    EXPECT_EQ(f.ChannelCount(), 2);
    EXPECT_EQ(f.Label14[0].text, "100V/DIV");
    EXPECT_EQ(f.Label14[2].text, "500mV/DIV");
    EXPECT_TRUE(f.Label14[2].enabled);
    EXPECT_FALSE(f.Label14[1].enabled);
    EXPECT_EQ(f.Text5.text, folder.file("06D13-45-30.csv").string());

    expectColumn(f.SampleTable(), 0, {0, 2047, -2048});
    expectColumn(f.SampleTable(), 1, {0, 0, 0});
    expectColumn(f.SampleTable(), 2, {16, -16, 256});
    EXPECT_FLOAT_EQ(f.ChannelScale()[0], 100);
    EXPECT_FLOAT_EQ(f.ChannelScale()[2], 0.5f);
}

TEST(FileLayouts, BlockHeaderWithInterleavedSamplesAndALogicByte) {
    // General block, ch1 on, ch2 off, ch3 on, two logic blocks: 6 blocks, data from 6 x 512.
    HandBuiltFile file(6 * 512);
    generalBlock(file, 6, "8841", "3");
    channelBlock(file, 1, "HC", "1", "ON", "100V");
    channelBlock(file, 2, "HC", "2", "OFF", "20V");
    channelBlock(file, 3, "HC", "3", "ON", "500mV");
    channelBlock(file, 4, "HL", "1", "ON", "");
    channelBlock(file, 5, "HL", "2", "ON", "");
    // Per sample: two's-complement words, high byte first, then the logic byte.
    file.bytes(3073, {0x00, 0x01, 0xFF, 0xFF, 0xA5});  // 1, -1, logic 10 and 5
    file.bytes(3078, {0x7F, 0xFF, 0x80, 0x00, 0x3C});  // 32767, -32768, logic 3 and 12
    file.bytes(3083, {0x12, 0x34, 0xFE, 0xDC, 0x00});  // 4660, -292, logic 0 and 0

    TestFolder folder;
    StartedModel m(folder);
    clickAndLoad(m, folder, "HAND.MEM", file);
    const Form1Model& f = m.form;
    EXPECT_EQ(f.FormatCode(), 41);
    EXPECT_EQ(f.HeaderBlocks(), 6);
    EXPECT_EQ(f.Label15[4].text, "8841");
    EXPECT_EQ(f.Label15[0].text, "2024/05/06");
    EXPECT_EQ(f.Label15[1].text, "13:45:30");
    EXPECT_EQ(f.Label15[2].text, "5ms/DIV");
    EXPECT_EQ(f.Label15[3].text, "20");
    EXPECT_EQ(f.T_Div.text, "100");
    EXPECT_EQ(f.V_Div.text, "1600");
    EXPECT_EQ(f.LabASn.text, "3");
    EXPECT_EQ(f.LabSTim.text, "0.1");  // 5 ms x 20 divisions
    EXPECT_EQ(f.Label26.text, "10");
    EXPECT_EQ(f.ChannelCount(), 2);
    EXPECT_EQ(f.LogicChannelCount(), 2);
    EXPECT_EQ(f.Label12[1].text, "ch3ﾚﾝｼﾞ");
    EXPECT_EQ(f.Label14[1].text, "500mV/DIV");
    EXPECT_EQ(f.Label12[2].text, "ch--ﾚﾝｼﾞ");

    ASSERT_EQ(f.SampleTable().columns(), 6u);  // 2 channels, 2 x 2 logic columns
    expectColumn(f.SampleTable(), 0, {1, 32767, 4660});
    expectColumn(f.SampleTable(), 1, {-1, -32768, -292});
    expectColumn(f.SampleTable(), 2, {10, 3, 0});
    expectColumn(f.SampleTable(), 3, {5, 12, 0});
}

TEST(FileLayouts, Mr8880CodesHaveAnOffsetOf8192) {
    HandBuiltFile file(2 * 512);
    generalBlock(file, 2, "MR8880", "3");
    blockField(file, 0, 10, "50");  // the MR8880 always has 100 samples per division
    channelBlock(file, 1, "HC", "1", "ON", "100V");
    file.bytes(1025, {0x20, 0x00, 0x00, 0x00, 0x3F, 0xFF});  // 0, -8192, 8191

    TestFolder folder;
    StartedModel m(folder);
    clickAndLoad(m, folder, "HAND.MEM", file);
    EXPECT_EQ(m.form.FormatCode(), 80);
    EXPECT_EQ(m.form.T_Div.text, "100");
    expectColumn(m.form.SampleTable(), 0, {0, -8192, 8191});
}

TEST(FileLayouts, EightyFortySevenCodesHaveAnOffsetOf32768) {
    HandBuiltFile file(3 * 512);
    generalBlock(file, 3, "8847", "2");
    channelBlock(file, 1, "HC", "1", "ON", "100V");
    channelBlock(file, 2, "HC", "2", "ON", "100V");
    file.bytes(1537, {0x80, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x01});  // 0, 32767; -32768, 1

    TestFolder folder;
    StartedModel m(folder);
    clickAndLoad(m, folder, "HAND.MEM", file);
    EXPECT_EQ(m.form.FormatCode(), 47);
    EXPECT_EQ(m.form.LastActiveChannel(), 1);
    expectColumn(m.form.SampleTable(), 0, {0, -32768});
    expectColumn(m.form.SampleTable(), 1, {32767, 1});
}

TEST(FileLayouts, LoggerHeaderByAbsolutePositionsAndItsWords) {
    // General block, ch1 on, ch2 off, ch3 on, two logic blocks: 6 blocks, data from 6 x 512.
    HandBuiltFile file(6 * 512);
    blockField(file, 0, 0, "HW");
    blockField(file, 0, 1, "6");
    blockField(file, 0, 2, "8420");
    file.field(73, 8, "3");
    file.field(85, 8, "24-05-06");
    file.field(97, 9, " 13:45:30");
    file.field(145, 5, "100ms");
    file.field(181, 7, "2");
    file.field(205, 5, "0");
    file.field(469, 1, "0");  // no logic groups besides the logic blocks
    file.field(470, 1, "1");  // the extra flag: one word per logic group is skipped
    for (auto [j, kind, number, onOff, range] : {std::tuple{0, "HC", "1", "ON", "1V"},
                                                 {1, "HC", "2", "OFF", "1V"},
                                                 {2, "HC", "3", "ON", "2V"},
                                                 {3, "HL", "1", "ON", ""},
                                                 {4, "HL", "2", "ON", ""}}) {
        std::size_t base = 512 * static_cast<std::size_t>(j + 1);
        file.field(base + 1, 2, kind).field(base + 13, 2, number).field(base + 25, 3, onOff);
        file.field(base + 49, 10, range);
    }
    // Per sample: two analog words, two skipped words, one logic word (state in the high nibble).
    file.bytes(3073, {0x00, 0x64, 0xFF, 0x9C, 0xAB, 0xCD, 0xAB, 0xCD, 0xA0, 0x5F});  // 100, -100, logic 10
    file.bytes(3083, {0x4E, 0x20, 0xB1, 0xE0, 0xAB, 0xCD, 0xAB, 0xCD, 0x30, 0xFF});  // 20000, -20000, logic 3

    TestFolder folder;
    StartedModel m(folder);
    clickAndLoad(m, folder, "HAND.MEM", file);
    const Form1Model& f = m.form;
    EXPECT_EQ(f.FormatCode(), 20);
    EXPECT_EQ(f.HeaderBlocks(), 6);
    EXPECT_EQ(f.Label15[3].text, "3");
    EXPECT_EQ(f.Label15[0].text, "24-05-06");
    EXPECT_EQ(f.Label15[1].text, "13:45:30");
    EXPECT_EQ(f.Label15[2].text, "100ms");
    EXPECT_EQ(f.LabASn.text, "2");
    EXPECT_EQ(f.Label21.text, "10");  // one sample per 100 ms
    EXPECT_EQ(f.LabSTim.text, "0.3");
    EXPECT_EQ(f.ChannelCount(), 2);
    EXPECT_EQ(f.LogicChannelCount(), 2);
    EXPECT_EQ(f.LoggerExtraFlag(), 1);
    EXPECT_EQ(f.Label12[1].text, "ch3ﾚﾝｼﾞ");
    EXPECT_EQ(f.Label14[1].text, "2V/fs");

    ASSERT_EQ(f.SampleTable().columns(), 7u);  // 2 channels, 2 x 2 logic columns, the extra flag
    expectColumn(f.SampleTable(), 0, {100, 20000});
    expectColumn(f.SampleTable(), 1, {-100, -20000});
    expectColumn(f.SampleTable(), 2, {10, 3});
}

TEST(FileLayouts, EightyEightSixtyTaggedBlocksAndCalibration) {
    // A block header of 3 blocks, so the tagged part begins after E = 1536 bytes.
    const std::size_t e = 3 * 512;
    HandBuiltFile file(e);
    generalBlock(file, 3, "8860", "3");
    channelBlock(file, 1, "HC", "1", "ON", "100V");
    channelBlock(file, 2, "HC", "2", "ON", "20A");

    file.field(e + 1, 8, "LWBBWINF");
    // Two channel sub-blocks (80 and 96 bytes) and one that is not a channel (16 bytes).
    const std::size_t f1 = e + 33, f2 = f1 + 80, f3 = f2 + 96, d = f3 + 16;
    file.i32le(e + 17, static_cast<std::int32_t>(d - (e + 1)));  // D = E + 1 + L
    file.field(f1, 8, "SXACAWMN").i16le(f1 + 12, 80).i16le(f1 + 14, 0);
    file.i32le(f1 + 49, 3125).i8(f1 + 53, -6);  // gain 0.003125
    file.i32le(f1 + 54, -15).i8(f1 + 58, -2);   // offset -0.15
    file.i16le(f1 + 59, 1000);
    file.field(f2, 8, "SXACAWMN").i16le(f2 + 12, 90).i16le(f2 + 14, 20);  // 90 rounds up to 96
    file.i32le(f2 + 69, 5).i8(f2 + 73, -3);                               // gain 0.005
    file.i32le(f2 + 74, 25).i8(f2 + 78, -1);                              // offset 2.5
    file.i16le(f2 + 79, 1);
    file.field(f3, 8, "SXACAEND").i16le(f3 + 12, 16);
    file.field(d, 8, "LWBBWDAT").field(d + 32, 8, "LXIIWBLK").i32le(d + 48, 48);
    // Samples from D + 48 + 32, little-endian words; code = round((w + offset / gain) / 16).
    const std::size_t s = d + 80;
    file.i16le(s, 1648).i16le(s + 2, -500);      // (1648 - 48) / 16 = 100; (-500 + 500) / 16 = 0
    file.i16le(s + 4, -1552).i16le(s + 6, 300);  // -100; 50
    file.i16le(s + 8, 60).i16le(s + 10, 16);     // 0.75 rounds to 1; 32.25 to 32

    TestFolder folder;
    StartedModel m(folder);
    clickAndLoad(m, folder, "HAND.MEM", file);
    const Form1Model& f = m.form;
    EXPECT_EQ(f.FormatCode(), 86);
    EXPECT_FLOAT_EQ(f.loadedRecording()->calibration[0], 0.003125f);
    EXPECT_FLOAT_EQ(f.loadedRecording()->calibration[1], 0.005f);
    EXPECT_FLOAT_EQ(f.loadedRecording()->calibration[16], -0.15f);
    EXPECT_FLOAT_EQ(f.loadedRecording()->calibration[17], 2.5f);
    EXPECT_EQ(f.loadedRecording()->calibration[32], 1000);
    EXPECT_EQ(f.loadedRecording()->calibration[33], 1);
    EXPECT_EQ(f.loadedRecording()->calibration[2], 0);  // the third sub-block is not a channel
    expectColumn(f.SampleTable(), 0, {100, -100, 1});
    expectColumn(f.SampleTable(), 1, {0, 50, 32});
    // Counts per division x unit factor x gain / 1000 x 16: 1600 x 1000 x 0.003125 / 1000 x 16.
    EXPECT_FLOAT_EQ(f.ChannelScale()[0], 80);
    EXPECT_FLOAT_EQ(f.ChannelScale()[1], 0.128f);
}

}  // namespace
}  // namespace pqwave
