#include "report/survey_statistics.h"

#include <algorithm>
#include <cmath>

namespace pqwave {

double nearestRankPercentile(std::vector<double>& values, double percent) {
    if (values.empty()) return NAN;
    std::sort(values.begin(), values.end());
    const double rank = std::ceil(percent / 100 * static_cast<double>(values.size()) - 1e-9);
    const std::size_t index = static_cast<std::size_t>(std::clamp(rank, 1.0, static_cast<double>(values.size()))) - 1;
    return values[index];
}

double harmonicPercent(const PqRow& row, int voltage, int order) {
    const std::size_t base = static_cast<std::size_t>(voltage) * kSpectrumValues;
    if (row.spectra.size() < base + kSpectrumValues) return NAN;
    const double fundamental = row.spectra[base + harmonicSlot(1)];
    const double harmonic = row.spectra[base + harmonicSlot(order)];
    if (!(fundamental > 0) || !std::isfinite(harmonic)) return NAN;
    return harmonic / fundamental * 100;
}

HarmonicPercentiles harmonicPercentiles(const SurveySeries& series, double percent) {
    HarmonicPercentiles out;
    for (auto& v : out) v.fill(NAN);
    std::vector<double> values;
    for (int voltage = 0; voltage < kLineVoltages; ++voltage)
        for (int order = 2; order <= kReportHighestOrder; ++order) {
            values.clear();
            for (const TimedRow& r : series.rows) {
                if (r.row->flagged) continue;
                const double h = harmonicPercent(*r.row, voltage, order);
                if (std::isfinite(h)) values.push_back(h);
            }
            out[voltage][order] = nearestRankPercentile(values, percent);
        }
    return out;
}

}  // namespace pqwave
