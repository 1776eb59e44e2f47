// The whole road once: a generated V-connection recording of a Pst = 1 test signal, through
// a PT ratio, loaded as the program loads it, its line voltages scaled as the interval
// analysis scales them and measured on the clock of the recording's start time.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "common/numbers.h"
#include "quality/flicker_analysis.h"
#include "support/loaded_recording.h"
#include "tools/flicker_signals.h"

namespace pqwave {
namespace {

TEST(FlickerRecording, TablePointThroughAPtRatioGivesPstOfOneOnEveryLineVoltage) {
    gen::FlickerRecording recording;
    recording.modulation = gen::pstUnityModulation({110, 0.722});  // 230 V lamp, 50 Hz
    recording.primaryLineVolts = 6600;
    recording.ptRatio = 60;
    const gen::RecordingSpec spec = gen::flickerRecordingSpec(recording);
    testing::LoadedRecording loaded(spec);
    Form1Model& f = loaded.form;
    ASSERT_EQ(Val(f.Text7[0].text), recording.ptRatio);

    // U12 = ch1 (u-v), U23 = -ch2 (v-w), U31 = ch2 - ch1 (w-u), in primary volts.
    const double perCount = Val(f.Text7[0].text) / Val(f.V_Div.text);
    const double ch1 = f.ChannelScale()[0] * perCount, ch2 = f.ChannelScale()[1] * perCount;
    const std::size_t samples = f.SampleTable().rows();
    std::vector<std::vector<float>> lines(3, std::vector<float>(samples));
    for (std::size_t j = 0; j < samples; ++j) {
        const double a = f.SampleTable()(j, 0) * ch1, b = f.SampleTable()(j, 1) * ch2;
        lines[0][j] = static_cast<float>(a);
        lines[1][j] = static_cast<float>(-b);
        lines[2][j] = static_cast<float>(b - a);
    }
    FlickerSettings settings;
    settings.nominalHz = 50;
    settings.clockSecondsAtStart = 13 * 3600 + 49 * 60 + 50;  // the recording's 13:49:50
    FlickerAnalysis analysis(1 / gen::samplePeriodSeconds(spec), 3, settings);
    const float* voltages[] = {lines[0].data(), lines[1].data(), lines[2].data()};
    analysis.process(voltages, samples);
    const FlickerSeries series = analysis.finish();

    auto complete = std::find_if(series.shortTerm.begin(), series.shortTerm.end(),
                                 [](const ShortTermFlicker& s) { return s.complete; });
    ASSERT_NE(complete, series.shortTerm.end());
    EXPECT_DOUBLE_EQ(complete->startSeconds, 10);  // 13:50:00
    for (int v = 0; v < kLineVoltages; ++v) EXPECT_NEAR(complete->pst[v], 1.00, 0.05) << "voltage " << v;
}

}  // namespace
}  // namespace pqwave
