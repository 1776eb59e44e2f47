// The vector window's arithmetic and picture. One cycle of CycleSamples samples from
// HScroll1 x CycleSamples on is correlated with a reference sine and cosine; the voltages and
// the phase sequence are measured as the phase check measures them, the currents and powers
// with the wiring of the analyses (polarity, star-delta transform, per-phase products). A step
// that cannot be computed is skipped and the rest drawn.
#include "display/vector_model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "common/digit_pattern.h"
#include "common/numbers.h"
#include "common/text.h"
#include "control/conversion_job.h"
#include "control/form1_model.h"
#include "display/full_scale.h"
#include "display/recorded_samples.h"

namespace pqwave {
namespace {

constexpr double kBaseline = 3750;  // phasors are drawn upwards from this line
constexpr double kValueLine = 240;  // twips between the lines of values beneath the picture
constexpr double kValueText = 150;

int clampedInt(double value) {
    if (!std::isfinite(value)) return 0;
    return static_cast<int>(std::clamp(value, -2147483647.0, 2147483647.0));
}

// Stores a physical value only when it could be computed; otherwise the old one stays.
void assignFinite(double& target, double value) {
    if (std::isfinite(value)) target = value;
}

PicturePoint rotated(const Phasor& p, double by, double scale) {
    const double length = p.length() * scale, angle = p.angle() + by;
    return {length * std::cos(angle), length * std::sin(angle)};
}

PicturePoint plus(PicturePoint a, PicturePoint b) {
    return {a.x + b.x, a.y + b.y};
}

const RecordingFacts kNoRecording;

const RecordingFacts& factsOf(const DisplayView& view) {
    return view.facts() ? *view.facts() : kNoRecording;
}

// A phasor is half the fundamental's peak, in counts of the mean range of its pair of columns;
// it is drawn s x length / 500 x multiplier long. A sine at full scale on column `c` of the
// pair (c, d) is a phasor of fullScale x scale(c) / (scale(c) + scale(d)).
double fullScalePhasor(const Recording& r, int c, int d) {
    const double scale = r.channelScale[static_cast<std::size_t>(c)];
    const double pair = scale + (d < kChannelPositions ? r.channelScale[static_cast<std::size_t>(d)] : 0.0f);
    const double length = fullScaleCounts(r, c) * scale / pair;
    return std::isfinite(length) && length > 0 ? length : 0;
}

}  // namespace

DiagramPlace diagramPlace(int m, int c) {
    switch (m) {
        case 0:
            return {3200, 1000, 1500};
        case 1:
            return {c * 3000.0 + 1800, 1000, 1500};
        case 2:
            return {c * 2400.0 + 1300, 1000, 1200};
        case 3:
            return {(c % 2) * 3000.0 + 1800, (1 - c / 2) * 1800.0 + 400, 1200};
        case 4:
        case 5:
            return {(c % 3) * 2400.0 + 1300, (1 - c / 3) * 1800.0 + 400, 1200};
        case 6:
        case 7:
            return {(c % 4) * 1700.0 + 1100, (1 - c / 4) * 1800.0 + 400, 1100};
        default:
            return {(c % 5) * 1300.0 + 1100, (1 - c / 5) * 1800.0 + 400, 1000};
    }
}

Form02Model::Form02Model(Form1Model& form1, DisplayHost* host)
    : Form02Model([&form1] { return displayViewOf(form1); },
                  [&form1](Rotation rotation) { showDetectedRotation(form1, rotation); }, host) {}

Form02Model::Form02Model(std::function<DisplayView()> source, std::function<void(Rotation)> rotationFound,
                         DisplayHost* host)
    : source_(std::move(source)), rotationFound_(std::move(rotationFound)), host_(host ? host : &defaultHost_) {
    using K = ControlKind;
    auto reg = [this](Control& c, std::string name, K kind, std::string text = "") {
        controls_.add(c, std::move(name), kind, std::move(text));
    };
    HScroll1.name = "HScroll1";
    HScroll1.onChange = [this] { HScroll1_Change(); };
    reg(Label5, "Label5", K::Label, "0.00");
    reg(Label6, "Label6", K::Label, "Sec");
    reg(Label4, "Label4", K::Label, "相回転＝");
    reg(Label3, "Label3", K::Label, "基本波ベクトル");
    reg(Label1[0], "Label1(0)", K::Label, "電圧表示倍率：");
    reg(Text1[0], "Text1(0)", K::TextBox, "1");
    reg(Label7[0], "Label7(0)", K::Label, "倍");
    reg(Label1[1], "Label1(1)", K::Label, "電流表示倍率：");
    reg(Text1[1], "Text1(1)", K::TextBox, "1");
    reg(Label7[1], "Label7(1)", K::Label, "倍");
    reg(Option1[0], "Option1(0)", K::OptionButton, "50Hz");
    reg(Option1[1], "Option1(1)", K::OptionButton, "60Hz");
    Option1[0].value = 1;
    for (int i = 0; i < 2; ++i) {
        Option1[i].group = {&Option1[0], &Option1[1]};
        Option1[i].onClick = [this, i] { Option1_Click(i); };
        Text1[i].onChange = [this, i] { Text1_Change(i); };
    }
    reg(Command4[2], "Command4(2)", K::CommandButton, "前画面");
    Command4[2].onClick = [this] { Command4_Click(2); };
    reg(Image1, "Image1", K::CommandButton, "再生");
    reg(Image2, "Image2", K::CommandButton, "停止");
    Image2.visible = false;
    Image1.onClick = [this] { Image1_Click(); };
    Image2.onClick = [this] { Image2_Click(); };
    reg(Vcopy, "Vcopy", K::CommandButton, "ベクトルコピー");
    Vcopy.onClick = [this] { Vcopy_Click(); };
    reg(Label2, "Label2", K::Label);
    picture_.width = kPictureWidth;
    picture_.height = kPictureHeight;
    picture_.keepAspect = true;
    picture_.textHeight = 180;
}

int Form02Model::diagramCount() const {
    const int channels = source_().channelCount();
    return channels < 4 ? 1 : channels / 2 - 1;
}

// ---- Events

void Form02Model::Form_Activate() {
    fitMultipliers();
    select(Option1[source_().supplyHz == 50 ? 0 : 1]);
    T_Set();
    setScrollValue(HScroll1, 0);
    V_Drow();
}

void Form02Model::Option1_Click(int) {
    T_Set();
    V_Drow();
}

void Form02Model::HScroll1_Change() {
    setText(Label5, formatByPattern(static_cast<double>(HScroll1.value) / VecFreq, "#0.00"));
    V_Drow();
}

void Form02Model::Text1_Change(int) {
    // A new display multiplier shows at once; the window has no redraw button of its own.
    V_Drow();
}

void Form02Model::Image2_Click() {
    PlayStop = 1;
}

void Form02Model::Image1_Click() {
    if (playing_) return;
    playing_ = true;
    PlayStop = 0;
    Image1.value = 1;
    Image2.visible = true;
    Command4[2].enabled = false;
    struct Restore {
        Form02Model& m;
        ~Restore() {
            m.Image1.value = 0;
            m.Image2.visible = false;
            m.Command4[2].enabled = true;
            m.playing_ = false;
        }
    } restore{*this};
    playThrough(
        HScroll1, [this] { host_->processEvents(); }, [this] { return PlayStop == 1; });
}

void Form02Model::Command4_Click(int index) {
    if (index == 2) host_->returnToMainWindow();
}

void Form02Model::Form_Unload() {
    PlayStop = 1;
    host_->returnToMainWindow();
}

void Form02Model::Vcopy_Click() {
    host_->copyPicture();
}

// ---- Multipliers that fit the recording

// Set as the window's own starting values, not typed: no change rule runs.
void Form02Model::fitMultipliers() {
    const DisplayView view = source_();
    if (!view.recording || view.loadCount == fittedLoad_) return;
    fittedLoad_ = view.loadCount;
    const Recording& r = *view.recording;
    const double volts = std::max(fullScalePhasor(r, 0, 1), fullScalePhasor(r, 1, 0));
    double amps = 0;
    for (int c = 0; c < diagramCount() && 2 * c + 3 < kChannelPositions; ++c)
        amps = std::max({amps, fullScalePhasor(r, 2 * c + 2, 2 * c + 3), fullScalePhasor(r, 2 * c + 3, 2 * c + 2)});
    // Phasors from the star point share one scale: a phase voltage at full scale (a line
    // voltage over the square root of 3) and a current at full scale are both s long.
    Text1[0].text = multiplierText(bandMultiplier(500 * std::numbers::sqrt3, volts));
    Text1[1].text = multiplierText(bandMultiplier(500, amps));
}

// ---- Set-up for the frequency

void Form02Model::T_Set() {
    VecFreq = isSelected(Option1[0]) ? 50 : 60;
    const DisplayView view = source_();
    const RecordingFacts& facts = factsOf(view);
    CycleSamples = cycleSamplesOf(facts, VecFreq);

    int max = 0;
    if (CycleSamples > 0) max = clampedInt(Int(facts.sampleCount / CycleSamples - 1));
    setScrollMax(HScroll1, max);
    HScroll1.enabled = max > 1;
    HScroll1.largeChange = VecFreq;

    // A cycle longer than the recording is drawn from the samples there are.
    CycleReference reference = cycleReference(CycleSamples, view.recording ? view.recording->table.rows() : 0);
    SineTable = std::move(reference.sine);
    CosineTable = std::move(reference.cosine);
}

// ---- Compute and draw one cycle

void Form02Model::V_Drow() {
    host_->setWaitCursor(true);
    struct Restore {
        DisplayHost& host;
        ~Restore() { host.setWaitCursor(false); }
    } restore{*host_};
    gatherCycle();
    detectSequence();
    draw();
    writeValues();
}

void Form02Model::gatherCycle() {
    const DisplayView view = source_();
    if (!view.recording) {
        cycle_ = VectorCycle{};
        return;
    }
    const CycleSource source = cycleSourceOf(*view.recording);
    const std::array<float, kChannelPositions>& scale = view.recording->channelScale;
    const Wiring& wiring = view.wiring;
    const int circuits = diagramCount();
    VectorCycle cycle;
    cycle.circuits.resize(static_cast<std::size_t>(circuits));

    struct CircuitSums {
        double sq[3] = {0, 0, 0};  // a, b, t
        double sine[2] = {0, 0}, cosine[2] = {0, 0};
        double p = 0, q = 0;
    };
    std::vector<CircuitSums> sums(static_cast<std::size_t>(circuits));
    const double reactive = wiring.rotationSign() * std::numbers::sqrt3 / 3;
    const bool secondVoltage = source.columns > 1;
    for (int c = 0; c < circuits; ++c)
        cycle.circuits[c].measured = static_cast<std::size_t>(2 * c + 3) < source.columns && c < kMaxCircuits;

    const LineVoltageCycle voltages = lineVoltageCycle(source, CycleSamples, SineTable, CosineTable, HScroll1.value);
    forEachCycleSample(source, CycleSamples, SineTable.size(), HScroll1.value, [&](int k, const std::int16_t* cells) {
        const double sine = SineTable[k], cosine = CosineTable[k];
        const float ua = cells[0] * scale[0];
        const float ub = secondVoltage ? cells[1] * scale[1] : 0.0f;
        const double v1 = ua, v2 = ub, v12 = v1 - v2;
        const PhaseVoltages<double> phase = starPointVoltages<double>(v1, v2);
        for (int c = 0; c < circuits; ++c) {
            if (!cycle.circuits[c].measured) continue;
            const CircuitWiring& w = wiring.circuits[c];
            const double sign = w.polaritySign();
            double a = cells[2 * c + 2] * scale[2 * c + 2] * sign;
            double b = cells[2 * c + 3] * scale[2 * c + 3] * sign;
            double t = a + b;
            transformStarDelta(w.starDelta, a, b, t);
            CircuitSums& s = sums[c];
            s.sq[0] += a * a;
            s.sq[1] += b * b;
            s.sq[2] += t * t;
            s.sine[0] += a * sine;
            s.cosine[0] += a * cosine;
            s.sine[1] += b * sine;
            s.cosine[1] += b * cosine;
            const PhasePowers<double> powers = phasePowers(phase, v1, v2, v12, a, b, t);
            s.p += powers.p[0] + powers.p[1] + powers.p[2];
            s.q += (powers.q3[0] + powers.q3[1] + powers.q3[2]) * reactive;
        }
    });
    if (!voltages.measured) {
        cycle_ = std::move(cycle);
        return;
    }
    cycle.measured = true;
    cycle.sequence = voltages.sequence;
    cycle.rotation = voltages.rotation();

    const double cs = CycleSamples;
    const double vd = view.recording->facts.countsPerDivision, pt = view.ptRatio;
    cycle.voltages[0] = voltages.phasors[0];
    cycle.voltages[1] = voltages.phasors[1];
    cycle.voltages[2] = {cycle.voltages[0].e - cycle.voltages[1].e, cycle.voltages[0].c - cycle.voltages[1].c};
    for (int n = 0; n < 3; ++n) assignFinite(cycle.volts[n], std::sqrt(voltages.meanSquares[n]) / vd * pt);

    // Phasors, normalised by the mean range of their pair of columns.
    for (int c = 0; c < circuits; ++c) {
        CircuitPhasors& out = cycle.circuits[c];
        if (!out.measured) continue;
        CircuitSums& s = sums[c];
        for (double* sum :
             {&s.sq[0], &s.sq[1], &s.sq[2], &s.sine[0], &s.sine[1], &s.cosine[0], &s.cosine[1], &s.p, &s.q})
            *sum /= cs;
        const double range = double{scale[2 * c + 2]} + scale[2 * c + 3];
        assignFinite(out.ir.e, 2 * s.sine[0] / range);
        assignFinite(out.ir.c, 2 * s.cosine[0] / range);
        assignFinite(out.it.e, 2 * s.sine[1] / range);
        assignFinite(out.it.c, 2 * s.cosine[1] / range);
        out.is = {-(out.ir.e + out.it.e), -(out.ir.c + out.it.c)};
        const double ct = view.clampAmps[c];
        assignFinite(out.irAmps, std::sqrt(s.sq[0]) / vd * ct / 0.2);
        assignFinite(out.itAmps, std::sqrt(s.sq[1]) / vd * ct / 0.2);
        assignFinite(out.isAmps, std::sqrt(s.sq[2]) / vd * ct / 0.2);
        assignFinite(out.kilowatts, s.p / (vd * vd) * pt * ct / 0.2 / 1000);
        assignFinite(out.kilovars, s.q / (vd * vd) * pt * ct / 0.2 / 1000);
    }
    cycle_ = std::move(cycle);
}

void Form02Model::detectSequence() {
    if (!cycle_.rotation) return;  // no cycle in memory: nothing to say about the rotation
    const bool reverse = *cycle_.rotation == Rotation::Reverse;
    setText(Label4, reverse ? "相回転＝逆回転" : "相回転＝正回転");
    if (rotationFound_) rotationFound_(*cycle_.rotation);
}

void Form02Model::VecPrintAt(double x, double y, const std::string& text, int colour) {
    picture_.items.push_back(PictureText{{x, y}, text, colour});
}

void Form02Model::VecArrow(PicturePoint from, PicturePoint to, int colour, LineStyle style) {
    // A phasor of no length (nothing measured, or a multiplier of 0) has no direction to show.
    if (from.x == to.x && from.y == to.y) return;
    const PicturePoint tip{to.x, kBaseline - to.y};
    picture_.items.push_back(PictureLine{{from.x, kBaseline - from.y}, tip, colour, style, 2});
    double a = std::atan((to.y - from.y) / ((to.x - from.x) + 1E-20));
    if (to.x >= from.x) a -= 3.1416;
    for (double side : {0.5, -0.5}) {
        const PicturePoint end{tip.x + 75 * std::cos(a + side), tip.y - 75 * std::sin(a + side)};
        picture_.items.push_back(PictureLine{tip, end, colour, LineStyle::Solid, 2});
    }
}

void Form02Model::VecDiagram(int c) {
    const int m = diagramCount() - 1;
    const DiagramPlace place = diagramPlace(m, c);
    const double s = place.scale;
    const double turn = -cycle_.voltages[0].angle();
    const double voltageScale = s / 500 * valOf(Text1[0]);
    const double currentScale = s / 500 * valOf(Text1[1]);

    // The voltage triangle: Vr-s and Vt-s from the common (s) corner, Vr-t from t to r, with
    // its centroid, the star point, s / 1.732 above the centre.
    const PicturePoint rs = rotated(cycle_.voltages[0], turn, voltageScale);
    const PicturePoint ts = rotated(cycle_.voltages[1], turn, voltageScale);
    const PicturePoint star{place.x, place.y + s / 1.732};
    const PicturePoint cornerS{star.x - (rs.x + ts.x) / 3, star.y - (rs.y + ts.y) / 3};
    const PicturePoint cornerR = plus(cornerS, rs), cornerT = plus(cornerS, ts);
    auto drawn = [](const Phasor& p) { return p.length() > 0; };
    if (drawn(cycle_.voltages[0]) || drawn(cycle_.voltages[1])) {
        // Construction: the phase voltages from the star point, dotted.
        for (PicturePoint corner : {cornerR, cornerS, cornerT})
            picture_.items.push_back(
                PictureLine{{star.x, kBaseline - star.y}, {corner.x, kBaseline - corner.y}, 8, LineStyle::Dot, 2});
    }
    if (drawn(cycle_.voltages[0])) VecArrow(cornerS, cornerR, 13, LineStyle::Solid);
    if (drawn(cycle_.voltages[1])) VecArrow(cornerS, cornerT, 11, LineStyle::Solid);
    if (drawn(cycle_.voltages[2])) VecArrow(cornerT, cornerR, 8, LineStyle::Solid);

    if (c < static_cast<int>(cycle_.circuits.size()) && cycle_.circuits[c].measured) {
        const CircuitPhasors& circuit = cycle_.circuits[c];
        const std::pair<const Phasor*, int> currents[] = {{&circuit.ir, 12}, {&circuit.it, 9}, {&circuit.is, 0}};
        for (const auto& [phasor, colour] : currents)
            if (drawn(*phasor))
                VecArrow(star, plus(star, rotated(*phasor, turn, currentScale)), colour, LineStyle::Solid);
    }
    if (m > 0) VecPrintAt(place.x - 200, 3950 - place.y, "F-" + std::to_string(c + 1), 0);
}

void Form02Model::draw() {
    picture_.items.clear();
    for (int c = 0; c < diagramCount(); ++c) VecDiagram(c);
    VecPrintAt(6600, 3060, "Vr-s", 13);
    VecPrintAt(6600, 3240, "Vt-s", 11);
    VecPrintAt(6600, 3420, "Vr-t", 8);
    VecPrintAt(7050, 3060, "Ir", 12);
    VecPrintAt(7050, 3240, "Is", 0);
    VecPrintAt(7050, 3420, "It", 9);
}

Picture Form02Model::pictureWithValues() const {
    Picture out = picture_;
    std::vector<std::string> lines{Label3.text + "  " + Label5.text + " " + Label6.text + "  " + Label4.text};
    for (std::size_t from = 0; from <= Label2.text.size();) {
        const std::size_t end = std::min(Label2.text.find('\r', from), Label2.text.size());
        lines.push_back(Label2.text.substr(from, end - from));
        from = end + 1;
    }
    double y = kPictureHeight + kValueLine / 4;
    for (const std::string& line : lines) {
        out.items.push_back(PictureText{{100, y}, line, 0, kValueText});
        y += kValueLine;
    }
    out.height = y + kValueLine / 4;
    return out;
}

void Form02Model::writeValues() {
    const VectorCycle& v = cycle_;
    std::string text = "入力電圧,Vr-s=" + formatByPattern(v.volts[0], " ####0.0V") +
                       " ,Vt-s=" + formatByPattern(v.volts[1], " ####0.0V") +
                       " ,Vr-t=" + formatByPattern(v.volts[2], " ####0.0V");
    for (std::size_t c = 0; c < v.circuits.size(); ++c) {
        const CircuitPhasors& circuit = v.circuits[c];
        if (!circuit.measured) continue;
        const std::string n = std::to_string(c + 1);
        text += "\r入力電流,I" + n + "r=" + formatByPattern(circuit.irAmps, " ####0.0A") + " ,I" + n +
                "t=" + formatByPattern(circuit.itAmps, " ####0.0A") + " ,I" + n +
                "s=" + formatByPattern(circuit.isAmps, " ####0.0A") + ",P" + n + "=" +
                formatByPattern(circuit.kilowatts, " ####0.0kW") + ",Q" + n + "=" +
                formatByPattern(circuit.kilovars, " ####0.0kvar");
    }
    setText(Label2, text);
}

}  // namespace pqwave
