// COMTRADE export, read back with a reader of its own written from the field list of
// IEEE Std C37.111-1999 and compared value by value with the raw-data CSV of the same
// recording and settings, for every kind of recording the instruments make.
#include "control/comtrade_export.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/cli.h"
#include "support/csv_file.h"
#include "support/recording_host.h"

namespace pqwave {
namespace {

using testing::CsvFile;
using testing::StartedModel;
using testing::TestFolder;
namespace fs = std::filesystem;

// ---- A reader that knows nothing but the standard

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (std::size_t comma; (comma = line.find(',', from)) != std::string::npos; from = comma + 1)
        fields.push_back(line.substr(from, comma - from));
    fields.push_back(line.substr(from));
    return fields;
}

double real(const std::string& text) {
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0') throw std::runtime_error("not a real: \"" + text + "\"");
    return value;
}

long long integer(const std::string& text) {
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0') throw std::runtime_error("not an integer: \"" + text + "\"");
    return value;
}

struct Analog {
    std::string id, unit;
    double a = 0, b = 0, skew = 0, primary = 0, secondary = 0;
    long long min = 0, max = 0;
    std::string ps;
};

struct Config {
    std::vector<std::string> lines;
    std::string station, device, revision;
    std::vector<Analog> analog;
    std::vector<std::string> digital;  // ids
    double lineFrequency = 0, samp = 0, timemult = 0;
    long long endsamp = 0;
    std::string first, trigger, fileType;
};

struct Record {
    unsigned long long n = 0, timestamp = 0;
    std::vector<int> analog, digital;
};

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("no file " + path.string());
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Config readConfig(const fs::path& path) {
    Config c;
    std::string bytes = fileBytes(path);
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) throw std::runtime_error("a line of the .cfg does not end in CR LF");
        c.lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    std::size_t l = 0;
    auto next = [&](std::size_t fields) {
        std::vector<std::string> f = splitFields(c.lines.at(l++));
        if (f.size() != fields) throw std::runtime_error("line " + std::to_string(l) + " has the wrong field count");
        return f;
    };
    auto head = next(3);
    c.station = head[0], c.device = head[1], c.revision = head[2];
    auto counts = next(3);
    const long long analogCount = integer(counts[1].substr(0, counts[1].size() - 1));
    const long long digitalCount = integer(counts[2].substr(0, counts[2].size() - 1));
    if (counts[1].back() != 'A' || counts[2].back() != 'D' || integer(counts[0]) != analogCount + digitalCount)
        throw std::runtime_error("bad channel counts");
    for (long long k = 1; k <= analogCount; ++k) {
        auto f = next(13);
        if (integer(f[0]) != k) throw std::runtime_error("analog index out of order");
        Analog a;
        a.id = f[1], a.unit = f[4], a.a = real(f[5]), a.b = real(f[6]), a.skew = real(f[7]);
        a.min = integer(f[8]), a.max = integer(f[9]), a.primary = real(f[10]), a.secondary = real(f[11]);
        a.ps = f[12];
        c.analog.push_back(a);
    }
    for (long long k = 1; k <= digitalCount; ++k) {
        auto f = next(5);
        if (integer(f[0]) != k || (f[4] != "0" && f[4] != "1")) throw std::runtime_error("bad digital line");
        c.digital.push_back(f[1]);
    }
    c.lineFrequency = real(next(1)[0]);
    if (integer(next(1)[0]) != 1) throw std::runtime_error("one sampling rate expected");
    auto rate = next(2);
    c.samp = real(rate[0]), c.endsamp = integer(rate[1]);
    auto first = next(2), trigger = next(2);
    c.first = first[0] + "," + first[1];
    c.trigger = trigger[0] + "," + trigger[1];
    c.fileType = next(1)[0];
    c.timemult = real(next(1)[0]);
    if (l != c.lines.size()) throw std::runtime_error("lines after timemult");
    return c;
}

