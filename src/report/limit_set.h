// The limits a survey is judged against, as a named set: the EN 50160 medium-voltage set built
// in, or a user's own in a small INI file with the same keys. A check is judged when its section
// is present; every key of a present section must be given, and anything else is refused with
// the file name and the line, so a typing error never passes as a lenient default.
//
//     # comment lines start with # or ;
//     name = My utility's MV set          (required)
//     period_days = 7                     (the observation period the shares hold for)
//     [voltage]      band_percent, share_percent   10-min line voltages within Udin +- band
//     [frequency]    band_percent, share_percent   10-s frequencies within nominal +- band
//     [unbalance]    max_percent, share_percent    10-min u2
//     [thd]          max_percent, share_percent    10-min THD of each line voltage
//     [plt]          max, share_percent            2-h Plt of each line voltage
//     [harmonics]    share_percent, h2 ... h50     10-min harmonic subgroups, % of the fundamental
#pragma once

#include <array>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pqwave {

inline constexpr int kReportHighestOrder = 50;

struct BandLimit {  // values within the reference +- band
    double bandPercent = 0;
    double sharePercent = 0;  // of the values, at least
};

struct CeilingLimit {  // values at or below `maximum`
    double maximum = 0;
    double sharePercent = 0;
};

struct HarmonicLimits {
    double sharePercent = 0;
    std::array<double, kReportHighestOrder + 1> percent;  // by order; NaN where the set has none
    HarmonicLimits() { percent.fill(NAN); }
};

struct LimitSet {
    std::string name;
    std::string origin;  // "built in", or the file it was read from
    double periodDays = 7;
    std::optional<BandLimit> voltage, frequency;
    std::optional<CeilingLimit> unbalance, thd, plt;
    std::optional<HarmonicLimits> harmonics;
};

// Refuses (Error, Malformed) with "FILE:LINE: problem".
LimitSet parseLimitSet(std::string_view text, const std::string& fileName);

// EN 50160 for medium-voltage supplies, from the text below (the same keys a user's file has).
std::string_view en50160MediumVoltageText();
LimitSet en50160MediumVoltage();

// "en50160", or the path of a limit file (Error CannotRead when it cannot be read).
LimitSet limitSetNamed(const std::string& nameOrFile);

}  // namespace pqwave
