// The files of a power-quality run, CP932 with CR LF like every output: STEM_PQ.csv (one row
// of aggregated values per interval), STEM_PQharm.csv (harmonic and interharmonic subgroups per
// interval) and STEM_PQevents.csv (dips, swells, interruptions). Each opens with a line naming
// the recording (model, start, sampling frequency, Udin, aggregation). The files are complete
// beside their final names before any of them is renamed into place, so a failed run leaves
// the earlier files as they were.
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
    std::filesystem::path summary, harmonics, events;
};

// STEM_PQ.csv, STEM_PQharm.csv and STEM_PQevents.csv in `folder`.
PqFileNames pqFileNames(const std::filesystem::path& folder, const std::string& stem);
// The summary named by the user, the other two beside it: OUT.csv gives OUT_PQharm.csv and
// OUT_PQevents.csv, and OUT_PQ.csv the same.
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

class PqFiles {
public:
    explicit PqFiles(const PqFileNames& names);

    void write(const PqSettings& settings, const PqResult& result, const PqExtraColumns& extra = {});
    // Completes the three beside their final names; then commit() renames them into place. A
    // caller with a file of its own finishes it too before committing any.
    void finish();
    void commit();

private:
    TextOutputFile summary_, harmonics_, events_;
};

void writePqFiles(const PqSettings& settings, const PqResult& result, const PqFileNames& names,
                  const PqExtraColumns& extra = {});

}  // namespace pqwave
