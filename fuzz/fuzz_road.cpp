#include "fuzz/fuzz_road.h"

#include <cstdio>
#include <cstdlib>
#include <list>
#include <memory>
#include <span>
#include <vector>

#include "common/failure.h"
#include "control/comtrade_export.h"
#include "control/conversion.h"
#include "control/conversion_job.h"
#include "control/raw_data.h"
#include "display/vector_model.h"
#include "display/waveform_model.h"
#include "export/comtrade.h"
#include "input/byte_source.h"
#include "input/header.h"
#include "input/recording.h"

namespace pqwave::fuzz {
namespace {

// The memory the streams write into; a base of the outputs, so the files (and their streams)
// are closed before it is freed. A list, because each stream keeps the address of its entry.
struct MemoryBuffers {
    std::list<std::pair<char*, std::size_t>> buffers;
    ~MemoryBuffers() {
        for (auto& [buffer, size] : buffers) std::free(buffer);
    }
};

// Outputs kept in memory: each file is a stream whose bytes are dropped when the run ends.
class MemoryOutputFiles : private MemoryBuffers, public OutputFiles {
public:
    MemoryOutputFiles() : OutputFiles({}) {}
    TextOutputFile& create(const std::filesystem::path& path, TextOutputFile::Mode) override {
        auto& [buffer, size] = buffers.emplace_back(nullptr, 0);
        return keep(std::make_unique<TextOutputFile>(::open_memstream(&buffer, &size), path.string()));
    }
};

// What the input's last bytes choose: the processing and its settings, the channel settings.
struct Choice {
    std::uint8_t road = 0, options = 0, channels = 0;
};

Choice choiceOf(const std::uint8_t* data, std::size_t size) {
    Choice c;
    if (size > 0) c.channels = data[size - 1];
    if (size > 1) c.options = data[size - 2];
    if (size > 2) c.road = data[size - 3];
    return c;
}

ChannelSettings channelSettingsOf(std::uint8_t options) {
    ChannelSettings settings;
    const int position = options >> 4;
    settings.swapFirstBlocks = (options & 1) != 0;
    if (options & 2) std::swap(settings.channelMap[0], settings.channelMap[position]);
    if (options & 4) settings.invertedColumn[position] = true;
    return settings;
}

// The window's defaults, then what the option bits change.
ConversionJob jobOf(Processing processing, std::uint8_t o) {
    ConversionJob job;
    job.processing = processing;
    job.outputName = "out.csv";
    PowerSettings& p = job.power;
    p.ptRatio = o & 0x80 ? 1e30 : 60;
    p.clampAmps.fill(200);
    static const double kIntervals[] = {20, 10, 1000.0 / 60, 0.01, 200, 1};
    p.intervalMs = kIntervals[o % 6];
    p.supplyFrequency = o & 0x40 ? 60 : 50;
    p.perPhase = o & 1;
    p.lineVoltages = !(o & 2);
    p.fundamental = p.fifth = o & 4;
    p.frequency = o & 8;
    p.compensation = p.theoretical = o & 16;
    p.kP = p.kQ = p.kRX = 0.5;
    p.wiring.circuits[0].starDelta = o & 32 ? StarDelta::Minus30 : StarDelta::Plus30;
    p.wiring.circuits[1].polarityInverted = true;
    job.statisticsOnly = o & 0x20;
    job.phaseCheck = o & 0x10;
    job.raw.multipliers.fill(o & 0x08 ? 0.5 : 1);
    job.raw.firstSample = std::to_string(static_cast<int>(o % 7) - 2);
    job.raw.lastSample = o & 0x04 ? std::to_string(o * 3) : "";
    job.raw.step = 1 + o % 4;
    job.raw.clockTimes = o & 0x02;
    job.movingFft.exponent = 3 + o % 4;
    job.movingFft.stepMs = (o >> 2) % 8 * 5 + 0.5;
    job.movingFft.bandMode = o & 0x80;
    job.movingFft.stepKHz = 0.1;
    return job;
}

void runDisplays(const std::shared_ptr<const Recording>& recording, std::uint8_t o, bool vector) {
    DisplayView view;
    view.recording = recording;
    view.loadCount = 1;
    view.samplesPerInterval = recording->facts.samplesPerIntervalOf(o % 3 ? 20 : 0.5);
    view.supplyHz = o & 1 ? 60 : 50;
    view.ptRatio = 60;
    view.clampAmps.fill(200);
    view.phaseCheck = true;
    const auto source = [&view] { return view; };
    if (vector) {
        Form02Model window(source, [](Rotation) {});
        window.Form_Activate();
        setScrollValue(window.HScroll1, o);
        setText(window.Text1[0], o & 2 ? "1e30" : "0.5");
        window.V_Drow();
        return;
    }
    Form2Model window(source);
    window.openFromMainWindow();
    for (int k = 0; k < 8; ++k) setValue(window.Check1[k], 1);
    setText(window.Text2, o & 2 ? "1e9" : "2");
    setScrollValue(window.HScroll1, o);
    window.Form_Resize(o * 100.0, o * 50.0);
    click(window.Command3);
}

void runExport(const std::shared_ptr<const Recording>& recording, std::uint8_t o) {
    ConversionJob job = jobOf(Processing::RawData, o);
    MemoryOutputFiles files;
    Progress progress;
    writeComtrade(comtradeSettingsFor(job, *recording, o & 1 ? ComtradeFormat::Ascii : ComtradeFormat::Binary),
                  recording->table, "out.cfg", progress, files);
}

void runChosen(const std::shared_ptr<const Recording>& recording, const Choice& c) {
    static const Processing kProcessings[] = {Processing::IntervalAnalysis,
                                              Processing::SlidingAnalysis,
                                              Processing::RawData,
                                              Processing::TimeOfDayStatistics,
                                              Processing::PqFft,
                                              Processing::ChannelFft,
                                              Processing::MovingFft};
    const int road = c.road % 10;
    if (road == 7) return runExport(recording, c.options);
    if (road >= 8) return runDisplays(recording, c.options, road == 9);
    Progress progress;
    runConversion(jobOf(kProcessings[road], c.options), recording, progress, std::make_unique<MemoryOutputFiles>());
}

}  // namespace

void runRoad(const std::uint8_t* data, std::size_t size) {
    const auto bytes = std::as_bytes(std::span(data, size));
    const Choice choice = choiceOf(data, size);
    // A refused file or run is a fine outcome; a crash, a hang or a sanitizer report is not.
    reportingFailure(
        "input",
        [&] {
            const RecordingFacts facts = recordingFactsOf(parseHeader(bytes, "input"), "input");
            if (!facts.recognized()) return;
            MemoryByteSource source(bytes, "input");
            auto recording = std::make_shared<const Recording>(
                loadRecording(facts, channelSettingsOf(choice.channels), choice.channels >> 4, source));
            runChosen(recording, choice);
        },
        [](const Failure&) {});
}

}  // namespace pqwave::fuzz
