#include "control/power_runs.h"

#include <cmath>
#include <string>

#include "common/numbers.h"
#include "common/text.h"
#include "control/form1_model.h"
#include "power/interval_analysis.h"
#include "power/sliding_analysis.h"

namespace pqwave {
namespace {

// The target circuit of a compensation value: "the number in Text8(k) - 1 equals c exactly".
int targetCircuit(const Control& box, int circuits) {
    double c = Val(box.text) - 1;
    return c >= 0 && c < circuits && c == std::floor(c) ? static_cast<int>(c) : -1;
}

// The all-files run summarises each file by the sum, maximum and minimum of every value from
// the first whole output interval (row 0) on, which restarts them.
void foldFileStatistics(Form1Model& form, const PowerSettings& s, const RowValues& r) {
    if (r.row < 0) return;
    SummaryValues values;
    values.v = r.v;
    values.i = r.i;
    values.p = r.p;
    values.q = r.q;
    for (int k = 0; k < 3; ++k) {
        values.phaseV[k] = static_cast<float>(r.phaseV[k]);
        for (int c = 0; c < s.circuits; ++c) {
            values.phaseI[c][k] = static_cast<float>(r.phaseI[c][k]);
            values.phaseP[c][k] = static_cast<float>(r.phaseP[c][k]);
            values.phaseQ[c][k] = static_cast<float>(r.phaseQ[c][k]);
        }
    }
    form.FileStatistics.fold(values, s.circuits, s.perPhase, r.row == 0);
}

// In the all-files run every row's values go into the file's statistics.
RowObserver fileStatisticsFold(Form1Model& form, const PowerSettings& settings) {
    if (form.BatchMode != 1) return {};
    return [&form, &settings](const RowValues& row) { foldFileStatistics(form, settings, row); };
}

void reportFailedSteps(Form1Model& form, std::int64_t failedSteps) {
    if (failedSteps == 0) return;
    form.host().reportWarning(form.Label1.text + ": " + std::to_string(failedSteps) +
                              " analysis steps could not be computed (a division by zero, a value out of "
                              "range or a missing channel); their values repeat the previous result");
}

}  // namespace

Wiring wiringOf(const Form1Model& f) {
    Wiring w;
    for (int c = 0; c < kMaxCircuits; ++c) {
        w.circuits[c].polarityInverted = isChecked(f.Check7[c]);
        w.circuits[c].starDelta = starDeltaOf(isChecked(f.Check9[c]), isChecked(f.Check8[c]));
    }
    w.rotation = isSelected(f.Option4[1]) ? Rotation::Reverse : Rotation::Forward;
    return w;
}

PowerSettings powerSettingsOf(const Form1Model& f) {
    PowerSettings s;
    s.fileName = f.Label1.text;
    s.samplesPerIntervalText = f.Lab1OutN.text;
    s.samplesPerInterval = valOf(f.Lab1OutN);
    s.totalSamples = f.SampleCount;
    s.countsPerDivision = valOf(f.V_Div);
    s.ptRatio = valOf(f.Text7[0]);
    s.ptText = f.Text7[0].text;
    for (int c = 0; c < kMaxCircuits; ++c) {
        s.clampAmps[c] = valOf(f.Text7[c + 1]);
        s.clampTexts[c] = f.Text7[c + 1].text;
    }
    s.intervalMs = valOf(f.Text1);
    s.samplingFrequency = valOf(f.Label21);
    s.supplyFrequency = f.SupplyFrequency;
    s.samplesPerDivision = valOf(f.T_Div);
    s.timePerDivision = Val(leftChars(f.Label15[2].text, 3));
    s.timeUnitFactor = f.TimeUnitFactor;
    s.channelCount = f.ChannelCount;
    s.logicChannelCount = f.LogicChannelCount;
    s.circuits = circuitCountOf(f.ChannelCount);
    s.wiring = wiringOf(f);
    s.lineVoltages = isSelected(f.Option3[0]);
    s.perPhase = isChecked(f.Check6);
    s.statisticsOnly = isChecked(f.Check10);
    s.fundamental = isChecked(f.Check1);
    s.fifth = isChecked(f.Check3);
    s.frequency = isChecked(f.Check5) && f.Check5.enabled;
    s.compensation = isChecked(f.Check12[0]);
    s.theoretical = isChecked(f.Check12[1]);
    if (s.compensation) s.compensationTarget = targetCircuit(f.Text8[0], s.circuits);
    if (s.theoretical) s.theoreticalTarget = targetCircuit(f.Text8[1], s.circuits);
    s.kP = valOf(f.Text9[0]);
    s.kQ = valOf(f.Text9[1]);
    s.kRX = valOf(f.Text9[3]);
    return s;
}

PowerSettings slidingSettingsOf(const Form1Model& form) {
    PowerSettings s = powerSettingsOf(form);
    s.fundamental = s.fifth = s.frequency = false;
    return s;
}

void runIntervalAnalysis(Form1Model& form, const PowerSettings& settings, TextOutputFile* file) {
    const RecordingView recording{form.SampleTable, form.ChannelScale, form.ChannelCount, form.LogicChannelCount};
    IntervalResult result = PQOut0ms(settings, recording, file, form.progress, fileStatisticsFold(form, settings));
    form.IntervalCount = result.intervalCount;
    if (settings.frequency) form.IntervalFrequency = std::move(result.intervalFrequency);
    reportFailedSteps(form, result.failedSteps);
}

void runSlidingAnalysis(Form1Model& form, const PowerSettings& settings, TextOutputFile* file) {
    const RecordingView recording{form.SampleTable, form.ChannelScale, form.ChannelCount, form.LogicChannelCount};
    SlidingResult result = PQOut10ms(settings, recording, file, form.progress, fileStatisticsFold(form, settings));
    form.IntervalCount = result.intervalCount;
    reportFailedSteps(form, result.failedSteps);
}

}  // namespace pqwave
