#include "report/report_file.h"

#include <ctime>

#include "common/error.h"
#include "common/messages.h"
#include "input/output_files.h"

namespace pqwave {

void writeReportFile(const PqSurvey& survey, const ReportOptions& options, const std::filesystem::path& output) {
    if (survey.recordings.empty())
        throw Error(ErrorKind::NotAvailable, tr("{0}: no recording to report", {output.string()}));
    const std::string html = reportHtml(survey, options);
    OutputFiles files(survey.recordings.front().facts.fileName);
    // The report is UTF-8 with the line ends the browser reads; none of the CSV files' rules.
    files.create(output).writeBytes(html);
    files.commit();
}

std::string localTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
    return text;
}

}  // namespace pqwave
