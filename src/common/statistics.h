// The per-file statistics the analyses keep for the all-files run: slot 0 the sum (or
// average), 1 the maximum, 2 the minimum. The first value sets all three; afterwards the
// maximum is replaced unless it already holds at least the value.
#pragma once

#include <array>

namespace pqwave {

inline void foldStatistic(std::array<float, 3>& slots, float value, bool first) {
    if (first) {
        slots = {value, value, value};
        return;
    }
    slots[0] += value;
    if (!(slots[1] >= value)) slots[1] = value;
    if (slots[2] > value) slots[2] = value;
}

}  // namespace pqwave