std::vector<Record> readData(const Config& c, const fs::path& path) {
    std::string bytes = fileBytes(path);
    const std::size_t analog = c.analog.size(), digital = c.digital.size();
    std::vector<Record> records;
    if (c.fileType == "BINARY") {
        const std::size_t words = (digital + 15) / 16, size = 8 + 2 * analog + 2 * words;
        if (bytes.size() % size != 0) throw std::runtime_error("the .dat is not whole records");
        auto byte = [&](std::size_t at) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[at])); };
        auto u32 = [&](std::size_t at) {
            return byte(at) | byte(at + 1) << 8 | byte(at + 2) << 16 |
                   static_cast<unsigned long long>(byte(at + 3)) << 24;
        };
        auto u16 = [&](std::size_t at) { return byte(at) | byte(at + 1) << 8; };
        for (std::size_t at = 0; at < bytes.size(); at += size) {
            Record r;
            r.n = u32(at), r.timestamp = u32(at + 4);
            for (std::size_t k = 0; k < analog; ++k) {
                unsigned v = u16(at + 8 + 2 * k);
                r.analog.push_back(v >= 0x8000 ? static_cast<int>(v) - 0x10000 : static_cast<int>(v));
            }
            for (std::size_t d = 0; d < digital; ++d)
                r.digital.push_back(u16(at + 8 + 2 * analog + 2 * (d / 16)) >> (d % 16) & 1);
            records.push_back(r);
        }
        return records;
    }
    if (c.fileType != "ASCII") throw std::runtime_error("unknown file type " + c.fileType);
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line.back() != '\r') throw std::runtime_error("a record does not end in CR LF");
        line.pop_back();
        auto f = splitFields(line);
        if (f.size() != 2 + analog + digital) throw std::runtime_error("a record has the wrong field count");
        Record r;
        r.n = integer(f[0]), r.timestamp = integer(f[1]);
        for (std::size_t k = 0; k < analog; ++k) r.analog.push_back(static_cast<int>(integer(f[2 + k])));
        for (std::size_t d = 0; d < digital; ++d) r.digital.push_back(static_cast<int>(integer(f[2 + analog + d])));
        records.push_back(r);
    }
    return records;
}

struct Exported {
    Config config;
    std::vector<Record> records;
    double value(std::size_t record, std::size_t channel) const {
        const Analog& a = config.analog[channel];
        return a.a * records[record].analog[channel] + a.b;
    }
};

Exported readExport(const fs::path& cfg) {
    Exported e;
    e.config = readConfig(cfg);
    fs::path dat = cfg;
    e.records = readData(e.config, dat.replace_extension(".dat"));
    return e;
}

// ---- Driving the model

CsvFile rawCsv(StartedModel& m, const TestFolder& folder) {
    select(m.form.Option2[1]);
    setText(m.form.Text5, folder.file("raw.csv").string());
    click(m.form.Command1);
    if (!m.host.errors.empty()) throw std::runtime_error(m.host.errors[0]);
    return CsvFile(folder.file("raw.csv"));
}

Exported exportAs(StartedModel& m, const TestFolder& folder, ComtradeFormat format, const std::string& name) {
    EXPECT_TRUE(exportComtrade(m.form, folder.file(name + ".cfg"), format));
    if (!m.host.errors.empty()) throw std::runtime_error(m.host.errors[0]);
    return readExport(folder.file(name + ".cfg"));
}

// Every value of the export against the CSV's, both as the CSV writes them (15 digits), the
// CSV's header naming the channels; and BINARY against ASCII, field by field.
void expectSameAsCsv(const Exported& e, const CsvFile& csv) {
    ASSERT_EQ(e.records.size() + 2, csv.lines.size());
    ASSERT_EQ(csv.rows[1].size(), e.config.analog.size() + 1);
    ASSERT_EQ(e.config.endsamp, static_cast<long long>(e.records.size()));
    for (std::size_t k = 0; k < e.config.analog.size(); ++k) EXPECT_EQ(e.config.analog[k].id, csv.rows[1][k + 1]);
    for (std::size_t r = 0; r < e.records.size(); ++r) {
        ASSERT_EQ(e.records[r].n, r + 1);
        ASSERT_EQ(e.records[r].timestamp, r);
        for (std::size_t k = 0; k < e.config.analog.size(); ++k) {
            char text[40];
            std::snprintf(text, sizeof text, "%.15G", e.value(r, k));
            ASSERT_EQ(real(text), real(csv.rows[2 + r][k + 1])) << "record " << r << " channel " << k;
        }
    }
}

