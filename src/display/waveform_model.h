// Form2 "波形表示画面" as a plain model: a stretch of the loaded recording as traces of up to
// eight channels and four derived quantities, with the grid, scrolling, play and the phase
// read-out of the fundamental. The picture is in the window's user scale, 1000 units wide
// and 4000 high with y downwards; every trace is drawn with its positive values up, and a
// channel at its full scale reaches the outer grid lines, 1600 units either side of the
// centre, with the scales the window starts with. The layout is in twips. The Qt window
// paints the picture and forwards the user's actions; the command line paints the same
// picture into a PNG.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "control/control.h"
#include "control/display_view.h"
#include "control/scroll_bar.h"
#include "display/display_host.h"
#include "display/picture.h"
#include "display/sample_pyramid.h"

namespace pqwave {

class Form1Model;

inline constexpr int kWaveTraces = 12;  // Check1(0..7) ch1..ch8, Check1(8..11) the derived traces
inline constexpr double kTwipsPerInch = 1440;
// Units from the centre line to the outer grid lines: the band a full-scale channel fills.
inline constexpr double kWaveBand = 1600;

struct TwipRect {
    double left = 0, top = 0, width = 0, height = 0;
};

// Where the window puts its parts for an inner size, in twips.
struct Form2Layout {
    TwipRect picture;  // Picture1
    TwipRect frame1;   // trace selection, on the right
    TwipRect frame2;   // navigation, along the bottom
};

class Form2Model {
public:
    // The inner size a new window has: a picture of 760 x 480 pixels at 96 dots per inch.
    static constexpr double kDefaultInnerWidth = 1535 + 15 * 760;
    static constexpr double kDefaultInnerHeight = 600 + 15 * 480;

    // The window shows what `source` gives of the main window, read afresh at every event.
    explicit Form2Model(std::function<DisplayView()> source, DisplayHost* host = nullptr);
    explicit Form2Model(Form1Model& form1, DisplayHost* host = nullptr);
    Form2Model(const Form2Model&) = delete;
    Form2Model& operator=(const Form2Model&) = delete;

    // ---- Controls
    Control Frame1, Frame2;
    std::array<Control, kWaveTraces> Check1;
    std::array<Control, 8> Text1;  // vertical scale of ch1..ch8
    Control Label1, Text2;         // Text2: output intervals across the width
    ScrollBar HScroll1;            // start, in output intervals
    Control Label2, Label3;        // start time in seconds
    Control Label4, Label5, Label6;
    Control Image1, Image2;  // play (value 1 while its border shows), stop
    Control Command3, Command2, Command1;
    // The text colour of each check box: the palette colour of its trace once drawn, so the
    // check boxes serve as the legend.
    std::array<int, kWaveTraces> Check1ForeColor{};

    // The sine and cosine components of the fundamental of the last redraw.
    double FundamentalSine = 0, FundamentalCosine = 0;
    int PlayStop = 0;

    // ---- Events
    // "波形表示" in the main window: on a recording the window has not shown before, scales
    // that fit it (and for a logger or RMS recording, the whole record across the width);
    // then the scroll range, and the window shows (activation and a redraw). Scales the user
    // typed stay while the same recording is in memory.
    void openFromMainWindow();
    void Form_Activate();
    void Form_Resize(double innerWidthTwips, double innerHeightTwips);
    void Form_Unload();
    void Check1_Click(int index);
    void Text2_Change();
    void HScroll1_Change();
    void Image1_Click();
    void Image2_Click();
    void Picture1_Click(double x);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    void Drow();

    // Pixels per inch of the screen the window is on; 96 unless told.
    void setPixelsPerInch(double dotsPerInch);
    const Form2Layout& layout() const { return layout_; }
    int picturePixelWidth() const;
    const Picture& picture() const { return picture_; }
    bool playing() const { return playing_; }

    const ControlSet& controls() const { return controls_; }
    Control* findControl(std::string_view name) const { return controls_.find(name); }
    void setHost(DisplayHost* host) { host_ = host ? host : &defaultHost_; }

private:
    void fitToRecording();
    // A logger or RMS recording: one slow series per channel (two, maximum and minimum, for
    // RMS values), not a waveform of a three-phase supply.
    bool seriesRecording() const;
    void updateScrollRange();
    void refreshPyramid();
    void addGridLines(double intervals);
    // Samples of the view and their x positions, from the main window's captions.
    struct View {
        double samplesPerInterval = 0;  // N
        double intervals = 0;           // Text2
        double start = 0;               // N x the scroll value
        long long lastPoint = -1;       // points 0..lastPoint
        double xStep = 0;               // user units between points
    };
    View currentView() const;
    std::size_t sampleOf(const View& view, long long point) const;
    void addTrace(const View& view, WaveSeries series, int colour, double factor);
    void addPolyline(const View& view, WaveSeries series, int colour, double factor);
    void addEnvelope(const View& view, WaveSeries series, int colour, double factor);
    void addFundamental(const View& view);

    std::function<DisplayView()> source_;
    DisplayHost defaultHost_;
    DisplayHost* host_;
    ControlSet controls_;
    Form2Layout layout_;
    double twipsPerPixel_ = kTwipsPerInch / 96;
    Picture picture_;
    bool playing_ = false;

    // Derived from the recording in memory, rebuilt when the main window loads another.
    SamplePyramid pyramid_;
    int pyramidLoad_ = -1;
    int fittedLoad_ = -1;  // the load whose scales the window took
    // Reference sine and cosine by point, kept while the view's length and N stay.
    std::vector<double> fundamentalSine_, fundamentalCosine_;
    double fundamentalN_ = 0;
};

}  // namespace pqwave
