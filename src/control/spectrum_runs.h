// The spectrum processing of the conversion run ("PQデータFFT", "CHデータFFT", "時間移動FFT"):
// each reads its settings from the main window once, with the window's lenient conversion,
// and hands them with the loaded samples to src/spectrum.
#pragma once

namespace pqwave {

class Form1Model;
class TextOutputFile;

// Write their spectrum into the output file the conversion run has opened.
void ChFFT処理(Form1Model& form, TextOutputFile& file);
void VIPQFFT処理(Form1Model& form, TextOutputFile& file);

// Runs on its own: loads the recording when it is not in memory, shows its own progress
// caption and writes its own files (a window file per channel, and in the all-files run a
// summary line per channel).
void ch移動FFT(Form1Model& form);

}  // namespace pqwave
