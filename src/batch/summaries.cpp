#include "batch/summaries.h"

#include "batch/summary_files.h"
#include "common/datetime.h"
#include "common/messages.h"
#include "input/output_target.h"

namespace pqwave {

std::filesystem::path movingFftSummaryFile(const std::filesystem::path& folder, int column) {
    return folder / ("PQp-pDTch" + std::to_string(column + 1) + ".csv");
}

Summaries::Summaries(std::filesystem::path folder, std::string timeOfDayName)
    : folder_(std::move(folder)), timeOfDayName_(std::move(timeOfDayName)) {}

TextOutputFile& Summaries::open(std::unique_ptr<TextOutputFile>& file, const std::string& name,
                                const std::string& header) {
    if (!file) {
        const std::filesystem::path path = folder_ / name;
        refuseRecordingAsOutput(path, {});
        file = std::make_unique<TextOutputFile>(path);
        file->writeLine(header);
    }
    return *file;
}

void Summaries::add(FileOutcome& out) {
    switch (out.summary) {
        case SummaryKind::Interval:
            open(interval_, "PQp-pDT.csv", intervalSummaryHeader(out.interval.layout))
                .writeLine(intervalSummaryRow(out.interval));
            break;
        case SummaryKind::RmsPerFile:
            open(rms_, "Rms統計DT.csv", rmsSummaryHeader(out.channels))
                .writeLine(rmsSummaryRow(out.start, out.channels, out.rms));
            break;
        case SummaryKind::TimeOfDay:
            foldHours(out);
            break;
        case SummaryKind::MovingFft:
            // Each channel's file is headed by the first recording that writes to it.
            for (const MovingFftChannelSummary& line : out.movingFft) {
                std::string row = summaryNameField(out.start) + "," + summaryDateTimeField(out.start);
                if (!line.fields.empty()) row += "," + line.fields;
                open(movingFft_[line.column], movingFftSummaryFile({}, line.column).filename().string(), line.header)
                    .writeLine(row);
            }
            break;
        case SummaryKind::None:
            break;
    }
}

void Summaries::foldHours(FileOutcome& out) {
    if (!hoursYear_) {
        hoursYear_ = out.timeOfDay.year;
        hours_ = std::make_unique<HourOfYearStatistics>();
    }
    hourChannels_ = out.channels;
    ++hourFiles_;
    if (const int year = yearOf(out.timeOfDay.start); year != out.timeOfDay.year) {
        otherYears_.insert(year);
        ++otherYearFiles_;
    }
    // A file is folded whole or not at all, so a cancel never leaves half a file pooled.
    Progress uninterrupted;
    const long long outside = foldHoursOfYear(*hours_, out.samples->table, out.timeOfDay, uninterrupted);
    if (outside > 0)
        out.warn(tr("{0}: {1} samples lie beyond the year {2} and were not counted",
                    {out.path, std::to_string(outside), std::to_string(out.timeOfDay.year)}));
    out.samples.reset();
}

void Summaries::commit() {
    if (hoursYear_) {
        std::unique_ptr<TextOutputFile> hours;
        TextOutputFile& file = open(hours, timeOfDayName_, timeOfDaySummaryHeader(hourChannels_));
        for (const std::string& row : timeOfDaySummaryRows(*hoursYear_, hourChannels_, *hours_)) file.writeLine(row);
        file.commit();
        written_.push_back(file.path());
    }
    for (auto* file : {&interval_, &rms_})
        if (*file) {
            (*file)->commit();
            written_.push_back((*file)->path());
        }
    for (auto& [column, file] : movingFft_) {
        file->commit();
        written_.push_back(file->path());
    }
}

std::string Summaries::otherYearsWarning() const {
    if (otherYearFiles_ == 0) return {};
    std::string years;
    for (int year : otherYears_) years += (years.empty() ? "" : ", ") + std::to_string(year);
    const std::string file = (folder_ / timeOfDayName_).string();
    const std::string year = std::to_string(*hoursYear_);
    if (otherYearFiles_ == hourFiles_)
        return tr(
            "{0}: no recording falls in the year {1} that 時刻統計 collects, so the file holds its header only; "
            "the recordings are of {2} (the year box beside 時刻統計, Text6 or --year, sets it)",
            {file, year, years});
    return tr(
        "{0}: {1} of {2} recordings fall outside the year {3} that 時刻統計 collects and were left out; they "
        "are of {4} (the year box beside 時刻統計, Text6 or --year, sets it)",
        {file, std::to_string(otherYearFiles_), std::to_string(hourFiles_), year, years});
}

}  // namespace pqwave
