// The export reads what the raw-data CSV reads (channels, K(i), range and step), so that the
// pair and the CSV of the same settings hold the same values, and adds what the interval
// analysis knows about the wiring: PT ratio on ch1 and ch2, clamp ratings on the circuits.
#include "control/comtrade_export.h"

#include <cmath>

#include "common/datetime.h"
#include "common/error.h"
#include "common/failure.h"
#include "common/sample_counter.h"
#include "common/text.h"
#include "common/textforms.h"
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
double primaryFactor(const Form1Model& form, int channel) {
    if (form.RmsDataFile == 1 || form.FormatCode == 20) return 1;
    if (channel < 2) return valOf(form.Text7[0]);
    int circuit = (channel - 2) / 2;
    if (circuit < circuitCountOf(form.ChannelCount)) return valOf(form.Text7[circuit + 1]) / 0.2;
    return 1;
}

// The logic columns the loader fills, each holding 4 bits (a byte in 8840 files).
void addLogicChannels(const Form1Model& form, ComtradeSettings& s) {
    const int lcc = form.LogicChannelCount;
    if (lcc <= 0) return;
    int columns = 0, bits = 4;
    switch (form.FormatCode) {
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
    const int first = (form.RmsDataFile + 1) * form.ChannelCount;
    for (int t = 0; t < columns && first + t < static_cast<int>(form.SampleTable.columns()); ++t)
        for (int b = 0; b < bits; ++b)
            s.digital.push_back({"Log" + std::to_string(t + 1) + "-b" + std::to_string(b), first + t, b});
}

std::int64_t triggerMicroseconds(const Form1Model& form) {
    auto date = DateValue(form.Label15[0].text);
    auto time = TimeValue(form.Label15[1].text);
    if (!date || !time)
        throw Error(ErrorKind::Malformed, form.Label1.text + ": start \"" + form.Label15[0].text + " " +
                                              form.Label15[1].text + "\" is not a date and time");
    // Date and time apart: their sum in days would blur the microseconds.
    return std::llround(*date) * 86'400'000'000 + std::llround(*time * 86'400'000'000.0);
}

class WaitCursor {
public:
    explicit WaitCursor(Form1Model& form) : form_(form) { form_.host().setWaitCursor(true); }
    ~WaitCursor() { form_.host().setWaitCursor(false); }

private:
    Form1Model& form_;
};

void runExport(Form1Model& form, const fs::path& cfgPath, ComtradeFormat format) {
    if (form.Label1.text.empty()) throw Error(ErrorKind::NotAvailable, "COMTRADE export: no file is selected");
    if (form.FileRecognized != -1)
        throw Error(ErrorKind::NotRecognized, form.Label1.text + ": not a recording this program knows");
    const fs::path recording = form.Label1.text;
    for (const fs::path& target : {cfgPath, comtradeDataPath(cfgPath)}) refuseRecordingAsOutput(target, recording);

    ProgressScope scope(form.progress);
    form.loadSelectedFile();
    form.requireConvertibleRecording();
    WaitCursor wait(form);

    const ComtradeSettings settings = comtradeSettingsOf(form, format);
    if (SampleCounter(settings.firstSample, settings.step).value() > settings.lastSample)
        throw Error(ErrorKind::NotAvailable, form.Label1.text + ": the output range (Text2) " + form.Text2[0].text +
                                                 " to " + form.Text2[1].text + " holds no samples to export");
    const ComtradeResult result = writeComtrade(settings, form.SampleTable, cfgPath, form.progress);
    if (result.lowestCodesRaised > 0)
        form.host().reportWarning(form.Label1.text + ": " + std::to_string(result.lowestCodesRaised) +
                                  " samples at the code -32768 were written as -32767, which BINARY COMTRADE "
                                  "keeps for missing data (use --ascii to keep them)");
}

}  // namespace

ComtradeSettings comtradeSettingsOf(const Form1Model& form, ComtradeFormat format) {
    ComtradeSettings s;
    const fs::path recording = form.Label1.text;
    s.recordingName = form.Label1.text;
    s.stationName = recording.stem().string();
    s.deviceId = "HIOKI " + form.Label15[4].text;
    s.format = format;
    const bool rms = form.RmsDataFile == 1;
    for (int i : rawDataChannels(form)) {
        ComtradeAnalogChannel c;
        c.name = rawDataColumnName(form, i);
        c.unit = unitOfRange(form.Label14[i].text);
        c.a = rawDataFactor(form, i);
        c.primary = primaryFactor(form, i);
        if (!rms) {
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
    addLogicChannels(form, s);
    s.lineFrequency = form.SupplyFrequency;
    const RawDataRows rows = rawDataRows(form);
    s.firstSample = rows.first;
    s.lastSample = rows.last;
    s.step = rows.step;
    s.samplePeriodSeconds = form.SamplePeriodAtLoad;
    s.preTriggerSamples = valOf(form.Label26);
    s.triggerMicroseconds = triggerMicroseconds(form);
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
