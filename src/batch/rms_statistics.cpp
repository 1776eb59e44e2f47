#include "batch/rms_statistics.h"

#include <cmath>

#include "common/datetime.h"

namespace pqwave {

void RmsFileStatistics::fold(const std::int16_t* sample, const std::vector<int>& channels, bool first) {
    for (int i : channels)
        for (int u : {2 * i, 2 * i + 1}) foldStatistic(RmsStat[u], sample[u], first);
}

void RmsFileStatistics::finish(const std::vector<int>& channels, const std::array<double, 16>& factors, double rows) {
    for (int i : channels) {
        for (int u : {2 * i, 2 * i + 1}) {
            StatisticSlots& stat = RmsStat[u];
            stat[0] = static_cast<float>(stat[0] / rows * factors[i]);
            stat[1] = static_cast<float>(stat[1] * factors[i]);
            stat[2] = static_cast<float>(stat[2] * factors[i]);
        }
    }
}

long long foldHoursOfYear(HourOfYearStatistics& hours, const RawSampleTable& table, const TimeOfDayInput& input,
                          Progress& progress) {
    if (yearOf(input.start) != input.year) return 0;
    const double yearStart = DateSerial(input.year, 1, 1);
    const long long samples = std::min<long long>(input.samples, static_cast<long long>(table.rows()) - 1);
    long long outside = 0;
    for (long long s = 0; s < samples; ++s) {
        if ((s & 0xFFFF) == 0xFFFF) progress.advance(static_cast<double>(s) / samples);
        // Seconds into the year, to the microsecond: in days a sample on the hour lies a hair
        // below it and would be counted in the hour before.
        const double seconds =
            std::nearbyint(((input.start - yearStart) * 86400 + input.samplePeriodSeconds * s) * 1e6) / 1e6;
        const double hour = std::floor(seconds / 3600);
        if (hour < 0 || hour >= static_cast<double>(HourOfYearStatistics::kHours)) {
            ++outside;
            continue;
        }
        const auto h = static_cast<std::size_t>(hour);
        const std::int16_t* row = table.row(static_cast<std::size_t>(s));
        const bool firstOfHour = hours.HourCount[h] == 0;
        for (int i : input.channels) {
            float x = static_cast<float>(row[input.rmsRecording ? 2 * i : i] * input.factors[i]);
            float y = input.rmsRecording ? static_cast<float>(row[2 * i + 1] * input.factors[i]) : x;
            foldStatistic(hours.RmsStat[h][2 * i], x, firstOfHour);
            foldStatistic(hours.RmsStat[h][2 * i + 1], y, firstOfHour);
        }
        ++hours.HourCount[h];
    }
    return outside;
}

}  // namespace pqwave
