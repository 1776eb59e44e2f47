// The waveform window's rules and its picture. The view starts N x HScroll1 samples into the
// recording and shows N x Text2 of them across 1000 units; a view with more samples than the
// picture has pixel columns is drawn from the min/max pyramid, one stroke per column. With y
// growing downwards, a value v of a trace with scale m is drawn at 2000 - v x m.
#include "display/waveform_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/numbers.h"
#include "common/textforms.h"
#include "control/form1_model.h"
#include "display/full_scale.h"

namespace pqwave {
namespace {

constexpr double kPi = 3.14159;  // the window's own value of pi, kept for its angles
constexpr double kCentre = 2000;
// Spaces between vertical grid lines, at most: more would grey the picture over.
constexpr double kMaxGridSpaces = 20;

// A rounded count or position that a scroll bar or loop can hold; 0 when there is none.
int clampedInt(double value) {
    if (!std::isfinite(value)) return 0;
    double r = roundHalfEven(value);
    return static_cast<int>(std::clamp(r, -2147483647.0, 2147483647.0));
}

int traceColour(int k) {
    return k < 6 ? k + 8 : k - 3;
}

// Half intervals from one vertical grid line to the next: 1, or 2, 5, 10, 20, 50, ... when a
// long view has more than kMaxGridSpaces of them.
double gridStep(double halfIntervals) {
    for (double decade = 1;; decade *= 10)
        for (double m : {1.0, 2.0, 5.0})
            if (halfIntervals / (m * decade) <= kMaxGridSpaces) return m * decade;
}

}  // namespace

Form2Model::Form2Model(Form1Model& form1, DisplayHost* host)
    : Form2Model([&form1] { return displayViewOf(form1); }, host) {}

Form2Model::Form2Model(std::function<DisplayView()> source, DisplayHost* host)
    : source_(std::move(source)), host_(host ? host : &defaultHost_) {
    using K = ControlKind;
    auto reg = [this](Control& c, std::string name, K kind, std::string text = "") {
        controls_.add(c, std::move(name), kind, std::move(text));
    };
    reg(Frame1, "Frame1", K::Frame, "表示");
    reg(Frame2, "Frame2", K::Frame);
    static const char* const kDerived[] = {"S相基本波", "S相電流", "未測定相Ｖ", "未測定相Is"};
    for (int k = 0; k < kWaveTraces; ++k) {
        reg(Check1[k], "Check1(" + std::to_string(k) + ")", K::CheckBox,
            k < 8 ? "ch" + std::to_string(k + 1) : kDerived[k - 8]);
        Check1[k].onClick = [this, k] { Check1_Click(k); };
    }
    for (int k = 0; k < 8; ++k) reg(Text1[k], "Text1(" + std::to_string(k) + ")", K::TextBox, "1");
    reg(Label1, "Label1", K::Label, "表示区間数");
    reg(Text2, "Text2", K::TextBox, "2");
    Text2.onChange = [this] { Text2_Change(); };
    HScroll1.name = "HScroll1";
    HScroll1.onChange = [this] { HScroll1_Change(); };
    reg(Label2, "Label2", K::Label, "0");
    reg(Label3, "Label3", K::Label, "秒");
    reg(Label5, "Label5", K::Label, "θ＝");
    reg(Label4, "Label4", K::Label);
    reg(Label6, "Label6", K::Label, "°");
    Label5.enabled = false;
    Label4.visible = Label6.visible = false;
    reg(Image1, "Image1", K::CommandButton, "再生");
    reg(Image2, "Image2", K::CommandButton, "停止");
    Image2.visible = false;
    Image1.onClick = [this] { Image1_Click(); };
    Image2.onClick = [this] { Image2_Click(); };
    reg(Command3, "Command3", K::CommandButton, "表示");
    reg(Command2, "Command2", K::CommandButton, "画面ｺﾋﾟｰ");
    reg(Command1, "Command1", K::CommandButton, "前画面");
    Command3.onClick = [this] { Command3_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
    picture_.width = 1000;
    picture_.height = 4000;
    Form_Resize(kDefaultInnerWidth, kDefaultInnerHeight);
}

// ---- Opening, layout, scrolling

void Form2Model::openFromMainWindow() {
    fitToRecording();
    updateScrollRange();
    Form_Activate();
    Drow();
}

bool Form2Model::seriesRecording() const {
    const DisplayView view = source_();
    const RecordingKind kind = view.facts() ? view.facts()->kind : RecordingKind::NotRecognized;
    return kind == RecordingKind::Logger || kind == RecordingKind::BlockRms;
}

// The texts are set as the window's own starting values, not typed: no change rule runs.
void Form2Model::fitToRecording() {
    const DisplayView view = source_();
    if (!view.recording || view.loadCount == fittedLoad_) return;
    fittedLoad_ = view.loadCount;
    for (int k = 0; k < 8; ++k)
        Text1[k].text = multiplierText(bandMultiplier(kWaveBand, fullScaleCounts(*view.recording, k)));
    Text2.text = "2";
    if (seriesRecording()) {
        // One value per sampling interval, often over hours: the record is seen whole.
        const double intervals = view.recording->facts.sampleCount / view.samplesPerInterval;
        if (std::isfinite(intervals) && intervals > 0) Text2.text = formD(intervals);
    }
}

void Form2Model::Form_Activate() {
    const int channels = source_().channelCount();
    for (int k = 1; k < 8; ++k) {
        bool recorded = k < channels;
        if (!recorded) setValue(Check1[k], 0);
        Check1[k].enabled = recorded;
    }
    // The derived traces combine the voltages and currents of a three-phase waveform; of a
    // logger's or RMS recording's series they would mean nothing.
    const bool series = seriesRecording();
    for (int k = 8; k < kWaveTraces; ++k) {
        if (series) setValue(Check1[k], 0);
        Check1[k].enabled = !series;
    }
    if (valOf(Text2) == 0) setText(Text2, "2");
}

void Form2Model::updateScrollRange() {
    const DisplayView view = source_();
    const double seconds = view.facts() ? view.facts()->recordSeconds : 0;
    setScrollMax(HScroll1, clampedInt(seconds * 50 - valOf(Text2)));
    HScroll1.enabled = seconds * 50 >= 2;
    HScroll1.largeChange = std::max(1, clampedInt(valOf(Text2)));
}

void Form2Model::Text2_Change() {
    updateScrollRange();
}

void Form2Model::HScroll1_Change() {
    setText(Label2, formD(HScroll1.value / 100.0 * 2));
    Drow();
}

void Form2Model::setPixelsPerInch(double dotsPerInch) {
    if (dotsPerInch > 0 && std::isfinite(dotsPerInch)) twipsPerPixel_ = kTwipsPerInch / dotsPerInch;
}

int Form2Model::picturePixelWidth() const {
    return std::max(0, static_cast<int>(std::floor(layout_.picture.width / twipsPerPixel_ + 1e-9)));
}

void Form2Model::Form_Resize(double w, double h) {
    // A window made smaller than its frames leaves the picture empty, not negative.
    layout_.picture = {0, 0, std::max(0.0, w - 1535), std::max(0.0, h - 600)};
    layout_.frame1 = {w - 1410, 0, 1410, std::max(0.0, h - 645)};
    layout_.frame2 = {0, h - 645, std::max(0.0, w), 645};
    Drow();
}

// ---- Commands, play, phase read-out

void Form2Model::Check1_Click(int index) {
    if (index == 8) {
        const bool on = isChecked(Check1[8]);
        Label5.enabled = on;
        Label4.visible = Label6.visible = on;
    }
    Drow();
}

void Form2Model::Command3_Click() {
    Drow();
}

void Form2Model::Command2_Click() {
    host_->copyPicture();
}

void Form2Model::Command1_Click() {
    PlayStop = 1;  // leaving the window ends a play loop, as closing it does
    host_->returnToMainWindow();
}

void Form2Model::Form_Unload() {
    PlayStop = 1;
    host_->returnToMainWindow();
}

void Form2Model::Image2_Click() {
    PlayStop = 1;
}

void Form2Model::Image1_Click() {
    if (playing_) return;  // a second press while playing would nest a second loop
    playing_ = true;
    PlayStop = 0;
    Image1.value = 1;
    Image2.visible = true;
    struct Restore {
        Form2Model& m;
        ~Restore() {
            m.Image1.value = 0;
            m.Image2.visible = false;
            m.playing_ = false;
        }
    } restore{*this};
    playThrough(
        HScroll1, [this] { host_->processEvents(); }, [this] { return PlayStop == 1; });
}

void Form2Model::Picture1_Click(double x) {
    if (!isChecked(Check1[8])) return;
    const double theta = 2 * valOf(Text2) * kPi / 1000 * x;
    const double a = FundamentalSine, b = FundamentalCosine;
    const double along = a * std::sin(theta) + b * std::cos(theta);
    const double across = a * std::sin(theta + kPi / 2) + b * std::cos(theta + kPi / 2);
    const double ratio = along / across;
    if (!std::isfinite(ratio)) return;  // no read-out where the fundamental has no phase
    const double angle = Int(std::atan(ratio) * 180 / kPi);
    setText(Label4, formD(angle <= 0 ? angle + 180 : angle));
}

// ---- Drawing

Form2Model::View Form2Model::currentView() const {
    View v;
    const DisplayView source = source_();
    v.samplesPerInterval = source.samplesPerInterval;
    v.intervals = valOf(Text2);
    const double span = v.samplesPerInterval * v.intervals;
    if (!(span > 0) || !std::isfinite(span)) return v;  // nothing to show, and no division by zero
    v.start = v.samplesPerInterval * HScroll1.value;
    const double total = source.facts() ? source.facts()->sampleCount : 0;
    const double last = roundHalfEven(total <= span ? total - 1 : span);
    v.lastPoint = last >= 0 && std::isfinite(last) ? static_cast<long long>(last) : -1;
    v.xStep = 1000 / span;
    return v;
}

std::size_t Form2Model::sampleOf(const View& view, long long point) const {
    double j = roundHalfEven(view.start + static_cast<double>(point));
    return j >= 0 && j < 1e18 ? static_cast<std::size_t>(j) : std::numeric_limits<std::size_t>::max();
}

void Form2Model::refreshPyramid() {
    const DisplayView view = source_();
    if (pyramidLoad_ == view.loadCount) return;
    pyramid_ = SamplePyramid(recordedSamples(view));
    pyramidLoad_ = view.loadCount;
    fundamentalSine_.clear();
    fundamentalCosine_.clear();
}

// Vertical grid lines at x = i x 500 / intervals, one every half output interval from i = 0 on;
// a long view takes every gridStep-th of them.
void Form2Model::addGridLines(double intervals) {
    const double lines = std::floor(intervals * 2);
    if (!(intervals > 0) || !std::isfinite(lines)) return;
    const double step = gridStep(lines);
    for (double n = 0; n * step <= lines; ++n) {
        const double x = n * step / intervals * 500;
        picture_.items.push_back(PictureLine{{x, 0}, {x, 4000}, 7});
    }
}

void Form2Model::Drow() {
    picture_.items.clear();
    for (int i : {-10, -5, 5, 10}) {
        double y = kCentre + 160 * i;
        picture_.items.push_back(PictureLine{{0, y}, {1000, y}, 7});
    }
    addGridLines(valOf(Text2));
    picture_.items.push_back(PictureLine{{0, kCentre}, {1000, kCentre}, 8});

    refreshPyramid();
    const View view = currentView();
    if (view.lastPoint < 0) return;
    const DisplayView source = source_();
    const bool rms = source.facts() && source.facts()->rms();
    const bool series = seriesRecording();
    for (int k = 0; k < 8; ++k) {
        if (!isChecked(Check1[k])) continue;
        Check1ForeColor[k] = traceColour(k);
        const double up = -valOf(Text1[k]);
        if (rms) {
            addTrace(view, columnSeries(2 * k), traceColour(k), up);      // maximum
            addTrace(view, columnSeries(2 * k + 1), traceColour(k), up);  // minimum
            continue;
        }
        // ch2 (w-v) is drawn as v-w, so that ch1 and ch2 show two of the line voltages in
        // their order, Vr-s and Vs-t, and "未測定相Ｖ" the third, Vt-r. A logger's or RMS
        // recording's series are drawn as recorded.
        const double sign = k == 1 && !series ? -1 : 1;
        addTrace(view, columnSeries(k), traceColour(k), sign * up);
    }
    if (isChecked(Check1[8])) {
        Check1ForeColor[8] = 5;
        addFundamental(view);
    }
    // The derived traces are -(ch3 + ch4), the phase-s current, and -(ch1 - ch2), Vt-r: drawn
    // up where the sums they read are negative.
    if (isChecked(Check1[9])) {
        Check1ForeColor[9] = 6;
        addTrace(view, WaveSeries::Ch3PlusCh4, 6, valOf(Text1[2]));
    }
    if (isChecked(Check1[10])) {
        Check1ForeColor[10] = 6;
        addTrace(view, WaveSeries::Ch1MinusCh2, 6, valOf(Text1[0]));
    }
    if (isChecked(Check1[11])) {
        Check1ForeColor[11] = 0;
        addTrace(view, WaveSeries::Ch3PlusCh4, 0, valOf(Text1[2]));
    }
}

void Form2Model::addTrace(const View& view, WaveSeries series, int colour, double factor) {
    if (!waveSeriesAvailable(recordedSamples(source_()), series)) return;
    const int columns = picturePixelWidth();
    if (columns > 0 && view.lastPoint + 1 > columns)
        addEnvelope(view, series, colour, factor);
    else
        addPolyline(view, series, colour, factor);
}

void Form2Model::addPolyline(const View& view, WaveSeries series, int colour, double factor) {
    const RecordedSamples samples = recordedSamples(source_());
    PicturePolyline trace{colour, {}};
    trace.points.reserve(static_cast<std::size_t>(view.lastPoint + 1));
    for (long long i = 0; i <= view.lastPoint; ++i) {
        std::int32_t raw = 0;
        // The trace ends where the recording ends; nothing is read past it.
        if (!waveSeriesValue(samples, series, sampleOf(view, i), raw)) break;
        trace.points.push_back({view.xStep * static_cast<double>(i), kCentre + raw * factor});
    }
    if (!trace.points.empty()) picture_.items.push_back(std::move(trace));
}

void Form2Model::addEnvelope(const View& view, WaveSeries series, int colour, double factor) {
    const RecordedSamples table = recordedSamples(source_());
    const int columns = picturePixelWidth();
    const double span = 1000 / view.xStep;  // points per 1000 units
    PictureEnvelope envelope{colour, 0, 1000.0 / columns, {}, {}};
    const long long lastColumn =
        std::min<long long>(columns - 1, static_cast<long long>(std::floor(view.lastPoint * columns / span)));
    envelope.low.reserve(static_cast<std::size_t>(lastColumn + 1));
    envelope.high.reserve(static_cast<std::size_t>(lastColumn + 1));
    long long firstPoint = 0;
    for (long long c = 0; c <= lastColumn; ++c) {
        long long lastPoint = std::min(view.lastPoint, static_cast<long long>(std::ceil((c + 1) * span / columns)) - 1);
        lastPoint = std::max(lastPoint, firstPoint);
        // The column joins on to the last point of the one before it.
        const std::size_t first = sampleOf(view, std::max(0LL, firstPoint - 1));
        std::size_t last = std::max(first, sampleOf(view, lastPoint));
        if (first >= table.rows) break;
        last = std::min(last, table.rows - 1);
        const SampleRange r = pyramid_.range(table, series, first, last);
        const double a = kCentre + r.low * factor, b = kCentre + r.high * factor;
        envelope.low.push_back(static_cast<float>(std::min(a, b)));
        envelope.high.push_back(static_cast<float>(std::max(a, b)));
        firstPoint = lastPoint + 1;
    }
    if (!envelope.low.empty()) picture_.items.push_back(std::move(envelope));
}

void Form2Model::addFundamental(const View& view) {
    const RecordedSamples table = recordedSamples(source_());
    if (!waveSeriesAvailable(table, WaveSeries::Ch1) || !waveSeriesAvailable(table, WaveSeries::Ch2)) return;
    const double n = view.samplesPerInterval;
    const std::size_t points = static_cast<std::size_t>(view.lastPoint + 1);
    if (fundamentalN_ != n || fundamentalSine_.size() < points) {
        // The reference angle of point i is held in single precision, as the window did.
        fundamentalSine_.resize(points);
        fundamentalCosine_.resize(points);
        for (std::size_t i = 0; i < points; ++i) {
            const double theta = static_cast<float>(2 * kPi / n * static_cast<double>(i));
            fundamentalSine_[i] = std::sin(theta);
            fundamentalCosine_[i] = std::cos(theta);
        }
        fundamentalN_ = n;
    }
    double s = 0, c = 0;
    for (std::size_t i = 0; i < points; ++i) {
        const std::size_t j = sampleOf(view, static_cast<long long>(i));
        if (!table.contains(j, 1)) break;
        const std::int32_t v = std::int32_t{table(j, 0)} + table(j, 1);
        s += v * fundamentalSine_[i];
        c += v * fundamentalCosine_[i];
    }
    const double intervals = view.intervals;
    const double a = s / n / 1.732 * 2 / intervals;
    const double b = c / n / 1.732 * 2 / intervals;
    if (!std::isfinite(a) || !std::isfinite(b)) return;
    FundamentalSine = a;
    FundamentalCosine = b;
    // In the band of the voltages it is made of.
    const double up = -valOf(Text1[0]);
    PicturePolyline trace{5, {{0, kCentre + b * up}}};
    for (int g = 1; g <= 100; ++g) {
        const double phi = 2 * intervals * kPi / 100 * g;
        trace.points.push_back({10.0 * g, kCentre + (a * std::sin(phi) + b * std::cos(phi)) * up});
    }
    picture_.items.push_back(std::move(trace));
}

}  // namespace pqwave
