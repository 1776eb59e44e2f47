// The waveform window's model without a display: the grid, every trace's colour, sign and
// points, the scales it starts with, the scroll range and time, the phase read-out, play, the
// layout offsets, the per-column extremes of long views, logger and RMS recordings, and
// recordings that give it little to work with. y grows downwards: a value v at scale m is
// drawn at 2000 - v m.
#include "display/waveform_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "common/palette.h"
#include "support/loaded_recording.h"

namespace pqwave {
namespace {

using testing::codeRecording;
using testing::LoadedRecording;

std::vector<std::int16_t> constant(int samples, int code) {
    return std::vector<std::int16_t>(static_cast<std::size_t>(samples), static_cast<std::int16_t>(code));
}

std::vector<std::int16_t> ramp(int samples) {
    std::vector<std::int16_t> codes(static_cast<std::size_t>(samples));
    for (int j = 0; j < samples; ++j) codes[j] = static_cast<std::int16_t>(j);
    return codes;
}

// 1000 samples at 10 kHz: 200 per 20 ms interval, 0.1 s of measurement.
struct Window {
    explicit Window(const gen::RecordingSpec& spec, const std::string& name = "REC.MEM")
        : recording(spec, name), form2(recording.form) {
        form2.openFromMainWindow();
    }
    LoadedRecording recording;
    Form2Model form2;

    void tick(std::initializer_list<int> boxes) {
        for (int k : boxes) setValue(form2.Check1[k], 1);
        click(form2.Command3);  // "表示"
    }
    // Every channel at scale 1, so that a trace shows its codes as they are.
    void unitScales() {
        for (Control& scale : form2.Text1) setText(scale, "1");
    }
    std::vector<const PictureLine*> lines(int colour) const {
        std::vector<const PictureLine*> found;
        for (const PictureLine* line : form2.picture().all<PictureLine>())
            if (line->colour == colour) found.push_back(line);
        return found;
    }
    const PicturePolyline* trace(int colour) const {
        for (const PicturePolyline* t : form2.picture().all<PicturePolyline>())
            if (t->colour == colour) return t;
        return nullptr;
    }
};

TEST(WaveformPicture, GridHasAVerticalLineEveryHalfIntervalAndFourHorizontalOnes) {
    Window w(codeRecording({ramp(1000)}));
    std::vector<double> verticals, horizontals;
    for (const PictureLine* line : w.lines(7)) {
        if (line->from.x == line->to.x) {
            EXPECT_EQ(line->from.y, 0);
            EXPECT_EQ(line->to.y, 4000);
            verticals.push_back(line->from.x);
        } else {
            EXPECT_EQ(line->from.x, 0);
            EXPECT_EQ(line->to.x, 1000);
            horizontals.push_back(line->from.y);
        }
    }
    EXPECT_EQ(verticals, (std::vector<double>{0, 250, 500, 750, 1000}));   // Text2 = 2
    EXPECT_EQ(horizontals, (std::vector<double>{400, 1200, 2800, 3600}));  // 2000 + 160 i, i = -10, -5, 5, 10
    auto centre = w.lines(8);
    ASSERT_EQ(centre.size(), 1u);
    EXPECT_EQ(centre[0]->from.y, 2000);
    EXPECT_EQ(centre[0]->to.y, 2000);

    setText(w.form2.Text2, "3");
    click(w.form2.Command3);
    verticals.clear();
    for (const PictureLine* line : w.lines(7))
        if (line->from.x == line->to.x) verticals.push_back(line->from.x);
    ASSERT_EQ(verticals.size(), 7u);  // rnd(3 x 2) + 1
    EXPECT_NEAR(verticals[1], 500.0 / 3, 1e-9);
}

TEST(WaveformPicture, ChannelTracesTakeTheirPaletteColoursAndDrawCh2Inverted) {
    std::vector<std::vector<std::int16_t>> channels;
    for (int k = 0; k < 8; ++k) channels.push_back(constant(1000, 10 * (k + 1)));
    Window w(codeRecording(channels));
    w.unitScales();
    setText(w.form2.Text1[0], "2");
    setText(w.form2.Text1[1], "3");
    w.tick({0, 1, 2, 3, 4, 5, 6, 7});
    // ch1..ch6 in the light colours 8..13, ch7 cyan (3), ch8 red (4); ch2 (w-v) shown as v-w.
    const int colours[] = {8, 9, 10, 11, 12, 13, 3, 4};
    const double expectedY[] = {2000 - 10 * 2, 2000 + 20 * 3, 1970, 1960, 1950, 1940, 1930, 1920};
    for (int k = 0; k < 8; ++k) {
        const PicturePolyline* t = w.trace(colours[k]);
        ASSERT_NE(t, nullptr) << "ch" << k + 1;
        EXPECT_EQ(t->points.front().y, expectedY[k]) << "ch" << k + 1;
        EXPECT_EQ(t->points.back().y, expectedY[k]) << "ch" << k + 1;
        EXPECT_EQ(w.form2.Check1ForeColor[k], colours[k]);
    }
    EXPECT_EQ(consoleColour(9), 0x0000FFu);  // the light blue of ch2
}

TEST(WaveformPicture, DerivedTracesDrawTheNegatedSumsTheyReadWithoutOverflow) {
    Window w(codeRecording({constant(1000, 300), constant(1000, 100), constant(1000, 30000), constant(1000, 30000)}));
    w.unitScales();
    setText(w.form2.Text1[0], "2");
    w.tick({9});
    const PicturePolyline* current = w.trace(6);
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->points.front().y, 2000 + 60000);  // -(ch3 + ch4), the sum beyond 16 bits
    EXPECT_EQ(w.form2.Check1ForeColor[9], 6);