void expectAsciiAgreesWithBinary(const Exported& ascii, const Exported& binary) {
    ASSERT_EQ(ascii.config.lines.size(), binary.config.lines.size());
    for (std::size_t l = 0; l < ascii.config.lines.size(); ++l)
        if (ascii.config.lines[l] != "ASCII") {
            EXPECT_EQ(ascii.config.lines[l], binary.config.lines[l]);
        }
    ASSERT_EQ(ascii.records.size(), binary.records.size());
    for (std::size_t r = 0; r < ascii.records.size(); ++r) {
        ASSERT_EQ(ascii.records[r].analog, binary.records[r].analog) << r;
        ASSERT_EQ(ascii.records[r].digital, binary.records[r].digital) << r;
    }
}

// Exports BINARY and ASCII, writes the CSV of the same settings and compares all three;
// returns the BINARY export.
Exported exportAndCompare(StartedModel& m, const TestFolder& folder) {
    const CsvFile csv = rawCsv(m, folder);
    Exported binary = exportAs(m, folder, ComtradeFormat::Binary, "bin");
    const Exported ascii = exportAs(m, folder, ComtradeFormat::Ascii, "asc");
    EXPECT_EQ(binary.config.fileType, "BINARY");
    EXPECT_EQ(ascii.config.fileType, "ASCII");
    expectSameAsCsv(binary, csv);
    expectAsciiAgreesWithBinary(ascii, binary);
    return binary;
}

// Each channel's min and max fields are the extreme codes written.
void expectMinAndMaxOfTheCodes(const Exported& e) {
    for (std::size_t k = 0; k < e.config.analog.size(); ++k) {
        int low = 32767, high = -32768;
        for (const Record& r : e.records) low = std::min(low, r.analog[k]), high = std::max(high, r.analog[k]);
        EXPECT_EQ(e.config.analog[k].min, low) << k;
        EXPECT_EQ(e.config.analog[k].max, high) << k;
    }
}

// Bit b of logic column t of sample s, as the generator stored it, against the digital channels.
void expectLogicBits(const Exported& e, const gen::GeneratedRecording& written, int firstLogicColumn, int columns,
                     int first, int step) {
    ASSERT_EQ(e.config.digital.size(), static_cast<std::size_t>(4 * columns));
    for (int t = 0; t < columns; ++t)
        for (int b = 0; b < 4; ++b)
            EXPECT_EQ(e.config.digital[4 * t + b], "Log" + std::to_string(t + 1) + "-b" + std::to_string(b));
    for (std::size_t r = 0; r < e.records.size(); ++r) {
        const int s = first + step * static_cast<int>(r);
        for (int t = 0; t < columns; ++t)
            for (int b = 0; b < 4; ++b)
                ASSERT_EQ(e.records[r].digital[4 * t + b], written.expected(s, firstLogicColumn + t) >> b & 1)
                    << "sample " << s << " logic " << t << " bit " << b;
    }
}

// ---- Recordings

