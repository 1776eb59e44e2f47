#include "support/pq_recording.h"

#include <cmath>

#include "common/datetime.h"
#include "common/numbers.h"
#include "common/textforms.h"

namespace pqwave::testing {
namespace {

// 100 samples per division: "10ms" at 10 kHz, "500us" at 200 kHz.
std::string timePerDivision(double samplingHz) {
    const double ms = 100 / samplingHz * 1000;
    return ms >= 1 ? formD(ms) + "ms" : formD(ms * 1000) + "us";
}

}  // namespace

PqRecording::PqRecording(const gen::PqSupply& supply, const PqRecordingSpec& spec) {
    gen::RecordingSpec recording;
    recording.layout = spec.layout;
    recording.timePerDivision = timePerDivision(spec.samplingHz);
    recording.samplesPerDivision = 100;
    recording.sampleCount = static_cast<int>(std::llround(spec.seconds * spec.samplingHz));
    recording.startDate = spec.startDate;
    recording.startTime = spec.startTime;
    recording.channels =
        gen::pqChannels(supply, gen::PqChannelRanges{spec.ptRatio, spec.voltageRange, spec.currentRange});
    // The 886x stores calibrated words: 0.01 V a count suits the voltages, the clamps' fractions
    // of a volt need finer counts.
    if (spec.layout == 86)
        for (std::size_t k = 2; k < recording.channels.size(); ++k) recording.channels[k].calibration.gainExponent = -5;
    loaded = std::make_unique<LoadedRecording>(recording);
    Form1Model& f = loaded->form;
    setText(f.Text7[0], formD(spec.ptRatio));
    for (std::size_t c = 0; c < supply.circuits.size(); ++c)
        setText(f.Text7[c + 1], formD(supply.circuits[c].clampAmps));
    if (spec.nominalHz == 60) select(f.Option5[1]);

    RecordingScaling scaling;
    scaling.fileName = f.Label1.text;
    scaling.sampleCount = static_cast<std::int64_t>(f.SampleCount());
    scaling.samplingHz = valOf(f.Label21);
    scaling.countsPerDivision = valOf(f.V_Div);
    scaling.ptRatio = valOf(f.Text7[0]);
    for (std::size_t c = 0; c < supply.circuits.size(); ++c) scaling.clampAmps.push_back(valOf(f.Text7[c + 1]));
    const RecordingView view{f.SampleTable(), f.ChannelScale(), f.ChannelCount(), f.LogicChannelCount()};
    signals = std::make_unique<RecordingSignals>(view, scaling);

    settings.fileName = f.Label1.text;
    settings.modelText = f.Label15[4].text;
    settings.startDateTime = *DateValue(f.Label15[0].text) + *TimeValue(f.Label15[1].text);
    settings.nominalHz = f.SupplyFrequency;
}

}  // namespace pqwave::testing