    setValue(w.form2.Check1[9], 0);
    w.tick({10});
    const PicturePolyline* voltage = w.trace(6);
    ASSERT_NE(voltage, nullptr);
    EXPECT_EQ(voltage->points.front().y, 2000 + (300 - 100) * 2);  // -(ch1 - ch2) x Text1(0)

    setValue(w.form2.Check1[10], 0);
    w.tick({11});
    const PicturePolyline* unmeasured = w.trace(0);
    ASSERT_NE(unmeasured, nullptr);
    EXPECT_EQ(unmeasured->points.front().y, 2000 + 60000);
    EXPECT_EQ(w.form2.Check1ForeColor[11], 0);
}

TEST(WaveformPicture, PointsStepAcrossTheWidthFromTheScrollPosition) {
    Window w(codeRecording({ramp(1000)}));
    ASSERT_EQ(w.recording.form.Lab1OutN.text, "200");
    w.unitScales();
    w.tick({0});
    const PicturePolyline* t = w.trace(8);
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->points.size(), 401u);  // points 0..N x Text2
    EXPECT_EQ(t->points[0].x, 0);
    EXPECT_DOUBLE_EQ(t->points[1].x, 1000.0 / 400);
    EXPECT_DOUBLE_EQ(t->points[400].x, 1000);
    EXPECT_EQ(t->points[7].y, 2000 - 7);

    setScrollValue(w.form2.HScroll1, 2);  // starts 2 intervals (400 samples) in, and redraws
    t = w.trace(8);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->points[0].y, 2000 - 400);
    EXPECT_EQ(t->points[400].y, 2000 - 800);
}

TEST(WaveformPicture, ARecordingShorterThanTheSpanDrawsEachOfItsSamples) {
    Window w(codeRecording({ramp(300)}));  // 300 samples, the view spans 400
    w.unitScales();
    w.tick({0});
    const PicturePolyline* t = w.trace(8);
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->points.size(), 300u);
    EXPECT_EQ(t->points.back().y, 2000 - 299);
}

