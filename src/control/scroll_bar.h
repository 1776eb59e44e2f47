// A horizontal scroll bar as a display model keeps it. Setting the value as a user or the
// play loop does fires the change rule when the value differs, as the window's bar would;
// a value outside 0..max is brought inside, as a bar cannot show it.
#pragma once

#include <algorithm>
#include <functional>
#include <string>

namespace pqwave {

struct ScrollBar {
    std::string name;
    int value = 0;
    int max = 32767;
    int largeChange = 1;  // what a click beside the thumb moves
    bool enabled = true;
    std::function<void()> onChange;
};

inline void setScrollValue(ScrollBar& bar, int value) {
    value = std::clamp(value, 0, std::max(bar.max, 0));
    if (bar.value == value) return;
    bar.value = value;
    if (bar.onChange) bar.onChange();
}

// A new maximum moves a value beyond it back inside, with the change rule.
inline void setScrollMax(ScrollBar& bar, int max) {
    bar.max = max;
    if (bar.value > std::max(max, 0)) setScrollValue(bar, max);
}

// The play button: the bar steps from its value to its maximum (each step redraws through its
// change rule), yielding after each step so the stop button can be pressed, until `stopped`.
inline void playThrough(ScrollBar& bar, const std::function<void()>& yield, const std::function<bool()>& stopped) {
    for (long long v = bar.value; v <= bar.max; ++v) {
        setScrollValue(bar, static_cast<int>(v));
        yield();
        if (stopped()) break;
    }
}

}  // namespace pqwave