TEST(ComtradeExport, AThreePhaseRecordingWithLogicKeepsTheCsvsValuesTheWiringAndTheLogicBits) {
    TestFolder folder;
    gen::ThreePhaseSupply supply;
    supply.circuits = {{100, 10, 500, {}}, {50, 20, 200, {}}};
    gen::RecordingSpec spec;
    spec.channels = gen::threePhaseChannels(supply);
    spec.sampleCount = 600;
    spec.preTrigger = "100";
    spec.logicChannels = 2;
    spec.logic = [](int j, int t) { return (j * 3 + t * 5) & 15; };
    const gen::GeneratedRecording written = folder.write("REC.MEM", spec);

    StartedModel m(folder);
    m.click("REC.MEM");
    setValue(m.form.Check16, 1);
    setListIndex(m.form.Combo1[0], 1);  // ch1 and ch2 change places
    setValue(m.form.Check17[2], 1);     // the first current is inverted
    setText(m.form.Text3[3], "2.5");
    setText(m.form.Text7[0], "66");
    setText(m.form.Text7[1], "500");
    select(m.form.Option5[1]);
    setText(m.form.Text2[0], "10");
    setText(m.form.Text2[1], "500");
    setText(m.form.Text4, "3");
    m.form.Text4_LostFocus();
    const Exported e = exportAndCompare(m, folder);

    const Config& c = e.config;
    EXPECT_EQ(c.station, "REC");
    EXPECT_EQ(c.device, "HIOKI 8841");
    EXPECT_EQ(c.revision, "1999");
    EXPECT_EQ(c.endsamp, (500 - 10) / 3 + 1);
    const double primaries[] = {66, 66, 2500, 2500, 1000, 1000};  // PT ratio; 500 A and 200 A per 0.2 V
    ASSERT_EQ(c.analog.size(), 6u);
    for (std::size_t k = 0; k < 6; ++k) {
        EXPECT_EQ(c.analog[k].unit, "V");  // 100 V and 50 mV ranges
        EXPECT_EQ(c.analog[k].primary, primaries[k]);
        EXPECT_EQ(c.analog[k].secondary, 1);
        EXPECT_EQ(c.analog[k].ps, "S");
        EXPECT_EQ(c.analog[k].skew, 0);
    }
    expectMinAndMaxOfTheCodes(e);
    expectLogicBits(e, written, 6, 2, 10, 3);
    EXPECT_EQ(c.lineFrequency, 60);
    // 5 ms per 100 samples, every third: 150 us apart. Sample 0 lies 100 samples (5 ms) before
    // the trigger at 13:45:30, the first exported one 10 samples later.
    EXPECT_EQ(c.timemult, 150);
    EXPECT_DOUBLE_EQ(c.samp, 1e6 / 150);
    EXPECT_EQ(c.trigger, "06/05/2024,13:45:30.000000");
    EXPECT_EQ(c.first, "06/05/2024,13:45:29.995500");
}

TEST(ComtradeExport, AnRmsRecordingGivesItsMaximumAndMinimumSeriesAsChannels) {
    TestFolder folder;
    gen::RecordingSpec spec;
    spec.rms = true;
    spec.channels.resize(2);
    spec.channels[1].range = "20A";
    spec.timePerDivision = "1min";
    spec.samplesPerDivision = 60;
    spec.sampleCount = 120;
    for (auto& ch : spec.channels) ch.wave = {10, 1.0 / 60, 0, 50, {}, 1};
    folder.write("T.RMS", spec);
    StartedModel m(folder);
    m.click("T.RMS");
    const Exported e = exportAndCompare(m, folder);
    ASSERT_EQ(e.config.analog.size(), 4u);
    const char* units[] = {"V", "V", "A", "A"};
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(e.config.analog[k].unit, units[k]);
        EXPECT_EQ(e.config.analog[k].primary, 1);  // the ratios of the power analysis do not apply
    }
    EXPECT_EQ(e.config.samp, 1);
    EXPECT_EQ(e.config.timemult, 1e6);
}

