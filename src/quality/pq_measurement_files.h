// The four files of a power-quality measurement: the engine's STEM_PQ.csv with the flicker
// severities appended, STEM_PQharm.csv, STEM_PQevents.csv with the rapid voltage changes among
// the other events, and STEM_PQflicker.csv, one row per clock minute. The caller opens the
// files (and so decides where they go and when they are put in place).
#pragma once

#include "common/text_output_file.h"
#include "quality/pq_files.h"
#include "quality/pq_measurement.h"

namespace pqwave {

// Pst_U12, Pst_U23, Pst_U31 and Plt_U12, Plt_U23, Plt_U31 on the rows of the aggregation: Pst
// on each 10-minute row; Plt on each 2-hour row, and at 10 minutes on the row that ends a clock
// 2 hours the recording covers whole. Empty elsewhere (200 ms and 3 s rows hold neither).
PqExtraColumns flickerColumns(const PqMeasurement& measurement, PqAggregation aggregation);

struct PqMeasurementFiles {
    TextOutputFile& summary;
    TextOutputFile& harmonics;
    TextOutputFile& events;
    TextOutputFile& flicker;
};

void writePqMeasurement(const PqSettings& settings, const PqMeasurement& measurement, const PqMeasurementFiles& files);

}  // namespace pqwave
