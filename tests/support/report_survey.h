// A supply survey for the report tests: a 6600 V supply through the PT ratio of 60 with 5 %
// of the 5th and 3 % of the 7th harmonic and one 100 A circuit, sampled at 2 kHz from
// 13:49:55, with (when asked) a 100 ms dip of U12 alone to 75 %, a 2 s dip of all three to
// 50 %, a 300 ms swell to 125 % and a 700 ms interruption, all in the ten minutes of 13:50.
#pragma once

#include <string>

#include "tools/recording_generator.h"

namespace pqwave::testing {

struct SurveySpec {
    double seconds = 1810;  // to 14:20:05: the 10 minutes of 14:00 and 14:10 hold no event
    bool events = true;
    std::string startTime = "13:49:55";
};

gen::RecordingSpec surveyRecording(const SurveySpec& spec = {});

}  // namespace pqwave::testing
