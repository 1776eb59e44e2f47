// The basic values of one aggregation interval, summed as they come: squares for the values
// aggregated as a root mean square (RMS, harmonics and interharmonics, THD, unbalance), plain
// sums for the means (P, Q, power factor), and the cycles and their duration for the frequency.
#pragma once

#include <cmath>
#include <vector>

#include "quality/basic_interval.h"
#include "quality/pq_result.h"

namespace pqwave {

class IntervalAccumulator {
public:
    IntervalAccumulator(int circuits, int cyclesPerWindow);

    void add(const BasicValues& values);
    void clear();
    int count() const { return count_; }
    double firstStart() const { return firstStart_; }
    double lastEnd() const { return lastEnd_; }

    // The aggregated values, timed by the basic intervals they hold.
    PqRow row() const;

private:
    // A value absent from a basic interval (THD without a fundamental) leaves its mean alone.
    struct Sum {
        double sum = 0;
        int count = 0;
        void add(double v) {
            if (v == v) sum += v, ++count;
        }
        float mean() const { return count > 0 ? static_cast<float>(sum / count) : kNoValue; }
        float rootMean() const { return count > 0 ? static_cast<float>(std::sqrt(sum / count)) : kNoValue; }
    };

    int circuits_, cyclesPerWindow_;
    int count_ = 0;
    double firstStart_ = 0, lastEnd_ = 0, seconds_ = 0;
    std::vector<double> rmsSquares_, spectraSquares_;
    std::vector<Sum> thdSquares_;
    Sum unbalanceSquares_;
    std::vector<Sum> watts_, vars_, powerFactor_;
};

}  // namespace pqwave
