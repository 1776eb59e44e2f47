// The statistics the all-files run keeps of RMS and logger recordings. Per channel position k,
// row 2k describes the recording's maximum series and row 2k+1 its minimum series (a logger's
// single series goes into both, so both summary columns describe it); its slots hold the average
// (a sum while folding), the maximum and the minimum, in physical units once finished.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "batch/file_statistics.h"
#include "common/progress.h"
#include "input/sample_table.h"

namespace pqwave {

inline constexpr int kSeriesRows = 32;

// RmsStat of one recording, for "Rms統計DT.csv".
struct RmsFileStatistics {
    std::array<StatisticSlots, kSeriesRows> RmsStat{};

    // Folds one sample of an RMS recording: the raw codes of columns 2i and 2i+1 of channel i.
    void fold(const std::int16_t* sample, const std::vector<int>& channels, bool first);
    // Sums become averages over `rows` samples; every slot is scaled by its channel's factor.
    void finish(const std::vector<int>& channels, const std::array<double, 16>& factors, double rows);
};

// RmsStat and HourCount per hour of a year, pooled over every recording of the run, for
// "Rms時刻統計DT.csv" and "時刻統計DT.csv". The 8785 hours cover a leap year and one more.
struct HourOfYearStatistics {
    static constexpr std::size_t kHours = 8785;
    std::vector<std::array<StatisticSlots, kSeriesRows>> RmsStat =
        std::vector<std::array<StatisticSlots, kSeriesRows>>(kHours);
    std::vector<std::int32_t> HourCount = std::vector<std::int32_t>(kHours, 0);
};

// What the hour-of-year fold reads of one recording.
struct TimeOfDayInput {
    double start = 0;  // date-time of sample 0 (days since 1899-12-30), pre-trigger applied
    int year = 0;      // the year of the table
    double samplePeriodSeconds = 0;
    long long samples = 0;
    bool rmsRecording = true;          // a maximum and a minimum series per channel; else one series
    std::vector<int> channels;         // channel positions that take part
    std::array<double, 16> factors{};  // physical units per code, by channel position
};

// Folds every sample of a recording that starts in `input.year` into the hour of the year it
// falls in; returns the samples that fall outside that year, which are left out.
long long foldHoursOfYear(HourOfYearStatistics& hours, const RawSampleTable& table, const TimeOfDayInput& input,
                          Progress& progress);

}  // namespace pqwave
