// One row of the RMS and power result file. Every numeric field remembers what it showed
// last: when its step cannot be computed the field repeats that value (and the guard counts
// the failure), so a bad interval never writes "inf" or "nan" into a spreadsheet.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/textforms.h"
#include "power/step_guard.h"

namespace pqwave {

class ResultRow {
public:
    explicit ResultRow(StepGuard& guard) : guard_(guard) {}

    // Starts a row with the interval's time in seconds (D form) and V (print form of a single).
    float start(double seconds, double volts) {
        used_ = 0;
        field_ = 0;
        append(appendD, seconds, false);
        float v = static_cast<float>(hold(volts, true));
        append(appendPSingle, v, true);
        return v;
    }
    // "," and a double (D form); returns the value written.
    double d(double value) {
        double v = hold(value, false);
        append(appendD, v, true);
        return v;
    }
    // "," and a single (S form); returns the value written.
    float s(double value) {
        float v = static_cast<float>(hold(value, true));
        append(appendS, v, true);
        return v;
    }
    void i(long long value) { append(appendI, value, true); }
    std::string_view text() const { return {buffer_.data(), used_}; }

private:
    double hold(double value, bool single) {
        if (field_ == held_.size()) held_.push_back(0);
        double& held = held_[field_++];
        guard_.assign(held, single ? static_cast<double>(static_cast<float>(value)) : value);
        return held;
    }
    template <typename F, typename T>
    void append(F format, T value, bool comma) {
        if (buffer_.size() - used_ < kMaxNumberText + 2) buffer_.resize(buffer_.size() * 2 + 256);
        char* out = buffer_.data() + used_;
        if (comma) *out++ = ',';
        used_ = static_cast<std::size_t>(format(out, value) - buffer_.data());
    }

    StepGuard& guard_;
    std::vector<char> buffer_ = std::vector<char>(4096);
    std::size_t used_ = 0;
    std::vector<double> held_;
    std::size_t field_ = 0;
};

}  // namespace pqwave