TEST(ComtradeExport, ALoggerRecordingAtOneSampleAMinuteKeepsExactTimesBeyondTheTimestampsRange) {
    TestFolder folder;
    gen::RecordingSpec spec;
    spec.layout = 20;
    spec.timePerDivision = "1min";
    spec.sampleCount = 200;  // 200 minutes; 2^32 microseconds are 71.6 minutes
    spec.preTrigger = "5";
    spec.channels.assign(2, gen::ChannelSpec{});
    for (auto& ch : spec.channels) ch.range = "1V", ch.wave = {0.8, 1.0 / 3600, 0, 0, {}, 0.01};
    spec.logicChannels = 3;
    spec.logic = [](int j, int t) { return (j + 7 * t) & 15; };
    const gen::GeneratedRecording written = folder.write("LOG.MEM", spec);
    StartedModel m(folder);
    m.click("LOG.MEM");
    const Exported e = exportAndCompare(m, folder);
    expectLogicBits(e, written, 2, 3, 0, 1);
    EXPECT_EQ(e.config.timemult, 60e6);
    EXPECT_DOUBLE_EQ(e.config.samp, 1.0 / 60);
    EXPECT_EQ(e.records.back().timestamp * e.config.timemult, 199 * 60e6);
    EXPECT_EQ(e.config.first, "06/05/2024,13:40:30.000000");  // five samples before the trigger
}

TEST(ComtradeExport, ALayout86RecordingKeepsItsCalibratedValues) {
    TestFolder folder;
    gen::RecordingSpec spec;
    spec.layout = 86;
    spec.sampleCount = 300;
    spec.channels.assign(3, gen::ChannelSpec{});
    for (int k = 0; k < 3; ++k) {
        spec.channels[k].wave = {150, 50, 45.0 * k, 0, {}, 0.01};
        spec.channels[k].calibration.gainExponent = -3;
    }
    folder.write("W.MEM", spec);
    StartedModel m(folder);
    m.click("W.MEM");
    const Exported e = exportAndCompare(m, folder);
    EXPECT_EQ(e.config.device, "HIOKI 8860");
    EXPECT_EQ(e.config.endsamp, 300);
}

TEST(ComtradeExport, AMillionSamplesOfSixteenChannelsAreExportedCompletely) {
    TestFolder folder;
    gen::ThreePhaseSupply supply;
    for (int c = 0; c < 7; ++c) supply.circuits.push_back({50.0 + 10 * c, 10.0 * c, 200, {}});
    gen::RecordingSpec spec;
    spec.timePerDivision = "50ms";
    spec.sampleCount = 1'000'000;
    spec.channels = gen::threePhaseChannels(supply);
    const gen::GeneratedRecording written = folder.write("BIG.MEM", spec);
    StartedModel m(folder);
    m.click("BIG.MEM");
    ASSERT_TRUE(exportComtrade(m.form, folder.file("big.cfg"), ComtradeFormat::Binary));
    EXPECT_EQ(fs::file_size(folder.file("big.dat")), 1'000'000u * (8 + 2 * 16));
    const Exported e = readExport(folder.file("big.cfg"));
    ASSERT_EQ(e.config.endsamp, 1'000'000);
    ASSERT_EQ(e.records.size(), 1'000'000u);
    for (std::size_t j = 0; j < e.records.size(); ++j)
        for (std::size_t k = 0; k < 16; ++k) ASSERT_EQ(e.records[j].analog[k], written.expected(j, k)) << j;
}

// ---- The code BINARY keeps for missing data

TEST(ComtradeExport, ARecordedLowestCodeStaysExactOrIsRaisedByOneWithAWarning) {
    TestFolder folder;
    gen::RecordingSpec spec;
    spec.sampleCount = 4;
    spec.channels.assign(2, gen::ChannelSpec{});
    spec.channels[0].codes = {-32768, 0, 100, -5};   // never 32767: shifted up by one
    spec.channels[1].codes = {-32768, 32767, 1, 2};  // both extremes: BINARY raises -32768
    folder.write("FULL.MEM", spec);
    StartedModel m(folder);
    m.click("FULL.MEM");
    const CsvFile csv = rawCsv(m, folder);
    const Exported binary = exportAs(m, folder, ComtradeFormat::Binary, "bin");
    ASSERT_EQ(m.host.warnings.size(), 1u);
    EXPECT_NE(m.host.warnings[0].find("FULL.MEM"), std::string::npos);
    const Exported ascii = exportAs(m, folder, ComtradeFormat::Ascii, "asc");
    EXPECT_EQ(m.host.warnings.size(), 1u);

    const Analog& shifted = binary.config.analog[0];
    EXPECT_EQ(shifted.b, -shifted.a);
    EXPECT_EQ(binary.records[0].analog[0], -32767);
    EXPECT_EQ(shifted.min, -32767);
    EXPECT_EQ(binary.config.analog[1].min, -32767);
    EXPECT_EQ(binary.records[0].analog[1], -32767);
    EXPECT_EQ(ascii.records[0].analog[1], -32768);
    EXPECT_EQ(ascii.config.analog[1].min, -32768);
    for (std::size_t r = 0; r < 4; ++r) {
        for (const Exported* e : {&binary, &ascii}) {
            double expected = csv.number(2 + r, 1);
            EXPECT_NEAR(e->value(r, 0), expected, std::fabs(expected) * 1e-14) << r;
        }
        if (r > 0) {
            EXPECT_EQ(binary.value(r, 1), csv.number(2 + r, 2));
        }
        EXPECT_EQ(ascii.value(r, 1), csv.number(2 + r, 2));
    }
}

