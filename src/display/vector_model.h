// Form02 "ベクトル表示" as a plain model: the fundamental phasors of one supply cycle (the
// line voltages Vr-s = ch1, Vt-s = ch2, Vr-t, and each circuit's Ir, It, Is), their RMS
// values, each circuit's active and reactive power and the phase sequence, which can select
// the main window's rotation ("自動位相確認"). Drawing coordinates are twips of the picture
// with y downwards; the phasors are drawn with y upwards from the line y = 3750. With the
// multipliers the window starts with, a phase voltage (star point to corner of the voltage
// triangle) and a current at their channels' full scale are both as long as the diagram's
// scale s.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "control/control.h"
#include "control/display_view.h"
#include "control/scroll_bar.h"
#include "display/display_host.h"
#include "display/picture.h"
#include "power/phase_sequence.h"
#include "power/wiring.h"

namespace pqwave {

class Form1Model;

struct CircuitPhasors {
    bool measured = false;  // both of the circuit's columns are in the recording
    Phasor ir, it, is;
    double irAmps = 0, itAmps = 0, isAmps = 0;
    double kilowatts = 0, kilovars = 0;
};

struct VectorCycle {
    bool measured = false;           // at least one sample of the cycle was in memory
    std::array<Phasor, 3> voltages;  // Vr-s, Vt-s, Vr-t
    std::array<double, 3> volts{};   // their RMS values, primary volts
    std::vector<CircuitPhasors> circuits;
    float sequence = 0;                // U: below 0 for the reverse sequence
    std::optional<Rotation> rotation;  // none when nothing of the cycle is in memory
};

// Centre and scale of circuit c's diagram among M + 1 diagrams.
struct DiagramPlace {
    double x = 0, y = 0, scale = 0;
};
DiagramPlace diagramPlace(int m, int c);

class Form02Model {
public:
    // The picture's extent in twips, and its size in a new window.
    static constexpr double kPictureWidth = 7800, kPictureHeight = 4000;
    static constexpr int kDefaultPixelWidth = 780, kDefaultPixelHeight = 400;

    // The window shows what `source` gives of the main window, read afresh at every event, and
    // tells `rotationFound` the rotation of each cycle it shows.
    Form02Model(std::function<DisplayView()> source, std::function<void(Rotation)> rotationFound,
                DisplayHost* host = nullptr);
    explicit Form02Model(Form1Model& form1, DisplayHost* host = nullptr);
    Form02Model(const Form02Model&) = delete;
    Form02Model& operator=(const Form02Model&) = delete;

    // ---- Controls
    ScrollBar HScroll1;  // the cycle shown
    Control Label5, Label6, Label4, Label3, Label2;
    std::array<Control, 2> Label1, Text1, Label7, Option1;
    std::array<Control, 3> Command4;  // only "前画面" at index 2 exists
    Control Image1, Image2, Vcopy;

    std::int16_t VecFreq = 50;
    float CycleSamples = 0;
    std::int16_t PlayStop = 0;
    // One cycle of reference sine and cosine, 0..CLng(CycleSamples).
    std::vector<double> SineTable, CosineTable;

    // ---- Events
    // The cycle of the selected frequency from cycle 0; on a recording the window has not shown
    // before, the voltage and current multipliers that fit it first. Multipliers the user
    // typed stay while the same recording is in memory.
    void Form_Activate();
    void Option1_Click(int index);
    void HScroll1_Change();
    void Text1_Change(int index);
    void Image1_Click();
    void Image2_Click();
    void Command4_Click(int index);
    void Form_Unload();
    void Vcopy_Click();

    void T_Set();
    void V_Drow();

    const VectorCycle& cycle() const { return cycle_; }
    const Picture& picture() const { return picture_; }
    // The picture with what the window's labels show written beneath it (the cycle's time,
    // the rotation, the voltages, currents and powers): a picture file has no labels.
    Picture pictureWithValues() const;
    int diagramCount() const;  // M + 1
    bool playing() const { return playing_; }

    const ControlSet& controls() const { return controls_; }
    Control* findControl(std::string_view name) const { return controls_.find(name); }
    void setHost(DisplayHost* host) { host_ = host ? host : &defaultHost_; }

private:
    void fitMultipliers();
    void gatherCycle();
    void detectSequence();
    void draw();
    void writeValues();
    void VecPrintAt(double x, double y, const std::string& text, int colour);
    void VecArrow(PicturePoint from, PicturePoint to, int colour, LineStyle style);
    void VecDiagram(int c);

    std::function<DisplayView()> source_;
    std::function<void(Rotation)> rotationFound_;
    DisplayHost defaultHost_;
    DisplayHost* host_;
    ControlSet controls_;
    VectorCycle cycle_;
    Picture picture_;
    bool playing_ = false;
    int fittedLoad_ = -1;  // the load whose multipliers the window took
};

}  // namespace pqwave