// A channel at full scale, 10 divisions of the recording's counts (the logger's range itself, and
// no more than the 12-bit codes of the 8840 and the 886x), reaches the outer grid line 1600
// units from the centre with the scale the window starts with.
TEST(WaveformScale, AChannelAtFullScaleReachesTheOuterGridLineOnEveryKindOfRecording) {
    struct Kind {
        int layout;
        int fullScale;  // counts
        bool rms;
    };
    const Kind kinds[] = {{40, 10 * 80, false}, {41, 10 * 1600, false}, {47, 10 * 1600, false}, {80, 10 * 800, false},
                          {86, 2047, false},    {20, 20000, false},     {41, 10 * 1600, true}};
    for (const Kind& kind : kinds) {
        gen::RecordingSpec spec = codeRecording({constant(500, kind.fullScale), constant(500, -kind.fullScale)});
        spec.layout = kind.layout;
        spec.rms = kind.rms;
        if (kind.rms) {
            spec.channels[0].minCodes = constant(500, kind.fullScale / 2);
            spec.channels[1].minCodes = constant(500, 0);
        }
        Window w(spec);
        setValue(w.form2.Check1[0], 1);  // drawn at once
        const PicturePolyline* t = w.trace(8);
        ASSERT_NE(t, nullptr) << kind.layout;
        EXPECT_NEAR(t->points.front().y, 2000 - 1600, 1.5) << kind.layout << " scale " << w.form2.Text1[0].text;
        setValue(w.form2.Check1[0], 0);
        EXPECT_EQ(w.trace(8), nullptr);
    }
}

TEST(WaveformScale, TheUsersScaleStaysUntilAnotherRecordingIsLoaded) {
    Window w(codeRecording({ramp(1000)}));
    EXPECT_EQ(w.form2.Text1[0].text, "0.1");  // 1600 units for 10 divisions of 1600 counts
    setText(w.form2.Text1[0], "5");
    setText(w.form2.Text2, "4");
    w.form2.openFromMainWindow();
    EXPECT_EQ(w.form2.Text1[0].text, "5");
    EXPECT_EQ(w.form2.Text2.text, "4");

    gen::RecordingSpec spec8840 = codeRecording({ramp(1000)});
    spec8840.layout = 40;
    w.recording.folder.write("B.WAV", spec8840);
    select(w.recording.form.Option1[2]);  // "自動": every kind listed
    w.recording.model.click("B.WAV");
    w.recording.form.DTLood();
    w.form2.openFromMainWindow();
    EXPECT_EQ(w.form2.Text1[0].text, "2");  // 800 counts at full scale
    EXPECT_EQ(w.form2.Text2.text, "2");
}

// With y downwards, a value that rises is drawn with y falling. ch2 (w-v) is shown as v-w and
// "未測定相Ｖ" as -(ch1 - ch2), so the three line voltages on the picture add up to nothing, as
// they do on the supply; the currents ch3, ch4 and "S相電流" likewise.
TEST(WaveformOrientation, ARisingSineIsDrawnRisingAndTheThreePhasesCloseOnThePicture) {
    std::vector<std::vector<std::int16_t>> channels(4, std::vector<std::int16_t>(1000));
    for (int j = 0; j < 1000; ++j)
        for (int k = 0; k < 4; ++k)
            channels[k][j] =
                static_cast<std::int16_t>(std::lround(5000 * std::sin(2 * std::numbers::pi * j / 200 - k)));
    Window w(codeRecording(channels));
    w.tick({0, 2});
    for (int colour : {8, 10}) {
        const PicturePolyline* t = w.trace(colour);
        ASSERT_NE(t, nullptr);
        for (int i = 1; i <= 400; ++i) {
            const int rising = channels[colour - 8][i] - channels[colour - 8][i - 1];
            if (rising == 0) continue;
            EXPECT_LT((t->points[i].y - t->points[i - 1].y) * rising, 0) << colour << " " << i;
        }
    }
    auto sumsToNothing = [&](std::initializer_list<int> boxes) {
        for (int k = 0; k < kWaveTraces; ++k) setValue(w.form2.Check1[k], 0);
        w.tick(boxes);
        auto traces = w.form2.picture().all<PicturePolyline>();
        ASSERT_EQ(traces.size(), 3u);
        for (std::size_t i = 0; i <= 400; ++i)
            EXPECT_NEAR(traces[0]->points[i].y + traces[1]->points[i].y + traces[2]->points[i].y, 3 * 2000, 1e-6) << i;
    };
    sumsToNothing({0, 1, 10});  // Vr-s, Vs-t, Vt-r
    sumsToNothing({2, 3, 9});   // Ir, It, Is
}

