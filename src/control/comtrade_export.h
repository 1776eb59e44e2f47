// COMTRADE export of the recording the main window has selected, as the file list's context
// menu and `pqwave-cli export` start it: the controls read once into the writer's settings,
// the samples loaded as the conversion run loads them, failures reported through the host.
#pragma once

#include <filesystem>
#include <string>

#include "control/conversion_job.h"
#include "export/comtrade.h"
#include "input/recording.h"

namespace pqwave {

class Form1Model;

// The channels, scaling, range and step of the raw-data CSV, the ratios of the interval
// analysis, the header's start and the supply frequency.
ComtradeSettings comtradeSettingsFor(const ConversionJob& job, const Recording& recording, ComtradeFormat format);

// NAME.cfg beside the recording in Label1 (NAME: its file name without the extension).
std::filesystem::path comtradePathBeside(const Form1Model& form);

// Exports the recording in Label1 into cfgPath and the .dat beside it; true when both are
// written.
bool exportComtrade(Form1Model& form, const std::filesystem::path& cfgPath, ComtradeFormat format);

// A file of the list: clicked first unless it is the one selected, then exported beside itself
// in BINARY.
bool exportComtradeBeside(Form1Model& form, const std::string& fileName);

}  // namespace pqwave