// ---- Names and times

TEST(ComtradeExport, NamesCompatibilityCannotHoldAreReplaced) {
    TestFolder folder;
    gen::RecordingSpec spec;
    spec.sampleCount = 10;
    spec.channels.assign(3, gen::ChannelSpec{});
    spec.channels[0].number = "\x82\x60";  // a full-width letter in CP932
    spec.channels[1].number = "1,5";
    folder.write("測定.MEM", spec);
    StartedModel m(folder);
    m.click("測定.MEM");
    ASSERT_TRUE(exportComtrade(m.form, folder.file("out.cfg"), ComtradeFormat::Binary));
    const Config c = readConfig(folder.file("out.cfg"));
    EXPECT_EQ(c.station, "recording");
    EXPECT_EQ(c.analog[0].id, "ch1");
    EXPECT_EQ(c.analog[1].id, "ch2");
    EXPECT_EQ(c.analog[2].id, "ch3");
}

TEST(ComtradeExport, TheTimeMultiplierIsTheSamplingPeriodOfEveryTimeAxis) {
    struct Axis {
        std::string timePerDivision;
        int samplesPerDivision;
        std::string timemult, samp;
    };
    for (const Axis& axis :
         {Axis{"5ms", 80, "62.5", "16000"}, Axis{"5us", 100, "0.05", "20000000"}, Axis{"200ms", 100, "2000", "500"}}) {
        TestFolder folder;
        gen::RecordingSpec spec;
        spec.sampleCount = 20;
        spec.timePerDivision = axis.timePerDivision;
        spec.samplesPerDivision = axis.samplesPerDivision;
        folder.write("A.MEM", spec);
        StartedModel m(folder);
        m.click("A.MEM");
        ASSERT_TRUE(exportComtrade(m.form, folder.file("a.cfg"), ComtradeFormat::Ascii));
        const Config c = readConfig(folder.file("a.cfg"));
        EXPECT_EQ(c.lines.back(), axis.timemult) << axis.timePerDivision;
        EXPECT_EQ(splitFields(c.lines[c.lines.size() - 5])[0], axis.samp) << axis.timePerDivision;
    }
}

// ---- Files and failures

TEST(ComtradeExport, ACancelledExportLeavesTheEarlierPairAndNothingElse) {
    TestFolder folder;
    gen::RecordingSpec spec;
    spec.sampleCount = 400000;
    spec.channels.assign(4, gen::ChannelSpec{});
    folder.write("A.MEM", spec);
    std::ofstream(folder.file("out.cfg")) << "earlier cfg";
    std::ofstream(folder.file("out.dat")) << "earlier dat";
    StartedModel m(folder);
    m.click("A.MEM");
    m.form.progress.setObserver([&](const Progress& p) {
        if (p.fraction() > 0.2) m.form.progress.requestCancel();
    });
    EXPECT_FALSE(exportComtrade(m.form, folder.file("out.cfg"), ComtradeFormat::Ascii));
    ASSERT_EQ(m.host.errorKinds.size(), 1u);
    EXPECT_EQ(m.host.errorKinds[0], ErrorKind::Cancelled);
    EXPECT_NE(m.host.errors[0].find("A.MEM"), std::string::npos);
    EXPECT_EQ(folder.readText("out.cfg"), "earlier cfg");
    EXPECT_EQ(folder.readText("out.dat"), "earlier dat");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 3);
    EXPECT_FALSE(m.form.progress.running());
}

