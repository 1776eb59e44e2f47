// What the waveform and vector windows show of the main window, as one value: the recording in
// memory and the settings they draw it with. The display windows read the main window only
// through this, and write back only the rotation the vector window detects.
#pragma once

#include <array>
#include <memory>

#include "input/recording.h"
#include "power/wiring.h"

namespace pqwave {

class Form1Model;

struct DisplayView {
    std::shared_ptr<const Recording> recording;  // the samples in memory; none before a load
    int loadCount = 0;                           // loads so far: a view rebuilds what it derives
    double samplesPerInterval = 0;               // 1出力ｻﾝﾌﾟﾙ数 as the main window shows it
    int supplyHz = 50;                           // 50Hz / 60Hz of the main window
    double ptRatio = 0;
    std::array<double, kMaxCircuits> clampAmps{};
    Wiring wiring;
    bool phaseCheck = false;  // 自動位相確認: the detected rotation is selected in the main window

    const RecordingFacts* facts() const { return recording ? &recording->facts : nullptr; }
    int channelCount() const { return recording ? recording->facts.channelCount() : 0; }
};

DisplayView displayViewOf(const Form1Model& form);

// The vector window found `rotation` on the cycle it shows; with 自動位相確認 the main window
// takes it as its rotation.
void showDetectedRotation(Form1Model& form, Rotation rotation);

}  // namespace pqwave
