#include "batch/summary_files.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "common/datetime.h"
#include "common/text.h"
#include "common/textforms.h"

namespace pqwave {
namespace {

const char* const kStatNames[] = {"(Ave)", "(Max)", "(min)"};

// The average of a statistic, or an empty cell when the file had no interval to average.
std::string average(const StatisticSlots& stat, std::int32_t intervals) {
    return intervals > 0 ? formD(static_cast<double>(stat[0]) / intervals) : std::string();
}

std::string stored(float value, std::int32_t intervals) {
    return intervals > 0 ? formS(value) : std::string();
}

void appendTriple(std::string& row, const StatisticSlots& stat, std::int32_t intervals) {
    row += "," + average(stat, intervals) + "," + stored(stat[1], intervals) + "," + stored(stat[2], intervals);
}

// One slot of a statistic: the average for slot 0, the value as stored otherwise.
std::string slotText(const StatisticSlots& stat, int slot, std::int32_t intervals) {
    return slot == 0 ? average(stat, intervals) : stored(stat[slot], intervals);
}

constexpr int kBins = 201;  // -100 .. 100: 49 Hz and below .. 51 Hz and above, 0.01 Hz wide

// The bin of frequency f: Int((f - 50) x 100 + 0.5), clamped to -100 .. 100. It is taken on the
// value as the files show it (its 7 significant digits, in units of 0.00001 Hz), so that a
// frequency shown as 49.995 lies on its bin's edge and falls in bin 0, not one below for the
// binary fraction a single cannot hold.
int binOf(float f) {
    const long long units = std::llround(std::stod(formS(f)) * 100000);
    const long long edge = units - 5000000 + 500;  // (f - 50) x 100 + 0.5, in thousandths of a bin
    long long bin = edge >= 0 ? edge / 1000 : -((-edge + 999) / 1000);
    return static_cast<int>(std::clamp<long long>(bin, -100, 100));
}

// The frequency statistics of a file over its intervals 1 .. IntervalCount: mean, maximum,
// minimum, standard deviation and the histogram of 0.01 Hz bins around 50 Hz.
void appendFrequencyStatistics(std::string& row, const std::vector<float>& frequency, std::int32_t intervals) {
    std::array<int, kBins> bins{};
    float sum = 0, maximum = 0, minimum = 100;
    int count = 0;
    std::vector<float> valid;
    for (std::int32_t i = 1; i <= intervals && static_cast<std::size_t>(i) < frequency.size(); ++i) {
        const float f = frequency[static_cast<std::size_t>(i)];
        if (!(f > 0)) continue;
        sum += f;
        ++count;
        valid.push_back(f);
        ++bins[static_cast<std::size_t>(binOf(f) + 100)];
        if (maximum < f) maximum = f;
        if (minimum > f) minimum = f;
    }
    if (count == 0) {
        row += ",,,,";
    } else {
        const float mean = sum / static_cast<float>(count);
        // The population standard deviation, as the column is headed.
        double squares = 0;
        for (float f : valid) squares += (f - static_cast<double>(mean)) * (f - static_cast<double>(mean));
        const float deviation = static_cast<float>(std::sqrt(squares / count));
        row += "," + formS(mean) + "," + formS(maximum) + "," + formS(minimum) + "," + formS(deviation);
    }
    for (int bin : bins) row += "," + formI(bin);
}

}  // namespace

std::string summaryNameField(const RecordingStart& start) {
    if (!start.outputName.empty()) return start.outputName;
    std::string time = start.time;
    if (auto value = TimeValue(start.time)) time = formatHhMmSs(*value);
    return rightChars(start.date, 2) + "D" + time + ".csv";
}

std::string summaryDateTimeField(const RecordingStart& start) {
    auto date = DateValue(start.date);
    auto time = TimeValue(start.time);
    if (!date || !time) return start.date + " " + start.time;
    return formT(*date + *time);
}

std::string intervalSummaryHeader(const IntervalSummaryLayout& layout) {
    std::string h = "ファイル名,測定日時, V(Ave),V(Max),V(min)";
    for (int n = 1; n <= layout.circuits; ++n) {
        const std::string c = formI(n);
        for (const char* quantity : {"I", "P", "Q"})
            for (const char* stat : kStatNames) h += std::string(",") + quantity + c + stat;
    }
    if (layout.perPhase) {
        for (const char* stat : kStatNames) {
            for (const char* v : layout.lineVoltages ? std::array{"Vuv", "Vvw", "Vuw"} : std::array{"Vu", "Vv", "Vw"})
                h += std::string(",") + v + stat;
            for (int n = 1; n <= layout.circuits; ++n)
                for (const char* q : {"Iu", "Iv", "Iw", "Pu", "Pv", "Pw", "Qu", "Qv", "Qw"})
                    h += std::string(",") + q + formI(n) + stat;
        }
    }
    if (layout.frequency) {
        h += ",f平均,f最大,f最小,f標準偏差";
        for (int b = -100; b <= 100; ++b) h += "," + formD(b / 100.0 + 50);
    }
    return h;
}

std::string intervalSummaryRow(const IntervalSummaryInput& in) {
    const PowerFileStatistics& s = in.statistics;
    const std::int32_t n = in.intervalCount;
    std::string row = summaryNameField(in.start) + "," + summaryDateTimeField(in.start);
    appendTriple(row, s.VStat, n);
    for (int c = 0; c < in.layout.circuits; ++c) {
        appendTriple(row, s.IStat[c], n);
        appendTriple(row, s.PStat[c], n);
        appendTriple(row, s.QStat[c], n);
    }
    if (in.layout.perPhase) {
        for (int slot = 0; slot < 3; ++slot) {
            for (int k = 0; k < 3; ++k) row += "," + slotText(s.VPhaseStat[k], slot, n);
            for (int c = 0; c < in.layout.circuits; ++c) {
                for (int k = 0; k < 3; ++k) row += "," + slotText(s.IPhaseStat[k][c], slot, n);
                for (int k = 0; k < 3; ++k) row += "," + slotText(s.PPhaseStat[k][c], slot, n);
                for (int k = 0; k < 3; ++k) row += "," + slotText(s.QPhaseStat[k][c], slot, n);
            }
        }
    }
    if (in.layout.frequency) appendFrequencyStatistics(row, in.intervalFrequency, n);
    return row;
}

namespace {

std::string seriesColumns(const std::vector<ChannelColumn>& channels) {
    std::string h;
    for (const ChannelColumn& c : channels)
        for (const char* stat : kStatNames) h += "," + c.name + "Max" + stat + "," + c.name + "min" + stat;
    return h;
}

}  // namespace

std::string rmsSummaryHeader(const std::vector<ChannelColumn>& channels) {
    return "ファイル名,測定日時" + seriesColumns(channels);
}

std::string rmsSummaryRow(const RecordingStart& start, const std::vector<ChannelColumn>& channels,
                          const RmsFileStatistics& statistics) {
    std::string row = summaryNameField(start) + "," + summaryDateTimeField(start);
    for (const ChannelColumn& c : channels)
        for (int slot = 0; slot < 3; ++slot)
            row += "," + formS(statistics.RmsStat[2 * c.position][slot]) + "," +
                   formS(statistics.RmsStat[2 * c.position + 1][slot]);
    return row;
}

std::string timeOfDaySummaryHeader(const std::vector<ChannelColumn>& channels) {
    return "測定日時" + seriesColumns(channels) + ",n";
}

std::vector<std::string> timeOfDaySummaryRows(int year, const std::vector<ChannelColumn>& channels,
                                              const HourOfYearStatistics& hours) {
    std::vector<std::string> rows;
    const double yearStart = DateSerial(year, 1, 1);
    for (std::size_t h = 0; h < HourOfYearStatistics::kHours; ++h) {
        const std::int32_t count = hours.HourCount[h];
        if (count <= 0) continue;
        const auto& table = hours.RmsStat[h];
        std::string row = formT(yearStart + static_cast<double>(h) / 24);
        for (const ChannelColumn& c : channels) {
            const int maxRow = 2 * c.position, minRow = maxRow + 1;
            row += "," + formD(static_cast<double>(table[maxRow][0]) / count) + "," +
                   formD(static_cast<double>(table[minRow][0]) / count);
            for (int slot = 1; slot <= 2; ++slot)
                row += "," + formS(table[maxRow][slot]) + "," + formS(table[minRow][slot]);
        }
        row += "," + formI(count);
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace pqwave
