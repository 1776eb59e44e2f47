// The vector window's model without a display: the cycle length and scroll range, the phase
// sequence and the rotation it selects, the diagram layout by circuit count, the arrows and
// the value texts of a three-phase supply whose values are known from its physics, and
// recordings that give it little to work with.
#include "display/vector_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <regex>

#include "power/phase_sequence.h"
#include "support/csv_file.h"
#include "support/loaded_recording.h"

namespace pqwave {
namespace {

using testing::LoadedRecording;

constexpr double kDegree = std::numbers::pi / 180;

// 50 Hz at 500 samples a second (100 samples per 200 ms division): 10 samples a cycle.
gen::RecordingSpec supplyRecording(const gen::ThreePhaseSupply& supply, int samples = 1000) {
    gen::RecordingSpec spec;
    spec.timePerDivision = "200ms";
    spec.samplesPerDivision = 100;
    spec.sampleCount = samples;
    spec.channels = gen::threePhaseChannels(supply);
    return spec;
}

gen::ThreePhaseSupply balanced(std::vector<gen::Circuit> circuits = {}, bool reverse = false) {
    gen::ThreePhaseSupply supply;  // 110 V line (6600 V through the PT of 60)
    supply.reverse = reverse;
    supply.circuits = std::move(circuits);
    return supply;
}

struct Window {
    explicit Window(const gen::RecordingSpec& spec) : recording(spec), form02(recording.form) {}
    LoadedRecording recording;
    Form02Model form02;

