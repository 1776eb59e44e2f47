// The report written as one file: checked against the recordings it reports (never over one of
// them or another recording), complete beside its final name before it is put in place, so a
// failed write leaves an earlier report as it was.
#pragma once

#include <filesystem>

#include "control/pq_survey.h"
#include "report/html_report.h"

namespace pqwave {

// Throws Error (CannotWrite) naming the file.
void writeReportFile(const PqSurvey& survey, const ReportOptions& options, const std::filesystem::path& output);

// "2026/12/08 14:05:00" of the local time now, for ReportOptions::generatedAt.
std::string localTimeNow();

}  // namespace pqwave
