// The main window's settings of the spectrum runs, read once per run into the plain settings
// values of src/spectrum, and the moving FFT's own load, hourglass and caption.
#include "control/spectrum_runs.h"

#include <algorithm>
#include <filesystem>

#include "common/datetime.h"
#include "common/error.h"
#include "common/text.h"
#include "common/text_output_file.h"
#include "common/textforms.h"
#include "control/form1_model.h"
#include "spectrum/channel_fft.h"
#include "spectrum/moving_fft.h"
#include "spectrum/vipq_fft.h"

namespace pqwave {
namespace {

// The hourglass and "データ解析中" for the length of the moving FFT, however it ends.
class AnalysisCaption {
public:
    explicit AnalysisCaption(Form1Model& form) : form_(form) {
        form_.host().setWaitCursor(true);
        setText(form_.Label10, "データ解析中");
        form_.Label10.visible = true;
        form_.host().processEvents();
    }
    ~AnalysisCaption() {
        form_.Label10.visible = false;
        form_.host().setWaitCursor(false);
    }
    AnalysisCaption(const AnalysisCaption&) = delete;
    AnalysisCaption& operator=(const AnalysisCaption&) = delete;

private:
    Form1Model& form_;
};

ChannelFftSettings channelFftSettings(const Form1Model& f) {
    ChannelFftSettings s;
    s.fileName = f.Label1.text;
    s.sampleCount = f.SampleCount;
    s.countsPerDivision = valOf(f.V_Div);
    s.samplingFrequency = valOf(f.Label21);
    s.lastColumn = f.LastActiveChannel;
    s.channelScale = f.ChannelScale;
    for (int c = 0; c < kPositions; ++c) s.multipliers[c] = static_cast<float>(valOf(f.Text3[c]));
    return s;
}

VipqFftSettings vipqFftSettings(const Form1Model& f) {
    VipqFftSettings s;
    s.fileName = f.Label1.text;
    s.sampleCount = f.SampleCount;
    s.countsPerDivision = valOf(f.V_Div);
    s.samplingFrequency = valOf(f.Label21);
    s.lastColumn = f.LastActiveChannel;
    s.channelScale = f.ChannelScale;
    s.ptRatio = valOf(f.Text7[0]);
    for (int c = 0; c < kMaxCircuits; ++c) {
        s.clampAmps[c] = valOf(f.Text7[c + 1]);
        s.inverted[c] = isChecked(f.Check7[c]);
        s.deltaMinus30[c] = isChecked(f.Check9[c]);
        s.deltaPlus30[c] = isChecked(f.Check8[c]);
    }
    s.reverseRotation = isSelected(f.Option4[1]);
    return s;
}

// The summary line names the recording as its default output file is named: the last two
// characters of the start date, "D", the start time as hh-mm-ss.
void describeRecording(Form1Model& f, MovingFftSettings& s) {
    auto date = DateValue(f.Label15[0].text);
    auto time = TimeValue(f.Label15[1].text);
    if (!date || !time)
        throw Error(ErrorKind::Malformed, f.Label1.text + ": start \"" + f.Label15[0].text + " " + f.Label15[1].text +
                                              "\" is not a date and time");
    // The name its window files are given, which a clash in the run may have changed.
    s.recordingName = std::filesystem::path(f.Text5.text).filename().string();
    s.recordingStart = *date + *time;
}

MovingFftSettings movingFftSettings(Form1Model& f) {
    MovingFftSettings s;
    s.fileName = f.Label1.text;
    s.sampleCount = static_cast<std::int64_t>(std::max(0.0, f.SampleCount));
    s.samplingFrequency = valOf(f.Label21);
    s.countsPerDivision = valOf(f.V_Div);
    s.recordSeconds = valOf(f.LabSTim);
    s.lastColumn = f.LastActiveChannel;
    s.channelScale = f.ChannelScale;
    s.exponent = valOf(f.Text11);
    s.stepMs = valOf(f.Text12);
    s.lowKHz = valOf(f.Text10[0]);
    s.highKHz = valOf(f.Text10[1]);
    s.stepKHz = valOf(f.Text10[2]);
    s.bandMode = isChecked(f.Check14);
    s.windowFiles = !isChecked(f.Check10);
    s.outputName = f.Text5.text;
    if (f.BatchMode == 1) {
        s.summaries = &f.movingFftSummaries;
        s.summaryFolder = f.File1.path;
        describeRecording(f, s);
    }
    return s;
}

}  // namespace

void ChFFT処理(Form1Model& form, TextOutputFile& file) {
    ProgressScope scope(form.progress);
    const ChannelFftSettings settings = channelFftSettings(form);
    const ChannelSpectrum spectrum = channelSpectrum(settings, form.SampleTable, form.progress);
    writeChannelSpectrum(settings, spectrum, file, form.progress);
}

void VIPQFFT処理(Form1Model& form, TextOutputFile& file) {
    ProgressScope scope(form.progress);
    const VipqFftSettings settings = vipqFftSettings(form);
    const VipqSpectrum spectrum = vipqSpectrum(settings, form.SampleTable, form.progress);
    writeVipqSpectrum(settings, spectrum, file, form.progress);
}

void ch移動FFT(Form1Model& form) {
    form.loadSelectedFile();
    form.requireConvertibleRecording();
    AnalysisCaption caption(form);
    ProgressScope scope(form.progress);
    const MovingFftSettings settings = movingFftSettings(form);
    const MovingFftResult result = writeMovingFft(settings, form.SampleTable, form.progress);
    if (result.windowsPastTheEnd > 0)
        form.host().reportWarning(form.Label1.text + ": " + formI(result.windowsPastTheEnd) + " of the windows of " +
                                  form.LabSTim.text + " s would read past the loaded samples and were left out");
}

}  // namespace pqwave