// A logger's or RMS recording's series are seen over the whole record as recorded, ch2 as well;
// an RMS channel's maximum and minimum series are two traces in its colour. (Records shorter
// than the picture is wide, so that each sample is a point.)
TEST(WaveformSeries, LoggerAndRmsRecordingsShowTheirSeriesOverTheRecord) {
    gen::RecordingSpec logger = codeRecording({ramp(600), constant(600, 5000)});
    logger.layout = 20;
    logger.timePerDivision = "1s";
    logger.samplesPerDivision = 1;
    Window w(logger);
    EXPECT_EQ(w.form2.Text2.text, "600");  // one sample an interval
    for (int k = 8; k < kWaveTraces; ++k) EXPECT_FALSE(w.form2.Check1[k].enabled) << k;
    w.tick({0, 1});
    const PicturePolyline* ch1 = w.trace(8);
    const PicturePolyline* ch2 = w.trace(9);
    ASSERT_NE(ch1, nullptr);
    ASSERT_NE(ch2, nullptr);
    ASSERT_EQ(ch1->points.size(), 600u);
    EXPECT_NEAR(ch1->points.back().x, 1000.0 * 599 / 600, 1e-9);
    EXPECT_NEAR(ch1->points.back().y, 2000 - 599 * 0.08, 1e-9);  // 1600 units for 20000 counts
    EXPECT_NEAR(ch2->points.front().y, 2000 - 5000 * 0.08, 1e-9);
    int verticals = 0;
    for (const PictureLine* line : w.lines(7)) verticals += line->from.x == line->to.x;
    EXPECT_EQ(verticals, 13);  // 1200 half intervals, a line every 100

    gen::RecordingSpec rms = codeRecording({constant(600, 8000), constant(600, 3000)});
    rms.rms = true;
    rms.channels[0].minCodes = constant(600, 6000);
    rms.channels[1].minCodes = constant(600, 2000);
    Window r(rms, "REC.RMS");
    EXPECT_EQ(r.form2.Text2.text, "3");  // 600 samples of 200 an interval
    r.tick({0, 1});
    std::vector<double> ys;
    for (const PicturePolyline* t : r.form2.picture().all<PicturePolyline>()) ys.push_back(t->points.front().y);
    EXPECT_EQ(ys, (std::vector<double>{2000 - 800, 2000 - 600, 2000 - 300, 2000 - 200}));
    EXPECT_EQ(r.trace(9)->points.front().y, 2000 - 300);
}

TEST(WaveformScrolling, TheRangeAndTheTimeFollowTheMeasurementTime) {
    Window w(codeRecording({ramp(1000)}));
    ASSERT_EQ(w.recording.form.LabSTim.text, "0.1");
    EXPECT_TRUE(w.form2.HScroll1.enabled);
    EXPECT_EQ(w.form2.HScroll1.max, 3);  // 0.1 x 50 - 2
    setScrollValue(w.form2.HScroll1, 3);
    EXPECT_EQ(w.form2.Label2.text, "0.06");  // value / 100 x 2 seconds
    setText(w.form2.Text2, "1");
    EXPECT_EQ(w.form2.HScroll1.max, 4);
}

