// The summary files of one all-files run, in its summary folder: rows are added outcome by
// outcome in the list's order and the files are put in place together at the end.
//   "PQp-pDT.csv"                          the RMS and power analyses, a row per recording
//   "Rms統計DT.csv"                        the raw data of RMS recordings, a row per recording
//   "Rms時刻統計DT.csv" / "時刻統計DT.csv"  the hours of the year, pooled over the recordings
//   "PQp-pDTch<n>.csv"                     the moving FFT, a row per recording and channel
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "batch/file_outcome.h"
#include "common/text_output_file.h"

namespace pqwave {

std::filesystem::path movingFftSummaryFile(const std::filesystem::path& folder, int column);

class Summaries {
public:
    Summaries(std::filesystem::path folder, std::string timeOfDayName);

    // Adds the outcome's rows; the hours of a time-of-day outcome are folded (and its samples
    // released), with a warning in the outcome for samples beyond the year.
    void add(FileOutcome& outcome);
    // Writes the hours of the year, then puts every summary in place.
    void commit();
    // The summaries commit() put in place, in the order it did.
    const std::vector<std::filesystem::path>& written() const { return written_; }
    // When recordings of the time-of-day statistics start in another year than the one collected
    // (the year box defaults to this year), what was left out; empty otherwise.
    std::string otherYearsWarning() const;

private:
    TextOutputFile& open(std::unique_ptr<TextOutputFile>& file, const std::string& name, const std::string& header);
    void foldHours(FileOutcome& outcome);

    std::filesystem::path folder_;
    std::string timeOfDayName_;
    std::unique_ptr<TextOutputFile> interval_, rms_;
    std::map<int, std::unique_ptr<TextOutputFile>> movingFft_;
    std::optional<int> hoursYear_;
    std::vector<ChannelColumn> hourChannels_;
    std::unique_ptr<HourOfYearStatistics> hours_;
    int hourFiles_ = 0;  // recordings folded into the hours, of the year or not
    std::set<int> otherYears_;
    int otherYearFiles_ = 0;
    std::vector<std::filesystem::path> written_;
};

}  // namespace pqwave
