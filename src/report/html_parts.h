// What the report's sections share: the texts of its language, numbers in the report's fixed
// forms, and table cells. Internal to src/report.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "report/html_report.h"
#include "report/report_texts.h"
#include "report/survey_series.h"
#include "report/xml_text.h"

namespace pqwave::html {

class Context {
public:
    Context(const PqSurvey& survey, const ReportOptions& options, const SurveySeries& series)
        : survey(survey), options(options), series(series) {}
    std::string t(const char* english) const { return reportText(options.language, english); }
    std::string t(const char* english, std::initializer_list<std::string_view> args) const {
        return reportText(options.language, english, args);
    }
    std::string duration(double seconds) const;

    const PqSurvey& survey;
    const ReportOptions& options;
    const SurveySeries& series;
};

// Fixed decimals; empty for NaN.
std::string number(double value, int decimals);

// <td>..</td> with escaped text; `attributes` as written (` class="number"`).
std::string cell(std::string_view text, std::string_view attributes = {});
std::string numberCell(double value, int decimals, std::string_view attributes = {});
std::string headCell(std::string_view text, std::string_view attributes = {});

// <figure> holding the figure's SVG and a caption.
std::string figureBlock(const struct Figure& figure, std::string_view caption);

std::string trendsSection(const Context& c);
std::string harmonicsSection(const Context& c);
std::string eventsSection(const Context& c);

}  // namespace pqwave::html
