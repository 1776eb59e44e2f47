// An analysis step that cannot be computed (a division by zero, a value beyond its type, a
// column the recording lacks) leaves its target at its previous value and the analysis goes
// on; the guard counts such steps so the run can say so at its end.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace pqwave {

class StepGuard {
public:
    // Stores `value` into `target` when it is finite and fits; otherwise counts a failure.
    template <typename T>
    bool assign(T& target, double value) {
        if (!fits<T>(value)) {
            ++failures_;
            return false;
        }
        if constexpr (std::is_integral_v<T>)
            target = static_cast<T>(std::nearbyint(value));
        else
            target = static_cast<T>(value);
        return true;
    }
    void fail(std::int64_t steps = 1) { failures_ += steps; }
    std::int64_t failures() const { return failures_; }

private:
    template <typename T>
    static bool fits(double value) {
        if (!std::isfinite(value)) return false;
        if constexpr (std::is_floating_point_v<T>) {
            return std::isfinite(static_cast<T>(value));
        } else {
            double r = std::nearbyint(value);
            return r >= static_cast<double>(std::numeric_limits<T>::min()) &&
                   r <= static_cast<double>(std::numeric_limits<T>::max());
        }
    }

    std::int64_t failures_ = 0;
};

}  // namespace pqwave
