// The RMS and power analyses as the main window runs them: their settings read from the
// controls once per run, and what they return stored back into the window's state.
#pragma once

#include "power/power_settings.h"
#include "power/wiring.h"

namespace pqwave {

class Form1Model;
class TextOutputFile;

// Check7, Check9, Check8 of every circuit and Option4: the wiring every analysis and the vector
// window apply.
Wiring wiringOf(const Form1Model& form);

PowerSettings powerSettingsOf(const Form1Model& form);

// The settings of the 10 ms moving average, which computes no harmonics and no frequency.
PowerSettings slidingSettingsOf(const Form1Model& form);

// PQOut0ms on the loaded recording; rows go to `file` unless it is null.
void runIntervalAnalysis(Form1Model& form, const PowerSettings& settings, TextOutputFile* file);

// PQOut10ms on the loaded recording; rows go to `file` unless it is null.
void runSlidingAnalysis(Form1Model& form, const PowerSettings& settings, TextOutputFile* file);

}  // namespace pqwave