    void open() { form02.Form_Activate(); }
    std::vector<const PictureLine*> lines(int colour) const {
        std::vector<const PictureLine*> found;
        for (const PictureLine* line : form02.picture().all<PictureLine>())
            if (line->colour == colour) found.push_back(line);
        return found;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> found;
        for (const PictureText* t : form02.picture().all<PictureText>()) found.push_back(t->text);
        return found;
    }
};

// The direction of a shaft in degrees, y upwards as the phasors are drawn.
double direction(const PictureLine& shaft) {
    return std::atan2(-(shaft.to.y - shaft.from.y), shaft.to.x - shaft.from.x) / kDegree;
}

double length(const PictureLine& shaft) {
    return std::hypot(shaft.to.x - shaft.from.x, shaft.to.y - shaft.from.y);
}

double angleBetween(double a, double b) {
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180 ? 360 - d : d;
}

TEST(VectorSetUp, TenSamplesACycleAndOneScrollStepPerCycle) {
    Window w(supplyRecording(balanced()));
    w.open();
    EXPECT_EQ(w.form02.VecFreq, 50);
    EXPECT_EQ(w.form02.CycleSamples, 10.0f);  // Int(100 x (1000 / 50 / 200) x 1000 + 0.5) / 1000
    EXPECT_EQ(w.form02.HScroll1.max, 99);     // Int(1000 / 10 - 1)
    EXPECT_TRUE(w.form02.HScroll1.enabled);
    ASSERT_EQ(w.form02.SineTable.size(), 11u);  // 0..CLng(CycleSamples)
    EXPECT_NEAR(w.form02.SineTable[1], std::sin(6.28318 / 10), 1e-15);
    EXPECT_NEAR(w.form02.CosineTable[9], std::cos(9 * 6.28318 / 10), 1e-15);
    setScrollValue(w.form02.HScroll1, 50);
    EXPECT_EQ(w.form02.Label5.text, "1.00");  // 50 cycles of 50 Hz

    select(w.form02.Option1[1]);  // 60 Hz
    EXPECT_EQ(w.form02.VecFreq, 60);
    EXPECT_EQ(w.form02.CycleSamples, 8.333f);
    EXPECT_EQ(w.form02.HScroll1.max, 119);  // Int(1000 / 8.333 - 1)
}

TEST(VectorSetUp, ActivationTakesTheSupplyFrequencyOfTheMainWindowAndStartsAtCycle0) {
    Window w(supplyRecording(balanced()));
    w.open();
    setScrollValue(w.form02.HScroll1, 7);
    select(w.recording.form.Option5[1]);
    w.open();
    EXPECT_TRUE(isSelected(w.form02.Option1[1]));
    EXPECT_EQ(w.form02.VecFreq, 60);
    EXPECT_EQ(w.form02.HScroll1.value, 0);
    EXPECT_EQ(w.form02.Label5.text, "0.00");
}

TEST(VectorSequence, APositiveSequenceAndItsExchangedVoltages) {
    // The forward supply has ch2 (w-v) leading ch1 (u-v) by 60 degrees.
    Window forward(supplyRecording(balanced()));
    forward.open();
    EXPECT_EQ(forward.form02.Label4.text, "相回転＝正回転");
    EXPECT_GT(forward.form02.cycle().sequence, 0);

    gen::RecordingSpec exchanged = supplyRecording(balanced());
    std::swap(exchanged.channels[0], exchanged.channels[1]);
    Window swapped(exchanged);
    swapped.open();
    EXPECT_EQ(swapped.form02.Label4.text, "相回転＝逆回転");

    Window reverse(supplyRecording(balanced({}, true)));
    reverse.open();
    EXPECT_EQ(reverse.form02.Label4.text, "相回転＝逆回転");
    EXPECT_TRUE(isSelected(reverse.recording.form.Option4[0]));  // no automatic check asked for
}

TEST(VectorSequence, TheAutomaticPhaseCheckSelectsTheRotationOfTheMainWindow) {
    Window reverse(supplyRecording(balanced({}, true)));
    Form1Model& form = reverse.recording.form;
    setValue(form.Check2, 1);
    reverse.open();
    EXPECT_TRUE(isSelected(form.Option4[1]));
    EXPECT_EQ(form.Check8[0].text, "Y-Δ-30");  // the rotation's own rule ran

    Window forward(supplyRecording(balanced()));
    setValue(forward.recording.form.Check2, 1);
    select(forward.recording.form.Option4[1]);
    // The conversion's phase check takes the same function as the window.
    const std::optional<Rotation> rotation = phaseSequenceOf(*forward.recording.form.loadedRecording(), 50);
    ASSERT_TRUE(rotation);
    showDetectedRotation(forward.recording.form, *rotation);
    EXPECT_TRUE(isSelected(forward.recording.form.Option4[0]));
}

TEST(VectorLayout, FewerThanFourChannelsGiveOneUntitledDiagram) {
    Window w(supplyRecording(balanced()));  // ch1 and ch2 only
    w.open();
    EXPECT_EQ(w.form02.diagramCount(), 1);
    // The construction lines start at the star point, 1500 / 1.732 above the centre (3200, 1000).
    auto construction = w.lines(8);
    ASSERT_FALSE(construction.empty());
    EXPECT_NEAR(construction.front()->from.x, 3200, 1e-9);
    EXPECT_NEAR(construction.front()->from.y, 3750 - (1000 + 1500 / 1.732), 1e-9);
    EXPECT_EQ(construction.front()->style, LineStyle::Dot);
    for (const std::string& text : w.texts()) EXPECT_EQ(text.rfind("F-", 0), std::string::npos) << text;
    EXPECT_EQ(w.texts(), (std::vector<std::string>{"Vr-s", "Vt-s", "Vr-t", "Ir", "Is", "It"}));
    EXPECT_TRUE(w.lines(12).empty());  // no currents recorded: no current arrows
}

TEST(VectorLayout, SixteenChannelsGiveSevenTitledDiagramsInTwoRows) {
    std::vector<gen::Circuit> circuits(7, gen::Circuit{50, 0, 200, {}});
    Window w(supplyRecording(balanced(circuits)));
    ASSERT_EQ(w.recording.form.ChannelCount(), 16);
    w.open();
    EXPECT_EQ(w.form02.diagramCount(), 7);
    std::vector<const PictureText*> titles;
    for (const PictureText* t : w.form02.picture().all<PictureText>())
        if (t->text.rfind("F-", 0) == 0) titles.push_back(t);
    ASSERT_EQ(titles.size(), 7u);
    for (int c = 0; c < 7; ++c) {
        // Row of four, then three: x = (c mod 4) x 1700 + 1100, y = (1 - c \ 4) x 1800 + 400.
        const double x = (c % 4) * 1700 + 1100, y = (1 - c / 4) * 1800 + 400;
        EXPECT_EQ(titles[c]->text, "F-" + std::to_string(c + 1));
        EXPECT_EQ(titles[c]->at.x, x - 200);
        EXPECT_EQ(titles[c]->at.y, 3950 - y);
        EXPECT_EQ(diagramPlace(6, c).scale, 1100);
    }
    EXPECT_EQ(w.lines(12).size(), 7u * 3);  // one Ir arrow, shaft and two head strokes, per circuit
}

TEST(VectorArrows, VrsPointsAlongXAndBalancedCurrentsLie120DegreesApart) {
    Window w(supplyRecording(balanced({{100, 0, 200, {}}, {40, 0, 200, {}}})));
    w.open();
    auto rs = w.lines(13), ir = w.lines(12), it = w.lines(9);
    ASSERT_EQ(rs.size(), 2u * 3);
    const PictureLine& rsShaft = *rs[0];
    EXPECT_NEAR(rsShaft.from.y, rsShaft.to.y, 1e-6);
    EXPECT_GT(rsShaft.to.x, rsShaft.from.x);
    // Head strokes 75 long at 0.5 radian either side of the shaft, pointing back.
    for (int side = 1; side <= 2; ++side) {
        EXPECT_NEAR(rs[side]->from.x, rsShaft.to.x, 1e-9);
        EXPECT_NEAR(rs[side]->to.x - rsShaft.to.x, -75 * std::cos(0.5), 0.01);
        EXPECT_NEAR(std::fabs(rs[side]->to.y - rsShaft.to.y), 75 * std::sin(0.5), 0.01);
        EXPECT_EQ(rs[side]->width, 2);
    }
    std::vector<const PictureLine*> is;
    for (const PictureLine* line : w.lines(0)) is.push_back(line);
    ASSERT_EQ(ir.size(), 6u);
    ASSERT_EQ(is.size(), 6u);
    const double r = direction(*ir[0]), t = direction(*it[0]), s = direction(*is[0]);
    EXPECT_NEAR(angleBetween(r, t), 120, 0.5);
    EXPECT_NEAR(angleBetween(t, s), 120, 0.5);
    EXPECT_NEAR(angleBetween(s, r), 120, 0.5);
    EXPECT_NEAR(r, -30, 0.5);  // in phase with the phase u voltage, 30 degrees behind Vr-s

    // As the window starts, a phase voltage and a current at full scale (10 divisions of 1600
    // counts) are as long as the diagram's scale, 1500: Vr-s, the square root of 3 phase
    // voltages, is 1500 x sqrt(3) x its peak over the full scale.
    const double fullScale = 10 * 1600;
    const double linePeak = 110 * std::sqrt(2.0) / 100 * 1600;                  // 100 V a division
    const double currentPeak = 100 * 0.2 / 200 * std::sqrt(2.0) / 0.05 * 1600;  // 0.2 V at 200 A, 50 mV
    EXPECT_NEAR(length(rsShaft), 1500 * std::sqrt(3.0) * linePeak / fullScale, 0.005 * length(rsShaft));
    EXPECT_NEAR(length(*ir[0]), 1500 * currentPeak / fullScale, 0.005 * length(*ir[0]));
    // A phasor of length L (half the peak in counts) is drawn s x L / 500 x the multiplier long.
    setText(w.form02.Text1[0], "2");  // redraws at once
    EXPECT_NEAR(length(*w.lines(13)[0]), 2 * 1500 * (linePeak / 2) / 500, 6);
}

TEST(VectorScale, TheUsersMultipliersStayUntilAnotherRecordingIsLoaded) {
    Window w(supplyRecording(balanced({{100, 0, 200, {}}})));
    w.open();
    EXPECT_EQ(w.form02.Text1[0].text, "0.108");   // 500 sqrt(3) over 8000, half the 16000 counts
    EXPECT_EQ(w.form02.Text1[1].text, "0.0625");  // 500 over 8000
    setText(w.form02.Text1[1], "3");
    w.open();
    EXPECT_EQ(w.form02.Text1[1].text, "3");

    gen::RecordingSpec spec8840 = supplyRecording(balanced({{100, 0, 200, {}}}));
    spec8840.layout = 40;
    w.recording.folder.write("B.WAV", spec8840);
    select(w.recording.form.Option1[2]);  // "自動": every kind listed
    w.recording.model.click("B.WAV");
    w.recording.form.DTLood();
    w.open();
    EXPECT_EQ(w.form02.Text1[1].text, "1.25");  // 500 over 400, half of 10 divisions of 80 counts
}

// A picture file has no labels: the time, the rotation and the value texts go beneath it.
TEST(VectorValues, ThePictureForAFileCarriesTheTextsBeneathTheDiagrams) {
    Window w(supplyRecording(balanced({{100, 0, 200, {}}, {40, 0, 200, {}}})));
    w.open();
    const Picture printed = w.form02.pictureWithValues();
    std::vector<std::string> beneath;
    for (const PictureText* t : printed.all<PictureText>())
        if (t->at.y >= Form02Model::kPictureHeight) beneath.push_back(t->text);
    ASSERT_EQ(beneath.size(), 4u);  // time and rotation, voltages, two circuits
    EXPECT_EQ(beneath[0], "基本波ベクトル  0.00 Sec  相回転＝正回転");
    EXPECT_EQ(beneath[1] + "\r" + beneath[2] + "\r" + beneath[3], w.form02.Label2.text);
    EXPECT_GT(printed.height, Form02Model::kPictureHeight + 4 * 150);
    EXPECT_EQ(printed.width, Form02Model::kPictureWidth);
}

// The numbers of a value text, in order.
std::vector<double> numbersIn(const std::string& text) {
    std::vector<double> numbers;
    static const std::regex number(R"(-?\d+\.\d)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), number); it != std::sregex_iterator(); ++it)
        numbers.push_back(std::stod(it->str()));
    return numbers;
}

TEST(VectorValues, ShowTheSupplyInPrimaryVoltsAmperesKilowattsAndKilovars) {
    // 100 A lagging 30 degrees and 40 A in phase, through 200 A clamps.
    Window w(supplyRecording(balanced({{100, 30, 200, {}}, {40, 0, 200, {}}})));
    w.open();
    const std::string& text = w.form02.Label2.text;
    static const std::regex shape(
        "入力電圧,Vr-s= \\d+\\.\\dV ,Vt-s= \\d+\\.\\dV ,Vr-t= \\d+\\.\\dV"
        "(\r入力電流,I(\\d)r= \\d+\\.\\dA ,I\\2t= \\d+\\.\\dA ,I\\2s= \\d+\\.\\dA,P\\2= -?\\d+\\.\\dkW,Q\\2= "
        "-?\\d+\\.\\dkvar){2}");
    EXPECT_TRUE(std::regex_match(text, shape)) << text;
    std::vector<double> n = numbersIn(text);
    ASSERT_EQ(n.size(), 3u + 2 * 5);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(n[k], 6600, 3) << k;
    for (int k = 3; k < 6; ++k) EXPECT_NEAR(n[k], 100, 0.2) << k;
    const double sqrt3 = std::sqrt(3.0);
    EXPECT_NEAR(n[6], sqrt3 * 6600 * 100 * std::cos(30 * kDegree) / 1000, 1.5);
    EXPECT_NEAR(n[7], sqrt3 * 6600 * 100 * std::sin(30 * kDegree) / 1000, 1.5);
    for (int k = 8; k < 11; ++k) EXPECT_NEAR(n[k], 40, 0.1) << k;
    EXPECT_NEAR(n[11], sqrt3 * 6600 * 40 / 1000, 0.6);
    EXPECT_NEAR(n[12], 0, 0.6);

    // The reverse rotation turns the sign of the reactive power only.
    select(w.recording.form.Option4[1]);
    w.form02.V_Drow();
    std::vector<double> reversed = numbersIn(w.form02.Label2.text);
    EXPECT_EQ(reversed[6], n[6]);
    EXPECT_EQ(reversed[7], -n[7]);
}

struct PlayHost : DisplayHost {
    std::function<void()> onYield;
    void processEvents() override {
        if (onYield) onYield();
    }
};

TEST(VectorPlay, StepsThroughTheCyclesWithThePreviousScreenButtonDisabled) {
    Window w(supplyRecording(balanced(), 60));  // 6 cycles: scroll maximum 5
    w.open();
    ASSERT_EQ(w.form02.HScroll1.max, 5);
    PlayHost host;
    w.form02.setHost(&host);
    std::vector<int> cycles;
    host.onYield = [&] {
        cycles.push_back(w.form02.HScroll1.value);
        EXPECT_FALSE(w.form02.Command4[2].enabled);
        EXPECT_TRUE(w.form02.Image2.visible);
        if (cycles.size() == 4) click(w.form02.Image2);
    };
    click(w.form02.Image1);
    EXPECT_EQ(cycles, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(w.form02.Command4[2].enabled);
    EXPECT_FALSE(w.form02.Image2.visible);
    EXPECT_EQ(w.form02.Label5.text, "0.06");
}

TEST(VectorBadInput, ZeroCountsPerDivisionShowsTheDiagramWithoutValues) {
    gen::RecordingSpec spec = supplyRecording(balanced({{100, 0, 200, {}}}));
    spec.fieldOverrides[14] = "0";  // V_Div
    Window w(spec);
    ASSERT_EQ(w.recording.form.V_Div.text, "0");
    w.open();
    EXPECT_EQ(w.form02.Label2.text.rfind("入力電圧,Vr-s= 0.0V ,Vt-s= 0.0V", 0), 0u) << w.form02.Label2.text;
    EXPECT_EQ(w.form02.Label4.text, "相回転＝正回転");
    EXPECT_EQ(w.lines(12).size(), 3u);  // the phasors need no V_Div
}

TEST(VectorBadInput, ARecordingShorterThanACycleOrWithoutATimeAxis) {
    Window shorter(supplyRecording(balanced(), 5));
    shorter.open();
    EXPECT_FALSE(shorter.form02.HScroll1.enabled);
    EXPECT_EQ(shorter.form02.Label4.text, "相回転＝正回転");  // half a cycle still has a sequence

    gen::RecordingSpec spec = supplyRecording(balanced());
    spec.timePerDivision = "0ms";
    Window timeless(spec);
    timeless.open();
    EXPECT_EQ(timeless.form02.CycleSamples, 0.0f);
    EXPECT_FALSE(timeless.form02.HScroll1.enabled);
    EXPECT_EQ(timeless.form02.Label4.text, "相回転＝");  // no cycle, no claim about the rotation
    EXPECT_EQ(timeless.form02.Label2.text.rfind("入力電圧,Vr-s= 0.0V", 0), 0u);
}

TEST(VectorCommands, TheMainWindowLoadsTheSamplesAndAsksForTheWindows) {
    struct WindowHost : testing::RecordingHost {
        int waveform = 0, vector = 0;
        void showWaveformWindow() override { ++waveform; }
        void showVectorWindow() override { ++vector; }
    };
    testing::TestFolder folder;
    folder.write("REC.MEM", supplyRecording(balanced({{100, 0, 200, {}}})));
    WindowHost host;
    Form1Model form(folder.path(), &host);
    form.Form_Load(2026);
    form.Dir1_Change(folder.path().string());
    form.File1_Click("REC.MEM");
    ASSERT_TRUE(form.Command4.enabled);
    click(form.Command4);
    EXPECT_EQ(host.vector, 1);
    EXPECT_EQ(form.LoadedFileName(), form.Label1.text);
    click(form.Command2);
    EXPECT_EQ(host.waveform, 1);

    // A file cut short cannot be loaded: the failure is reported and no window opens.
    folder.write("CUT.MEM", supplyRecording(balanced()));
    std::filesystem::resize_file(folder.file("CUT.MEM"), 2000);
    form.File1_Click("CUT.MEM");
    click(form.Command2);
    EXPECT_EQ(host.waveform, 1);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_NE(host.errors[0].find("CUT.MEM"), std::string::npos);
}

TEST(VectorCommands, TheConversionRunChecksThePhaseBeforeTheAnalysis) {
    struct PhaseHost : testing::RecordingHost {
        Form1Model* form = nullptr;
    };
    auto convert = [](bool automatic, int rotation) {
        testing::TestFolder folder;
        folder.write("REC.MEM", supplyRecording(balanced({{100, 30, 200, {}}}, true)));
        PhaseHost host;
        Form1Model form(folder.path(), &host);
        host.form = &form;
        form.Form_Load(2026);
        form.Dir1_Change(folder.path().string());
        form.File1_Click("REC.MEM");
        setValue(form.Check2, automatic ? 1 : 0);
        if (!automatic) select(form.Option4[rotation]);
        setText(form.Text5, folder.file("out.csv").string());
        click(form.Command1);
        EXPECT_TRUE(host.errors.empty());
        return testing::CsvFile(folder.file("out.csv")).bytes;
    };
    const std::string checked = convert(true, 0);
    EXPECT_EQ(checked, convert(false, 1));  // as if "逆転" had been chosen by hand
    EXPECT_NE(checked, convert(false, 0));
}

}  // namespace
}  // namespace pqwave
