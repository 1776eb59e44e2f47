// The files of a power-quality run, CP932 with CR LF like every output: STEM_PQ.csv (one row
// of aggregated values per interval), STEM_PQharm.csv (harmonic and interharmonic subgroups per
// interval) and STEM_PQevents.csv (dips, swells, interruptions, rapid voltage changes), and
// beside them the flickermeter's STEM_PQflicker.csv (pq_measurement_files.h). Each opens with a
// line naming the recording (model, start, sampling frequency, Udin, aggregation). The files are
// complete beside their final names before any of them is renamed into place, so a failed run
// leaves the earlier files as they were.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/text_output_file.h"
#include "quality/pq_result.h"
#include "quality/pq_settings.h"

namespace pqwave {

struct PqFileNames {
    std::filesystem::path summary, harmonics, events, flicker;
};

// STEM_PQ.csv, STEM_PQharm.csv, STEM_PQevents.csv and STEM_PQflicker.csv in `folder`.
PqFileNames pqFileNames(const std::filesystem::path& folder, const std::string& stem);
// The summary named by the user, the others beside it: OUT.csv gives OUT_PQharm.csv,
// OUT_PQevents.csv and OUT_PQflicker.csv, and OUT_PQ.csv the same.
PqFileNames pqFileNamesBeside(const std::filesystem::path& summary);

// Columns that another analysis appends to the rows of STEM_PQ.csv (the flickermeter's Pst
// and Plt): their header names and each row's cells (empty text for no value).
struct PqExtraColumns {
    std::vector<std::string> headers;
    std::function<std::vector<std::string>(const PqRow& row)> cells;
};

// "Model,8841,Start,2024/05/06 13:45:30.000,Sampling(Hz),10000,Udin(V),6600,auto ...,Aggregation,10min"
std::string pqRecordingLine(const PqSettings& settings, const PqResult& result);
// Line 2 of each file.
std::string pqSummaryHeader(int circuits, const PqExtraColumns& extra = {});
std::string pqHarmonicsHeader(int circuits);
std::string pqEventsHeader();

// The three files of the engine, opened by the caller (who puts them in place with its other
// outputs); the events in the result's order.
struct PqTableFiles {
    TextOutputFile& summary;
    TextOutputFile& harmonics;
    TextOutputFile& events;
};
void writePqFiles(const PqSettings& settings, const PqResult& result, const PqTableFiles& files,
                  const PqExtraColumns& extra = {});

// The same into the three files of `names`, put in place together (the flicker name unused).
void writePqFiles(const PqSettings& settings, const PqResult& result, const PqFileNames& names,
                  const PqExtraColumns& extra = {});

}  // namespace pqwave
