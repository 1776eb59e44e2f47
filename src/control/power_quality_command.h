// "電力品質解析": the selected recording measured with the job of the window's settings and the
// choices of its power-quality controls, the four files put in place beside it (named by
// Text5's stem) and every warning shown; and the same over every file of the list.
#pragma once

#include <filesystem>
#include <optional>

#include "control/all_files_run.h"
#include "control/power_quality_run.h"

namespace pqwave {

class Form1Model;

// Udin from PqVolts (empty: automatic) and the aggregation PqInterval shows. Refuses (Error,
// NotAvailable) a Udin that is not a positive number of volts.
PqChoices pqChoicesOf(const Form1Model& form);

// What the selected recording is measured with, its samples loaded; refused (Error) before they
// are loaded when the file is not a recording or the job cannot be measured.
struct PqStart {
    PqChoices choices;
    ConversionJob job;
};
PqStart loadSelectedForMeasuring(Form1Model& form);

// Failures reach the form's host. `summary` names STEM_PQ.csv in place of Text5's stem.
void measureSelectedFile(Form1Model& form, const std::optional<std::filesystem::path>& summary = {});
// Every file the list shows, `options.jobs` side by side, each one's files beside it or in
// `options.outputFolder`.
void measureAllFiles(Form1Model& form, const AllFilesRunOptions& options = {});

}  // namespace pqwave
