// The export reads what the raw-data CSV reads (channels, K(i), range and step), so that the
// pair and the CSV of the same settings hold the same values, and adds what the interval
// analysis knows about the wiring: PT ratio on ch1 and ch2, clamp ratings on the circuits.
#include "control/comtrade_export.h"

#include <cmath>

#include "common/datetime.h"
#include "common/error.h"
#include "common/failure.h"
#include "common/messages.h"
#include "common/sample_counter.h"
#include "common/text.h"
#include "common/textforms.h"
#include "control/busy_caption.h"
#include "control/conversion.h"
#include "control/file_lists.h"
#include "control/form1_model.h"
#include "control/raw_data.h"
#include "input/output_target.h"
#include "power/power_settings.h"

namespace pqwave {
namespace {

namespace fs = std::filesystem;

// The unit of the CSV's numbers: a mV range is scaled to volts, a current range is in amperes.
std::string unitOfRange(const std::string& range) {
    if (contains(range, "mV")) return "V";
    return contains(range, "A") ? "A" : "V";
}

// Secondary to primary as the interval analysis applies it to a waveform recording: the PT
// ratio on the two line voltages, the clamp rating (amperes per 0.2 V of clamp output) on each
// circuit's pair of current channels. RMS and logger recordings never pass through that
// analysis (the window hides its ratios for them), so their values are taken as they are.
double primaryFactor(const PowerSettings& power, const RecordingFacts& facts, int channel) {
    if (facts.rms() || facts.kind == RecordingKind::Logger) return 1;
    if (channel < 2) return power.ptRatio;
    const int circuit = (channel - 2) / 2;
    if (circuit < circuitCountOf(facts.channelCount())) return power.clampAmps[circuit] / 0.2;
    return 1;
}

// The logic columns the loader fills, each holding 4 bits (a byte in 8840 files).
void addLogicChannels(const Recording& r, ComtradeSettings& s) {
    const int lcc = r.facts.layout.logicChannelCount;
    if (lcc <= 0) return;
    int columns = 0, bits = 4;
    switch (r.facts.layout.formatCode) {
        case 41:
        case 80:
            columns = lcc == 2 ? 2 : 1;
            break;
        case 20:
            columns = lcc <= 2 ? 1 : lcc;
            break;
        case 40:
            columns = lcc <= 2 ? 1 : 2;
            bits = 8;
            break;
        default:
            return;
    }
    const int first = (r.facts.layout.rmsDataFile + 1) * r.facts.channelCount();
    for (int t = 0; t < columns && first + t < static_cast<int>(r.table.columns()); ++t)
        for (int b = 0; b < bits; ++b)
            s.digital.push_back({"Log" + std::to_string(t + 1) + "-b" + std::to_string(b), first + t, b});
}

std::int64_t triggerMicroseconds(const RecordingFacts& f) {
    auto date = DateValue(f.startDate);
    auto time = TimeValue(f.startTime);
    if (!date || !time)
        throw Error(ErrorKind::Malformed,
                    tr("{0}: start \"{1} {2}\" is not a date and time", {f.fileName, f.startDate, f.startTime}));
    // Date and time apart: their sum in days would blur the microseconds.
    return std::llround(*date) * 86'400'000'000 + std::llround(*time * 86'400'000'000.0);
}

// The range text shown for a table column: that of the position the assignment put there.
std::string rangeOfColumn(const Recording& r, int column) {
    for (int u = 0; u < kChannelPositions; ++u)
        if (r.channels.channelMap[u] == column) return r.facts.channels[u].range;
    return {};
}

void runExport(Form1Model& form, const fs::path& cfgPath, ComtradeFormat format) {
    if (form.Label1.text.empty()) throw Error(ErrorKind::NotAvailable, tr("COMTRADE export: no file is selected"));
    if (form.FileRecognized != -1)
        throw Error(ErrorKind::NotRecognized, tr("{0}: not a recording this program knows", {form.Label1.text}));
    const fs::path recording = form.Label1.text;
    for (const fs::path& target : {cfgPath, comtradeDataPath(cfgPath)}) refuseRecordingAsOutput(target, recording);

    ProgressScope scope(form.progress);
    form.loadSelectedFile();
    const std::shared_ptr<const Recording> loaded = form.loadedRecording();
    requireConvertible(loaded->facts);
    BusyCaption wait(form);

    const ComtradeSettings settings = comtradeSettingsFor(jobOf(form), *loaded, format);
    if (SampleCounter(settings.firstSample, settings.step).value() > settings.lastSample)
        throw Error(ErrorKind::NotAvailable, tr("{0}: the output range (Text2) {1} to {2} holds no samples to export",
                                                {form.Label1.text, form.Text2[0].text, form.Text2[1].text}));
    OutputFiles files(form.Label1.text);
    const ComtradeResult result = writeComtrade(settings, loaded->table, cfgPath, form.progress, files);
    files.commit();
    reportWritten(form.host(), files);
    if (result.lowestCodesRaised > 0)
        form.host().reportWarning(
            tr("{0}: {1} samples at the code -32768 were written as -32767, which BINARY "
               "COMTRADE keeps for missing data (use --ascii to keep them)",
               {form.Label1.text, std::to_string(result.lowestCodesRaised)}));
}

}  // namespace

ComtradeSettings comtradeSettingsFor(const ConversionJob& job, const Recording& r, ComtradeFormat format) {
    const RecordingFacts& f = r.facts;
    const RawDataSettings raw = rawDataSettingsFor(job, r);
    ComtradeSettings s;
    s.recordingName = f.fileName;
    s.stationName = fs::path(f.fileName).stem().string();
    s.deviceId = "HIOKI " + f.model;
    s.format = format;
    for (const RawDataColumn& column : raw.columns) {
        const int i = column.channel;
        ComtradeAnalogChannel c;
        c.name = column.name;
        c.unit = unitOfRange(rangeOfColumn(r, i));
        c.a = column.factor;
        c.primary = primaryFactor(job.power, f, i);
        if (!raw.rms) {
            c.column = i;
            s.analog.push_back(c);
            continue;
        }
        ComtradeAnalogChannel minimum = c;
        c.name += "Max";
        c.column = 2 * i;
        minimum.name += "min";
        minimum.column = 2 * i + 1;
        s.analog.push_back(c);
        s.analog.push_back(minimum);
    }
    addLogicChannels(r, s);
    s.lineFrequency = job.power.supplyFrequency;
    s.firstSample = raw.first;
    s.lastSample = raw.last;
    s.step = raw.step;
    s.samplePeriodSeconds = f.samplePeriodAtLoad;
    s.preTriggerSamples = f.preTrigger;
    s.triggerMicroseconds = triggerMicroseconds(f);
    return s;
}

fs::path comtradePathBeside(const Form1Model& form) {
    return fs::path(form.Label1.text).replace_extension(".cfg");
}

bool exportComtrade(Form1Model& form, const fs::path& cfgPath, ComtradeFormat format) {
    return reportingFailure(
        form.Label1.text, [&] { runExport(form, cfgPath, format); },
        [&form](const Failure& failure) {
            form.progress.clearCancel();
            form.host().reportError(failure.kind, failure.message);
        });
}

bool exportComtradeBeside(Form1Model& form, const std::string& fileName) {
    const std::string path = joinFolder(form.File1.path, fileName);
    if (form.Label1.text != path) {
        form.File1_Click(fileName);
        // A header that could not be read has been reported; the previous file is not exported.
        if (form.Label1.text != path) return false;
    }
    return exportComtrade(form, comtradePathBeside(form), ComtradeFormat::Binary);
}

}  // namespace pqwave
