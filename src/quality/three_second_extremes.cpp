#include "quality/three_second_extremes.h"

#include <algorithm>

namespace pqwave {

namespace {
constexpr double kTenMinutes = 600;
}

void ThreeSecondExtremes::add(double startSeconds, const std::array<double, kLineVoltages>& volts) {
    const std::int64_t key = clock_.intervalIndex(startSeconds, kTenMinutes);
    auto [it, fresh] = intervals_.try_emplace(key);
    VoltageExtremes& e = it->second;
    if (fresh) {
        e.startSeconds = clock_.intervalStart(key, kTenMinutes);
        e.endSeconds = clock_.intervalStart(key + 1, kTenMinutes);
        e.lowest = e.highest = volts;
    }
    for (int v = 0; v < kLineVoltages; ++v) {
        e.lowest[v] = std::min(e.lowest[v], volts[v]);
        e.highest[v] = std::max(e.highest[v], volts[v]);
    }
    ++e.values;
}

std::vector<VoltageExtremes> ThreeSecondExtremes::take() {
    std::vector<VoltageExtremes> out;
    out.reserve(intervals_.size());
    for (auto& [key, e] : intervals_) out.push_back(e);
    intervals_.clear();
    return out;
}

}  // namespace pqwave
