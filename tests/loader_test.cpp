#include "input/loader.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/error.h"
#include "input/channel_scale.h"
#include "input/load_request.h"
#include "support/csv_file.h"
#include "support/recording_host.h"

namespace pqwave {
namespace {

using testing::CsvFile;
using testing::StartedModel;
using testing::TestFolder;

// A recording with distinct values in every column and logic where the layout has it.
gen::RecordingSpec layoutSpec(int layout) {
    gen::RecordingSpec spec;
    spec.layout = layout;
    spec.sampleCount = 257;
    spec.channels.assign(4, gen::ChannelSpec{});
    for (int k = 0; k < 4; ++k) {
        spec.channels[k].range = k < 2 ? "100V" : "500mV";
        spec.channels[k].wave = {k < 2 ? 120.0 : 0.9, 50, 40.0 * k, 0.01 * k, {}, 0.1};
        if (layout == 20) spec.channels[k].range = "1V", spec.channels[k].wave.amplitude = 0.7;
    }
    if (layout == 86) {
        for (auto& c : spec.channels) c.calibration = {3, -2, 5, -1, 1000};
    }
    if (layout == 41 || layout == 80 || layout == 20) {
        spec.logicChannels = 2;
        spec.logic = [](int sample, int channel) { return (sample * 3 + channel * 5) % 16; };
    }
    return spec;
}

void expectTablesEqual(const RawSampleTable& actual, const RawSampleTable& expected) {
    ASSERT_EQ(actual.rows(), expected.rows());
    ASSERT_EQ(actual.columns(), expected.columns());
    for (std::size_t j = 0; j < expected.rows(); ++j)
        for (std::size_t c = 0; c < expected.columns(); ++c)
            ASSERT_EQ(actual(j, c), expected(j, c)) << "sample " << j << " column " << c;
}

class EveryLayout : public ::testing::TestWithParam<int> {};

TEST_P(EveryLayout, LoadsWhatTheGeneratorWrote) {
    TestFolder folder;
    gen::RecordingSpec spec = layoutSpec(GetParam());
    gen::GeneratedRecording written = folder.write("REC.MEM", spec);
    StartedModel m(folder);
    m.click("REC.MEM");
    m.form.DTLood();
    expectTablesEqual(m.form.SampleTable(), written.expected);
    EXPECT_EQ(m.form.LoadedFileName(), folder.file("REC.MEM").string());
    EXPECT_EQ(m.form.LastActiveChannel(), 3);
    EXPECT_TRUE(m.host.warnings.empty());
    EXPECT_EQ(m.form.Label10.visible, false);
    EXPECT_EQ(m.host.waitCursorChanges, (std::vector<bool>{true, false}));
}

// The fuzz targets go from bytes to samples without the window; they must meet its rules.
TEST_P(EveryLayout, TheRequestDerivedFromTheParsedHeaderLoadsWhatTheWindowLoads) {
    TestFolder folder;
    gen::RecordingSpec spec = layoutSpec(GetParam());
    spec.channels[1].recorded = false;
    gen::GeneratedRecording written = folder.write("REC.MEM", spec);
    StartedModel m(folder);
    m.click("REC.MEM");
    m.form.DTLood();

    std::optional<RecordingLayout> layout = recordingLayoutOf(parseHeader(written.bytes, "REC.MEM"));
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->formatCode, m.form.FormatCode());
    EXPECT_EQ(layout->headerBlocks, m.form.HeaderBlocks());
    EXPECT_EQ(layout->channelCount, m.form.ChannelCount());
    EXPECT_EQ(layout->logicChannelCount, m.form.LogicChannelCount());
    EXPECT_EQ(layout->sampleCount, m.form.SampleCount());
    for (int p = 0; p < 16; ++p) EXPECT_EQ(layout->channelPresent[p], m.form.Label14[p].enabled) << p;
    int lastActive = lastActiveChannelOf(layout->channelPresent, 0);
    EXPECT_EQ(lastActive, m.form.LastActiveChannel());
    MemoryByteSource source(written.bytes, "REC.MEM");
    LoadResult result = loadSamples(source, loadRequestFor(*layout, ChannelSettings{}, lastActive, "REC.MEM"));
    expectTablesEqual(result.table, m.form.SampleTable());
}

INSTANTIATE_TEST_SUITE_P(Loader, EveryLayout, ::testing::Values(40, 41, 80, 47, 20, 86));

TEST(Loader, RmsRecordingStoresMaximumAndMinimumSeries) {
    TestFolder folder;
    gen::RecordingSpec spec = layoutSpec(41);
    spec.rms = true;
    for (auto& c : spec.channels) c.wave.offset = 50;
    gen::GeneratedRecording written = folder.write("TREND.RMS", spec);
    StartedModel m(folder);
    m.click("TREND.RMS");
    m.form.DTLood();
    expectTablesEqual(m.form.SampleTable(), written.expected);
    EXPECT_GT(m.form.SampleTable()(0, 0), m.form.SampleTable()(0, 1));
}

TEST(Loader, InversionAssignmentAndBlockSwapApply) {
    TestFolder folder;
    gen::RecordingSpec spec = layoutSpec(40);
    gen::GeneratedRecording written = folder.write("W.WAV", spec);
    StartedModel m(folder);
    Form1Model& f = m.form;
    m.click("W.WAV");
    setValue(f.Check16, 1);  // the first block belongs to position 1, the second to position 0
    setValue(f.Check17[3], 1);
    f.DTLood();
    for (std::size_t j = 0; j < 256; ++j) {
        ASSERT_EQ(f.SampleTable()(j, 1), written.expected(j, 0));
        ASSERT_EQ(f.SampleTable()(j, 0), written.expected(j, 1));
        ASSERT_EQ(f.SampleTable()(j, 3), -written.expected(j, 3));
        ASSERT_EQ(f.SampleTable()(j, 2), written.expected(j, 2));
    }
}

TEST(Loader, EdgeCodesOfEachLayout) {
    TestFolder folder;
    auto codesSpec = [](int layout, std::vector<std::int16_t> codes) {
        gen::RecordingSpec spec;
        spec.layout = layout;
        spec.sampleCount = static_cast<int>(codes.size());
        spec.channels.assign(1, gen::ChannelSpec{});
        spec.channels[0].codes = std::move(codes);
        return spec;
    };
    // MR8880: bytes 0x20 0x00 are 0, 0x00 0x00 are -8192. 8847: 0x80 0x00 is 0, 0xFF 0xFF 32767.
    folder.write("MR.MEM", codesSpec(80, {0, -8192}));
    folder.write("E47.MEM", codesSpec(47, {0, 32767, -32768}));
    std::vector<std::byte> mr = folder.readBytes("MR.MEM");
    std::vector<std::byte> e47 = folder.readBytes("E47.MEM");
    std::size_t e = 2 * 512;
    EXPECT_EQ(mr[e], std::byte{0x20});
    EXPECT_EQ(mr[e + 1], std::byte{0x00});
    EXPECT_EQ(mr[e + 2], std::byte{0x00});
    EXPECT_EQ(e47[e], std::byte{0x80});
    EXPECT_EQ(e47[e + 2], std::byte{0xFF});
    EXPECT_EQ(e47[e + 3], std::byte{0xFF});

    StartedModel m(folder);
    m.click("MR.MEM");
    m.form.DTLood();
    EXPECT_EQ(m.form.SampleTable()(0, 0), 0);
    EXPECT_EQ(m.form.SampleTable()(1, 0), -8192);
    m.click("E47.MEM");
    setValue(m.form.Check17[0], 1);
    m.form.DTLood();
    EXPECT_EQ(m.form.SampleTable()(0, 0), 0);
    EXPECT_EQ(m.form.SampleTable()(1, 0), -32767);
    EXPECT_EQ(m.form.SampleTable()(2, 0), 32767);  // an inverted -32768 does not fit; it becomes 32767
}

TEST(Loader, LogicByteOfLayout41SplitsIntoTwoGroups) {
    TestFolder folder;
    gen::RecordingSpec spec = layoutSpec(41);
    spec.channels.resize(3);
    spec.logic = [](int, int channel) { return channel == 0 ? 0xA : 0x5; };  // logic byte 0xA5
    folder.write("L.MEM", spec);
    StartedModel m(folder);
    m.click("L.MEM");
    m.form.DTLood();
    EXPECT_EQ(m.form.SampleTable()(7, 3), 10);
    EXPECT_EQ(m.form.SampleTable()(7, 4), 5);
}

TEST(Loader, EightyFortyWithThreeLogicGroupsReadsTwoLogicBytes) {
    TestFolder folder;
    gen::RecordingSpec spec = layoutSpec(40);
    spec.logicChannels = 3;
    spec.logic = [](int sample, int channel) { return channel == 0 ? sample % 256 : 255 - sample % 256; };
    gen::GeneratedRecording written = folder.write("L.WAV", spec);
    // The 8840 header never names logic groups itself; the loader is told of three.
    RecordingFacts facts = readRecordingFacts(folder.file("L.WAV"));
    facts.layout.logicChannelCount = 3;
    const Recording loaded = loadRecording(facts, ChannelSettings{}, 0);
    expectTablesEqual(loaded.table, written.expected);
    EXPECT_EQ(loaded.table(10, 5), 245);
}

TEST(Loader, LoggerSkipsTheExtraWordsBeforeItsLogicWord) {
    TestFolder folder;
    gen::RecordingSpec spec = layoutSpec(20);
    spec.loggerExtraFlag = 1;
    gen::GeneratedRecording written = folder.write("LOG.MEM", spec);
    StartedModel m(folder);
    m.click("LOG.MEM");
    ASSERT_EQ(m.form.LoggerExtraFlag(), 1);
    m.form.DTLood();
    expectTablesEqual(m.form.SampleTable(), written.expected);
}

TEST(ChannelScale, RangeTextsGiveVoltsOrAmperesPerDivision) {
    EXPECT_FLOAT_EQ(channelScaleFromRange("50mV/DIV", "a.mem"), 0.05f);
    EXPECT_FLOAT_EQ(channelScaleFromRange("500mV/DIV", "a.mem"), 0.5f);
    EXPECT_FLOAT_EQ(channelScaleFromRange("2V/DIV", "a.mem"), 2);
    EXPECT_FLOAT_EQ(channelScaleFromRange("20A/DIV", "/cf/TREND.RMS"), 2);
    EXPECT_FLOAT_EQ(channelScaleFromRange("20A/DIV", "/cf/WAVE.MEM"), 5);
    EXPECT_FLOAT_EQ(channelScaleFromRange("1V/fs", "LOG.MEM"), 1);
}

TEST(Loader, ScalesFollowRangesAndThe886xCalibration) {
    TestFolder folder;
    folder.write("A.MEM", layoutSpec(41));
    folder.write("C.MEM", layoutSpec(86));
    StartedModel m(folder);
    m.click("A.MEM");
    m.form.DTLood();
    EXPECT_FLOAT_EQ(m.form.ChannelScale()[0], 100);
    EXPECT_FLOAT_EQ(m.form.ChannelScale()[3], 0.5f);
    m.click("C.MEM");
    m.form.DTLood();
    EXPECT_FLOAT_EQ(m.form.loadedRecording()->calibration[0], 0.03f);
    EXPECT_FLOAT_EQ(m.form.loadedRecording()->calibration[16], 0.5f);
    EXPECT_FLOAT_EQ(m.form.ChannelScale()[2], static_cast<float>(1600 * 1000 * 0.03f / 1000 * 16));
}

TEST(Loader, A886xRecordingConvertsToThePhysicalValuesOfItsCalibration) {
    // Calibrations as the instrument writes them: a gain of a few thousandths per count, an
    // offset, and a unit factor; physical value = (word x gain + offset) x unit / 1000.
    gen::RecordingSpec spec;
    spec.layout = 86;
    spec.sampleCount = 400;
    spec.channels.assign(2, gen::ChannelSpec{});
    spec.channels[0].wave = {150, 50, 0, 0, {}, 0};
    spec.channels[0].calibration = {5, -3, -12, -1, 1000};  // 0.005 per count, -1.2 V
    spec.channels[1].wave = {5, 50, 90, 0.5, {}, 0};
    spec.channels[1].calibration = {2, -3, 5, -1, 100};  // 0.002 per count, 0.5, unit 100
    TestFolder folder;
    folder.write("CAL.MEM", spec);
    StartedModel m(folder);
    m.click("CAL.MEM");
    select(m.form.Option2[1]);
    setText(m.form.Text5, folder.file("cal.csv").string());
    click(m.form.Command1);
    ASSERT_TRUE(m.host.errors.empty()) << m.host.errors[0];

    CsvFile csv(folder.file("cal.csv"));
    ASSERT_EQ(csv.lines.size(), 2u + spec.sampleCount);
    // The loader keeps codes of 16 words each, so a value is within half of 16 x gain x unit / 1000.
    const double halfStep[] = {0.5 * 16 * 0.005 * 1000 / 1000, 0.5 * 16 * 0.002 * 100 / 1000};
    double peak = 0;
    for (int j = 0; j < spec.sampleCount; ++j)
        for (int k = 0; k < 2; ++k) {
            double volts = spec.channels[k].wave.valueAt(j * gen::samplePeriodSeconds(spec), 0);
            ASSERT_NEAR(csv.number(2 + j, 1 + k), volts, halfStep[k] * 1.001) << "sample " << j << " ch" << k + 1;
            if (k == 0) peak = std::max(peak, std::fabs(csv.number(2 + j, 1)));
        }
    EXPECT_NEAR(peak, 150, 0.1);
}

TEST(Loader, ShortFileIsRefusedAndTheLoadedRecordingStays) {
    TestFolder folder;
    gen::GeneratedRecording good = folder.write("GOOD.MEM", layoutSpec(41));
    std::vector<std::byte> cut = gen::generateRecording(layoutSpec(41)).bytes;
    cut.resize(cut.size() - 100);
    folder.writeBytes("CUT.MEM", cut);
    StartedModel m(folder);
    m.click("GOOD.MEM");
    m.form.DTLood();
    m.click("CUT.MEM");
    try {
        m.form.DTLood();
        FAIL() << "a cut file loaded";
    } catch (const Error& error) {
        std::string message = error.what();
        EXPECT_EQ(error.kind(), ErrorKind::Malformed);
        EXPECT_NE(message.find("CUT.MEM"), std::string::npos);
        EXPECT_NE(message.find("257 samples"), std::string::npos);
        EXPECT_NE(message.find(std::to_string(cut.size() - 7 * 512) + " bytes follow"), std::string::npos);
    }
    EXPECT_EQ(m.form.LoadedFileName(), folder.file("GOOD.MEM").string());
    expectTablesEqual(m.form.SampleTable(), good.expected);
    EXPECT_FALSE(m.form.Label10.visible);
    EXPECT_EQ(m.host.waitCursorChanges.back(), false);
}

TEST(Loader, CountsTheFileCannotHoldAreRefusedBeforeAllocation) {
    TestFolder folder;
    gen::RecordingSpec spec = layoutSpec(41);
    spec.fieldOverrides[6] = "2000000000";
    folder.write("HUGE.MEM", spec);
    StartedModel m(folder);
    m.click("HUGE.MEM");
    EXPECT_THROW(m.form.DTLood(), Error);
    EXPECT_TRUE(m.form.LoadedFileName().empty());

    // With no channel at all the data part is empty; the table still may not outgrow the file.
    LoadRequest request;
    request.formatCode = 20;
    request.headerBlocks = 1;
    request.sampleCount = 1'000'000'000;
    request.loggerExtraFlag = 1;
    std::vector<std::byte> bytes(512);
    MemoryByteSource source(bytes, "EMPTY.MEM");
    EXPECT_THROW(loadSamples(source, request), Error);
}

TEST(Loader, A886xFileWithoutItsTagsIsRefusedAndKeepsThePreviousRecording) {
    TestFolder folder;
    gen::RecordingSpec spec = layoutSpec(86);
    std::vector<std::byte> bytes = gen::generateRecording(spec).bytes;
    std::vector<std::byte> noInfo = bytes;
    noInfo[5 * 512] = std::byte{'X'};  // "LWBBWINF" damaged
    folder.writeBytes("NOINFO.MEM", noInfo);
    std::vector<std::byte> zeroLength = bytes;
    zeroLength[5 * 512 + 32 + 12] = zeroLength[5 * 512 + 32 + 13] = std::byte{0};
    zeroLength[5 * 512 + 32] = std::byte{'Y'};  // not a channel, and a length that would not advance
    folder.writeBytes("STUCK.MEM", zeroLength);
    std::vector<std::byte> cut(bytes.begin(), bytes.begin() + 5 * 512 + 40);
    folder.writeBytes("ENDS.MEM", cut);
    folder.writeBytes("GOOD.MEM", bytes);

    for (const char* name : {"NOINFO.MEM", "STUCK.MEM", "ENDS.MEM"}) {
        StartedModel m(folder);
        m.click("GOOD.MEM");
        m.form.DTLood();
        const std::size_t rows = m.form.SampleTable().rows();
        m.click(name);
        try {
            m.form.DTLood();
            ADD_FAILURE() << name << " loaded without its data";
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find(std::string(name) + ": no sample data found"), std::string::npos);
        }
        EXPECT_EQ(m.form.LoadedFileName(), folder.file("GOOD.MEM").string()) << name;
        EXPECT_EQ(m.form.SampleTable().rows(), rows) << name;
    }
}