TEST(ComtradeExport, TheRecordingItselfIsNeverOverwritten) {
    TestFolder folder;
    folder.write("REC.DAT", gen::RecordingSpec{});
    const std::string before = folder.readText("REC.DAT");
    StartedModel m(folder);
    EXPECT_FALSE(exportComtradeBeside(m.form, "REC.DAT"));
    ASSERT_EQ(m.host.errorKinds.size(), 1u);
    EXPECT_EQ(m.host.errorKinds[0], ErrorKind::CannotWrite);
    EXPECT_NE(m.host.errors[0].find("REC"), std::string::npos);
    EXPECT_EQ(folder.readText("REC.DAT"), before);
    EXPECT_FALSE(fs::exists(folder.file("REC.cfg")));
}

// ---- pqwave-cli export

int cli(const std::vector<std::string>& args, std::string& err) {
    std::ostringstream out, errors;
    int status = runCli(args, fs::temp_directory_path(), out, errors);
    err = errors.str();
    return status;
}

TEST(ComtradeExportCli, ExportsBesideTheRecordingOrWhereOSaysWithTheSettingsApplied) {
    TestFolder folder;
    gen::RecordingSpec spec;
    spec.sampleCount = 101;
    folder.write("REC.MEM", spec);
    std::string err;
    EXPECT_EQ(cli({"export", folder.file("REC.MEM").string()}, err), 0) << err;
    EXPECT_EQ(readConfig(folder.file("REC.cfg")).fileType, "BINARY");
    EXPECT_EQ(readExport(folder.file("REC.cfg")).records.size(), 101u);

    // The step is the raw-data output's, which shows it.
    EXPECT_EQ(cli({"export", folder.file("REC.MEM").string(), "--processing", "raw", "--step", "2", "--ascii", "-o",
                   folder.file("half.cfg").string()},
                  err),
              0)
        << err;
    const Exported half = readExport(folder.file("half.cfg"));
    EXPECT_EQ(half.config.fileType, "ASCII");
    EXPECT_EQ(half.records.size(), 51u);  // samples 0, 2, ..., 100
}

TEST(ComtradeExportCli, BadInputGetsItsExitStatusAndAMessageNamingTheFile) {
    TestFolder folder;
    folder.writeBytes("NOTES.TXT", std::vector<std::byte>(600, std::byte{'n'}));
    gen::GeneratedRecording cut = gen::generateRecording(gen::RecordingSpec{});
    cut.bytes.resize(cut.bytes.size() - 100);
    folder.writeBytes("CUT.MEM", cut.bytes);
    std::ofstream(folder.file("out.cfg")) << "earlier";
    std::string err;

    EXPECT_EQ(cli({"export", folder.file("NOTES.TXT").string()}, err), 3);
    EXPECT_NE(err.find("NOTES.TXT"), std::string::npos);
    EXPECT_EQ(cli({"export", folder.file("CUT.MEM").string(), "-o", folder.file("out.cfg").string()}, err), 1);
    EXPECT_NE(err.find("CUT.MEM"), std::string::npos);
    EXPECT_EQ(folder.readText("out.cfg"), "earlier");
    EXPECT_FALSE(fs::exists(folder.file("out.dat")));
    EXPECT_EQ(cli({"export", folder.file("CUT.MEM").string(), "-o", folder.file("out.csv").string()}, err), 2);
    EXPECT_EQ(cli({"convert", folder.file("CUT.MEM").string(), "--ascii"}, err), 2);
}

}  // namespace
}  // namespace pqwave
