// The quantities a trend shows, by the names pqwave-cli plot trend --quantity takes.
#pragma once

#include <optional>
#include <string_view>

namespace pqwave {

enum class TrendQuantity { Voltage, Frequency, Unbalance, Thd, Flicker, ActivePower, ReactivePower, PowerFactor };

inline constexpr TrendQuantity kTrendQuantities[] = {
    TrendQuantity::Voltage, TrendQuantity::Frequency,   TrendQuantity::Unbalance,     TrendQuantity::Thd,
    TrendQuantity::Flicker, TrendQuantity::ActivePower, TrendQuantity::ReactivePower, TrendQuantity::PowerFactor};

// "U", "f", "u2", "THD", "Pst", "P", "Q", "PF" and back.
std::string_view trendQuantityName(TrendQuantity quantity);
std::optional<TrendQuantity> trendQuantityFromName(std::string_view name);

}  // namespace pqwave