TEST(Loader, An886xChannelWithoutAUsableCalibrationIsRefused) {
    TestFolder folder;
    auto refusal = [&](const std::string& name, const std::vector<std::byte>& bytes) {
        folder.writeBytes(name, bytes);
        StartedModel m(folder);
        m.click(name);
        try {
            m.form.DTLood();
        } catch (const Error& error) {
            EXPECT_TRUE(m.form.LoadedFileName().empty());
            return std::string(error.what());
        }
        return std::string("loaded");
    };
    gen::RecordingSpec spec = layoutSpec(86);
    spec.channels[2].calibration.gainMantissa = 0;
    EXPECT_NE(refusal("ZERO.MEM", gen::generateRecording(spec).bytes)
                  .find("ZERO.MEM: channel 3 has an unusable calibration (gain 0, offset 0.5)"),
              std::string::npos);
    spec = layoutSpec(86);
    spec.channels[1].calibration = {2000000000, 100, 5, -1, 1000};  // 2 x 10^109 is beyond single precision
    EXPECT_NE(refusal("HUGE.MEM", gen::generateRecording(spec).bytes).find("channel 2 has an unusable calibration"),
              std::string::npos);
    // The second of four channel sub-blocks (96 bytes each, from E + 32) is not a channel.
    std::vector<std::byte> bytes = gen::generateRecording(layoutSpec(86)).bytes;
    bytes[5 * 512 + 32 + 96 + 5] = std::byte{'E'};
    EXPECT_NE(refusal("FEWER.MEM", bytes).find("calibrates 1 of the 4 channels the header records"), std::string::npos);
}

