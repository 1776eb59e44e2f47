#include "quality/pq_settings.h"

#include <array>
#include <utility>

namespace pqwave {
namespace {

constexpr std::array<std::pair<PqAggregation, std::string_view>, 4> kAggregationTexts = {{
    {PqAggregation::BasicInterval, "200ms"},
    {PqAggregation::ThreeSeconds, "3s"},
    {PqAggregation::TenMinutes, "10min"},
    {PqAggregation::TwoHours, "2h"},
}};

}  // namespace

std::string_view aggregationText(PqAggregation aggregation) {
    for (const auto& [value, text] : kAggregationTexts)
        if (value == aggregation) return text;
    return {};
}

std::optional<PqAggregation> aggregationFromText(std::string_view text) {
    for (const auto& [value, name] : kAggregationTexts)
        if (name == text) return value;
    return std::nullopt;
}

}  // namespace pqwave
