#include "control/display_view.h"

#include "control/conversion_job.h"
#include "control/form1_model.h"

namespace pqwave {

DisplayView displayViewOf(const Form1Model& f) {
    DisplayView view;
    view.recording = f.loadedRecording();
    view.loadCount = f.LoadCount();
    view.samplesPerInterval = valOf(f.Lab1OutN);
    view.supplyHz = isSelected(f.Option5[0]) ? 50 : 60;
    view.ptRatio = valOf(f.Text7[0]);
    for (int c = 0; c < kMaxCircuits; ++c) view.clampAmps[c] = valOf(f.Text7[c + 1]);
    view.wiring = wiringOf(f);
    view.phaseCheck = isChecked(f.Check2);
    return view;
}

void showDetectedRotation(Form1Model& f, Rotation rotation) {
    if (isChecked(f.Check2)) select(f.Option4[rotation == Rotation::Reverse ? 1 : 0]);
}

}  // namespace pqwave