TEST(Loader, DamagedCodesAreKeptAtTheLimitAndReported) {
    TestFolder folder;
    gen::RecordingSpec spec = layoutSpec(40);
    std::vector<std::byte> bytes = gen::generateRecording(spec).bytes;
    bytes[2048] = bytes[2049] = std::byte{0xFF};  // 65535 - 2048 does not fit 16 bits
    folder.writeBytes("BAD.WAV", bytes);
    StartedModel m(folder);
    m.click("BAD.WAV");
    m.form.DTLood();
    EXPECT_EQ(m.form.SampleTable()(0, 0), 32767);
    ASSERT_EQ(m.host.warnings.size(), 1u);
    EXPECT_NE(m.host.warnings[0].find("1 sample codes"), std::string::npos);
}

// The loader's threads share the blocks of a file: every record reaches its own index once, with
// its own bytes, however the blocks fall (here five and a bit blocks of 3-byte records).
TEST(Loader, RecordsReadSideBySideEachReachTheirOwnIndexOnce) {
    constexpr std::size_t kRecordBytes = 3, kRecords = (5 << 20) / kRecordBytes + 7, kOffset = 11;
    std::vector<std::byte> bytes(kOffset + kRecords * kRecordBytes);
    for (std::size_t j = 0; j < kRecords; ++j)
        for (std::size_t b = 0; b < kRecordBytes; ++b)
            bytes[kOffset + j * kRecordBytes + b] = static_cast<std::byte>((j >> (8 * b)) & 0xFF);
    std::vector<int> seen(kRecords, 0);
    std::vector<std::uint32_t> read(kRecords, 0);
    forEachRecord(MemoryByteSource(bytes, "BLOCKS.MEM"), kOffset, kRecordBytes, kRecords,
                  [&](const std::byte* record, std::size_t j) {
                      ++seen[j];
                      for (std::size_t b = 0; b < kRecordBytes; ++b)
                          read[j] |= std::to_integer<std::uint32_t>(record[b]) << (8 * b);
                  });
    for (std::size_t j = 0; j < kRecords; ++j) {
        ASSERT_EQ(seen[j], 1) << j;
        ASSERT_EQ(read[j], j) << j;
    }
}

}  // namespace
}  // namespace pqwave
