// The statistics of the instantaneous flicker sensation: the cumulative probability of Pinst
// over an observation period, counted in logarithmic classes, its percentiles, the short-term
// severity Pst of 10 minutes and the long-term severity Plt of 2 hours.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace pqwave {

// Classes of equal width in log10(Pinst) from 1e-4 to 1e4, 256 to the decade; a value below
// the first class counts in it, one above the last in the last. Within a class the values are
// taken as evenly spread, so a percentile is read to a fraction of the 0.9 % class width.
class PinstClassifier {
public:
    PinstClassifier();
    void add(double pinst);
    void clear();
    std::int64_t count() const { return count_; }
    // The level that Pinst exceeded for `percent` % of the observation period; NaN without
    // values.
    double exceededFor(double percent) const;

private:
    std::vector<std::int64_t> classes_;
    std::int64_t count_ = 0;
};

// P0.1 as it is, and P1s, P3s, P10s, P50s smoothed over neighbouring percentiles.
struct FlickerPercentiles {
    double p0_1 = 0, p1s = 0, p3s = 0, p10s = 0, p50s = 0;
};
FlickerPercentiles smoothedPercentiles(const PinstClassifier& classifier);

// sqrt(0.0314 P0.1 + 0.0525 P1s + 0.0657 P3s + 0.28 P10s + 0.08 P50s).
double shortTermSeverity(const FlickerPercentiles& p);
// cbrt(sum Pst^3 / N) over the Pst values given (12 in a complete 2-hour period); NaN values
// are left out, NaN when none remains.
double longTermSeverity(std::span<const double> pst);

}  // namespace pqwave