TEST(WaveformScrolling, AMeasurementBelowFortyMillisecondsCannotBeScrolled) {
    Window shorter(codeRecording({ramp(300)}));  // 0.03 s
    EXPECT_EQ(shorter.recording.form.LabSTim.text, "0.03");
    EXPECT_FALSE(shorter.form2.HScroll1.enabled);
    Window exact(codeRecording({ramp(400)}));  // 0.04 s
    EXPECT_TRUE(exact.form2.HScroll1.enabled);
}

TEST(WaveformActivation, UnrecordedChannelsAreClearedAndDisabledAndNoSpanIsEmpty) {
    LoadedRecording r(codeRecording({ramp(1000), ramp(1000), ramp(1000)}));
    Form2Model form2(r.form);
    setValue(form2.Check1[5], 1);
    setText(form2.Text2, "0");
    form2.openFromMainWindow();
    for (int k = 0; k < 3; ++k) EXPECT_TRUE(form2.Check1[k].enabled) << k;
    for (int k = 3; k < 8; ++k) EXPECT_FALSE(form2.Check1[k].enabled) << k;
    EXPECT_EQ(form2.Check1[5].value, 0);
    EXPECT_TRUE(form2.Check1[9].enabled);  // the derived traces stay as they are
    EXPECT_EQ(form2.Text2.text, "2");
}

TEST(WaveformPhaseReadout, ShowsAnAngleFrom1To180Degrees) {
    Window w(codeRecording({ramp(1000)}));
    Form2Model& f = w.form2;
    f.Picture1_Click(0);
    EXPECT_EQ(f.Label4.text, "");  // no read-out without the fundamental trace
    setValue(f.Check1[8], 1);
    EXPECT_TRUE(f.Label4.visible);
    EXPECT_TRUE(f.Label6.visible);
    EXPECT_TRUE(f.Label5.enabled);

    // At x = 0 the read-out is the angle of the cosine component against the sine component.
    auto readOut = [&](double degrees) {
        f.FundamentalSine = 1;
        f.FundamentalCosine = std::tan(degrees * std::numbers::pi / 180);
        f.Picture1_Click(0);
        return f.Label4.text;
    };
    EXPECT_EQ(readOut(-0.4), "179");  // Int(-0.4) = -1, shown + 180
    EXPECT_EQ(readOut(0.4), "180");   // Int(0.4) = 0, shown + 180
    EXPECT_EQ(readOut(45.5), "45");
    EXPECT_EQ(readOut(-30.5), "149");
    for (double a = -3; a <= 3; a += 0.37)
        for (double x = 0; x <= 1000; x += 61) {
            f.FundamentalSine = a;
            f.FundamentalCosine = 1 - a / 2;
            f.Picture1_Click(x);
            double shown = std::stod(f.Label4.text);
            EXPECT_GE(shown, 1);
            EXPECT_LE(shown, 180);
        }

    setValue(f.Check1[8], 0);
    EXPECT_FALSE(f.Label4.visible);
    EXPECT_FALSE(f.Label5.enabled);
}

