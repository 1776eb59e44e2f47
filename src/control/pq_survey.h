// A supply survey as one value: every recording measured by the power-quality methods with the
// window's job (ratios, wiring, supply frequency) and choices (Udin), each with the facts a
// report names it by. The report and the trend window take this value and never the window's
// model; "レポート", "トレンド" and pqwave-cli report build it here, for the selected file or
// for every file of the list.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "control/power_quality_run.h"
#include "input/recording_facts.h"
#include "power/wiring.h"

namespace pqwave {

class Form1Model;

struct SurveyRecording {
    RecordingFacts facts;  // model, start, sampling, file name
    double durationSeconds = 0;
    double clockSecondsAtStart = 0;  // the first sample on the clock (seconds from 1899-12-30)
    double ptRatio = 1;
    std::vector<double> clampAmps;  // per circuit: amperes per 0.2 V of clamp output
    Wiring wiring;
    double nominalHz = 50;
    PqMeasurement measurement;
    std::vector<std::string> warnings;
};

struct PqSurvey {
    std::string name;                         // the recording, or the folder of a survey of several
    std::vector<SurveyRecording> recordings;  // in clock order
    // Files of the folder's list that are not in it: skipped or failed, as the run reported.
    std::vector<std::string> leftOut;
    bool cancelled = false;  // the folder's run was cancelled; the values are incomplete
};

// The selected recording measured with the window's settings; the window's caption and
// progress show the run. Throws Error (or Cancelled) as "電力品質解析" fails.
PqSurvey surveySelectedFile(Form1Model& form);
// Every file the list shows, `jobs` side by side; the files that fail are reported to the host
// as the all-files run does and named in `leftOut`. Throws Error when none is measured.
PqSurvey surveyAllFiles(Form1Model& form, int jobs = 1);

// The measured values of one recording as a survey holds them.
SurveyRecording surveyRecordingOf(const ConversionJob& job, const Recording& recording, const PqChoices& choices,
                                  Progress& progress);

// Where the report of the selected file goes: STEM_PQreport.html beside the CSV the window
// proposes (Text5); of a folder: FOLDER/FOLDERNAME_PQreport.html.
std::filesystem::path reportPathForSelectedFile(const Form1Model& form);
std::filesystem::path reportPathForFolder(const std::filesystem::path& folder);

}  // namespace pqwave
