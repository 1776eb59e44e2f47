#include "quality/delta_v10.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>

#include "quality/flicker_filters.h"

namespace pqwave {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double lampModelGain(double hz) {
    static const std::vector<AnalogSection> sections = lampEyeSections(lampEyeModel100V());
    return analogGain(sections, hz);
}

}  // namespace

VisibilityCurve::VisibilityCurve() : modelAtTenHz_(lampModelGain(10)) {}

VisibilityCurve::VisibilityCurve(std::vector<std::pair<double, double>> points) : points_(std::move(points)) {}

double VisibilityCurve::at(double hz) const {
    if (points_.empty()) return lampModelGain(hz) / modelAtTenHz_;
    if (!(hz >= points_.front().first) || hz > points_.back().first) return 0;
    auto upper = std::lower_bound(points_.begin(), points_.end(), hz,
                                  [](const std::pair<double, double>& p, double f) { return p.first < f; });
    if (upper == points_.begin() || upper->first == hz) return upper->second;
    auto lower = std::prev(upper);
    const double share = std::log(hz / lower->first) / std::log(upper->first / lower->first);
    return lower->second + share * (upper->second - lower->second);
}

DeltaV10Meter::DeltaV10Meter(double sampleHz, std::function<double(double)> envelopeGain, VisibilityCurve curve)
    : sampleHz_(sampleHz), envelopeGain_(std::move(envelopeGain)), curve_(std::move(curve)) {}

void DeltaV10Meter::weighBins() {
    const std::size_t n = spectrum_.fftSize();
    binWeights_.assign(n / 2 + 1, 0.0);
    for (std::size_t k = 1; k <= n / 2; ++k) {
        const double hz = static_cast<double>(k) * sampleHz_ / static_cast<double>(n);
        if (hz < kDeltaV10LowestHz || hz > kDeltaV10HighestHz) continue;
        const double weight = curve_.at(hz) / envelopeGain_(hz);
        binWeights_[k] = weight * weight;
    }
}

double DeltaV10Meter::ofMinute(std::span<const double> envelopeVolts) {
    if (envelopeVolts.empty()) return kNaN;
    const double meanVolts =
        std::accumulate(envelopeVolts.begin(), envelopeVolts.end(), 0.0) / static_cast<double>(envelopeVolts.size());
    if (!(meanVolts > 0)) return kNaN;
    std::span<const double> power = spectrum_.powerOf(envelopeVolts);
    if (binWeights_.size() != power.size()) weighBins();
    double weighted = 0;
    for (std::size_t k = 0; k < power.size(); ++k) weighted += binWeights_[k] * power[k];
    return kDeltaV10BaseVolts / meanVolts * std::sqrt(weighted);
}

DeltaV10Summary summariseDeltaV10(std::span<const double> minuteValues) {
    std::vector<double> values;
    for (double v : minuteValues)
        if (!std::isnan(v)) values.push_back(v);
    DeltaV10Summary summary;
    summary.minutes = static_cast<int>(values.size());
    if (values.empty()) return {kNaN, kNaN, kNaN, 0};
    std::sort(values.begin(), values.end(), std::greater<>());
    summary.maximum = values.front();
    summary.fourthLargest = values.size() >= 4 ? values[3] : kNaN;
    summary.mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
    return summary;
}

}  // namespace pqwave