TEST(WaveformFundamental, CorrelatesTheSumOfCh1AndCh2OverTheView) {
    // One cycle per 200-sample interval, 600 counts peak, leading the reference by 30 degrees.
    const double phase = 30 * std::numbers::pi / 180;
    std::vector<std::int16_t> ch1(1000), ch2(1000);
    for (int j = 0; j < 1000; ++j) {
        double v = 600 * std::sin(2 * std::numbers::pi * j / 200 + phase);
        ch1[j] = static_cast<std::int16_t>(std::lround(v * 0.75));
        ch2[j] = static_cast<std::int16_t>(std::lround(v * 0.25));
    }
    Window w(codeRecording({ch1, ch2}));
    setText(w.form2.Text1[0], "0.5");  // the curve is drawn at the scale of the voltages
    w.tick({8});
    // The fundamental's sums, worked out here from the stored codes: points 0..400 from sample 0.
    double s = 0, c = 0;
    for (int i = 0; i <= 400; ++i) {
        double theta = static_cast<float>(2 * 3.14159 / 200 * i);
        s += (ch1[i] + ch2[i]) * std::sin(theta);
        c += (ch1[i] + ch2[i]) * std::cos(theta);
    }
    const double a = s / 200 / 1.732 * 2 / 2, b = c / 200 / 1.732 * 2 / 2;
    EXPECT_NEAR(w.form2.FundamentalSine, a, 1e-9);
    EXPECT_NEAR(w.form2.FundamentalCosine, b, 1e-9);
    EXPECT_NEAR(a, 600 * std::cos(phase) / 1.732, 3);  // the peak over 1.732, split by its phase
    EXPECT_NEAR(b, 600 * std::sin(phase) / 1.732, 3);

    const PicturePolyline* curve = w.trace(5);
    ASSERT_NE(curve, nullptr);
    ASSERT_EQ(curve->points.size(), 101u);
    EXPECT_NEAR(curve->points[0].y, 2000 - b * 0.5, 1e-9);
    const double phi = 2 * 2 * 3.14159 / 100 * 30;
    EXPECT_EQ(curve->points[30].x, 300);
    EXPECT_NEAR(curve->points[30].y, 2000 - (a * std::sin(phi) + b * std::cos(phi)) * 0.5, 1e-9);
    EXPECT_EQ(w.form2.Check1ForeColor[8], 5);
}

struct PlayHost : DisplayHost {
    std::function<void()> onYield;
    int yields = 0;
    void processEvents() override {
        ++yields;
        if (onYield) onYield();
    }
};

