// The gesture behind most analysis tests: a generated recording in a fresh folder, clicked in a
// model started as the program starts, its output named, then "CSV変換" pressed and the result
// read back. Also the three-phase supplies the power tests are built on.
#pragma once

#include <string>
#include <vector>

#include "support/csv_file.h"
#include "support/recording_host.h"

namespace pqwave::testing {

struct AnalysisRun {
    TestFolder folder;
    StartedModel model{folder};
    Form1Model& form = model.form;

    explicit AnalysisRun(const gen::RecordingSpec& spec);
    // Presses "CSV変換" and reads the result file; a reported error fails the test.
    CsvFile run();
};

// Column of a header name on line 2 of a result file.
std::size_t column(const CsvFile& csv, const std::string& name);
double value(const CsvFile& csv, std::size_t line, const std::string& name);

// 110 V secondary (6600 V through the default PT of 60) at 2 kHz: 40 samples per 20 ms.
gen::RecordingSpec supplyRecording(const gen::ThreePhaseSupply& supply, int samples = 2000);
gen::ThreePhaseSupply supplyWith(std::vector<gen::Circuit> circuits);

// An 8840 recording of a balanced 110 V supply with one 100 A circuit lagging 20 degrees: 2 kHz
// (40 samples a cycle), 20000 samples, counts small enough for the display windows at scale 1.
gen::RecordingSpec displayRecording(bool reverse = false);

}  // namespace pqwave::testing
