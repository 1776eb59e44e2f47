// A generated recording written into a fresh folder, clicked in a model started as the
// program starts, and loaded as "波形表示" or "ﾍﾞｸﾄﾙ表示" loads it: the common start of the
// display window tests.
#pragma once

#include <string>

#include "support/recording_host.h"
#include "support/test_folder.h"
#include "tools/recording_generator.h"

namespace pqwave::testing {

struct LoadedRecording {
    explicit LoadedRecording(const gen::RecordingSpec& spec, const std::string& name = "REC.MEM");

    TestFolder folder;
    StartedModel model{folder};
    Form1Model& form = model.form;
    gen::GeneratedRecording written;  // the codes the generator stored
};

// A recording whose channels hold the given raw codes, one list per channel, at 10 kHz
// (100 samples per 10 ms division): 200 samples per 20 ms output interval.
gen::RecordingSpec codeRecording(const std::vector<std::vector<std::int16_t>>& channels);

}  // namespace pqwave::testing