TEST(WaveformPlay, StepsToTheEndOrUntilStopIsPressed) {
    Window w(codeRecording({ramp(1000)}));
    PlayHost host;
    w.form2.setHost(&host);
    std::vector<int> positions;
    host.onYield = [&] {
        positions.push_back(w.form2.HScroll1.value);
        EXPECT_EQ(w.form2.Image1.value, 1);  // the play image shows its border
        EXPECT_TRUE(w.form2.Image2.visible);
    };
    click(w.form2.Image1);
    EXPECT_EQ(positions, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(w.form2.Label2.text, "0.06");
    EXPECT_EQ(w.form2.Image1.value, 0);
    EXPECT_FALSE(w.form2.Image2.visible);

    setScrollValue(w.form2.HScroll1, 0);
    positions.clear();
    host.onYield = [&] {
        positions.push_back(w.form2.HScroll1.value);
        if (positions.size() == 2) click(w.form2.Image2);
    };
    click(w.form2.Image1);
    EXPECT_EQ(positions, (std::vector<int>{0, 1}));
    EXPECT_FALSE(w.form2.playing());
}

TEST(WaveformLayout, PartsKeepTheirDistancesFromTheEdges) {
    Window w(codeRecording({ramp(1000)}));
    w.form2.Form_Resize(12000, 8000);
    const Form2Layout& l = w.form2.layout();
    EXPECT_EQ(l.picture.width, 12000 - 1535);
    EXPECT_EQ(l.picture.height, 8000 - 600);
    EXPECT_EQ(l.frame1.left, 12000 - 1410);
    EXPECT_EQ(l.frame2.top, 8000 - 645);
    EXPECT_EQ(w.form2.picturePixelWidth(), 697);  // 10465 twips at 15 twips a pixel
    w.form2.setPixelsPerInch(120);
    EXPECT_EQ(w.form2.picturePixelWidth(), 872);  // 12 twips a pixel
    w.form2.Form_Resize(1000, 500);               // smaller than the frames
    EXPECT_EQ(w.form2.layout().picture.width, 0);
}

TEST(WaveformEnvelope, ALongViewDrawsTheExtremesOfEachPixelColumn) {
    // 100,000 samples of an irregular signal viewed whole across 760 pixel columns.
    std::vector<std::int16_t> codes(100000);
    for (int j = 0; j < 100000; ++j)
        codes[j] = static_cast<std::int16_t>(
            std::lround(800 * std::sin(j * 0.0123) + 300 * std::sin(j * 0.37 + 1) + (j * 7919 % 101) - 50));
    Window w(codeRecording({codes}));
    setText(w.form2.Text1[0], "0.5");
    setText(w.form2.Text2, "500");  // 500 intervals of 200 samples: the whole recording
    w.tick({0});
    auto envelopes = w.form2.picture().all<PictureEnvelope>();
    ASSERT_EQ(envelopes.size(), 1u);
    const PictureEnvelope& e = *envelopes[0];
    const int columns = w.form2.picturePixelWidth();
    ASSERT_EQ(columns, 760);
    ASSERT_EQ(e.low.size(), 760u);
    EXPECT_DOUBLE_EQ(e.dx, 1000.0 / 760);
    // Point i lies at x = i / 100 and belongs to column floor(x / dx); each column also
    // reaches back to the last point of the column before it.
    std::vector<double> low(760, 1e9), high(760, -1e9);
    int previous = -1;
    for (int i = 0; i < 100000; ++i) {
        int c = std::min(759, static_cast<int>(std::floor(i * 760.0 / 100000)));
        if (c != previous && previous >= 0) {
            double y = 2000 - codes[i - 1] * 0.5;
            low[c] = std::min(low[c], y);
            high[c] = std::max(high[c], y);
        }
        previous = c;
        double y = 2000 - codes[i] * 0.5;
        low[c] = std::min(low[c], y);
        high[c] = std::max(high[c], y);
    }
    for (int c = 0; c < 760; ++c) {
        EXPECT_FLOAT_EQ(e.low[c], low[c]) << c;
        EXPECT_FLOAT_EQ(e.high[c], high[c]) << c;
    }
    // 1000 half intervals: a grid line every 50 of them, 25 intervals (0.5 s), at most 20 spaces.
    std::vector<double> verticals;
    for (const PictureLine* line : w.lines(7))
        if (line->from.x == line->to.x) verticals.push_back(line->from.x);
    ASSERT_EQ(verticals.size(), 21u);
    EXPECT_DOUBLE_EQ(verticals[1], 50.0);
}

TEST(WaveformBadInput, DrawsWhatItCanWithoutDividingByZeroOrReadingPastTheSamples) {
    Window w(codeRecording({ramp(1000)}));
    w.unitScales();
    w.tick({0, 8, 9, 10});
    // A span of 0: the grid without vertical lines, no traces.
    setText(w.form2.Text2, "0");
    click(w.form2.Command3);
    EXPECT_TRUE(w.form2.picture().all<PicturePolyline>().empty());
    EXPECT_EQ(w.lines(7).size(), 4u);
    setText(w.form2.Text2, "2");

    // A longer output interval in the main window moves the view beyond the samples.
    setScrollValue(w.form2.HScroll1, 3);
    setText(w.recording.form.Text1, "80");  // 800 samples per interval
    click(w.form2.Command3);
    EXPECT_TRUE(w.form2.picture().all<PicturePolyline>().empty());
    setText(w.recording.form.Text1, "30");  // 300 per interval: the view starts at 900
    click(w.form2.Command3);
    const PicturePolyline* t = w.trace(8);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->points.size(), 100u);
    EXPECT_EQ(t->points.back().y, 2000 - 999);

    // No samples per interval at all.
    setText(w.recording.form.Lab1OutN, "0");
    click(w.form2.Command3);
    EXPECT_TRUE(w.form2.picture().all<PicturePolyline>().empty());
    EXPECT_EQ(w.lines(8).size(), 1u);
}

}  // namespace
}  // namespace pqwave
