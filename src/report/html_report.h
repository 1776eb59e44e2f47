// The report of a survey as one self-contained XHTML-compatible HTML5 document: inline CSS with
// a print stylesheet for A4 pages, inline SVG pictures, no script and no file beside it. From
// the top: the recordings, the verdict against the limit set, the trends, the harmonics, the
// events and how the values were measured.
#pragma once

#include <string>

#include "common/messages.h"
#include "control/pq_survey.h"
#include "report/limit_set.h"

namespace pqwave {

struct ReportOptions {
    Language language = Language::Japanese;
    LimitSet limits = en50160MediumVoltage();
    std::string generatedAt;  // the date and time the report names as its own; none when empty
};

std::string reportHtml(const PqSurvey& survey, const ReportOptions& options);

}  // namespace pqwave
