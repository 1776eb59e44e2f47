// The sample counter of the raw-data output: single precision, as the range and step are,
// so every output that follows the raw-data rows (the CSV, the COMTRADE export) picks the
// same samples. The sample index of a value is that value rounded half to even.
#pragma once

namespace pqwave {

// Where a step no longer moves the single-precision value on (beyond 2^24 samples) it
// carries on in double precision rather than stalling.
class SampleCounter {
public:
    SampleCounter(double start, float step) : value_(static_cast<float>(start)), step_(step) {}
    double value() const { return value_; }
    void advance() {
        if (single_) {
            float next = static_cast<float>(value_) + step_;
            if (next != static_cast<float>(value_)) {
                value_ = next;
                return;
            }
            single_ = false;
        }
        value_ += step_;
    }

private:
    double value_;
    float step_;
    bool single_ = true;
};

}  // namespace pqwave
