#include "report/chart_ticks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/datetime.h"

namespace pqwave {
namespace {

constexpr int kTargetTicks = 6;

int decimalsOf(double step) {
    return step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
}

std::vector<Tick> linearTicks(double min, double max) {
    const double step = linearTickStep(min, max);
    const int decimals = decimalsOf(step);
    std::vector<Tick> ticks;
    for (double k = std::ceil(min / step - 1e-9); k * step <= max + step * 1e-9; ++k) {
        const double v = k * step;
        ticks.push_back({v, fixedText(std::abs(v) < step * 1e-9 ? 0 : v, decimals)});
    }
    return ticks;
}

std::vector<Tick> logTicks(double min, double max) {
    std::vector<Tick> ticks;
    if (!(min > 0) || !(max > min)) return ticks;
    for (double decade = std::pow(10, std::floor(std::log10(min))); decade <= max; decade *= 10)
        for (double m : {1.0, 2.0, 5.0}) {
            const double v = decade * m;
            if (v >= min * (1 - 1e-9) && v <= max * (1 + 1e-9)) ticks.push_back({v, shortNumberText(v)});
        }
    return ticks;
}

std::string twoDigits(int n) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", n);
    return b;
}

// Clock steps in seconds, and whether their labels need the date.
std::vector<Tick> clockTicks(double min, double max) {
    static const double steps[] = {60,   120,   300,   600,   900,   1800,   3600,
                                   7200, 10800, 21600, 43200, 86400, 172800, 604800};
    const double span = max - min;
    double step = steps[std::size(steps) - 1];
    for (double s : steps)
        if (span / s <= kTargetTicks + 1) {
            step = s;
            break;
        }
    std::vector<Tick> ticks;
    int lastDay = -1;
    for (double t = std::ceil(min / step - 1e-9) * step; t <= max + 1e-6; t += step) {
        const CivilDateTime c = toCivil(secondsToDays(t));
        const int day = c.year * 400 + c.month * 32 + c.day;
        const std::string time = std::to_string(c.hour) + ":" + twoDigits(c.minute);
        const std::string date = std::to_string(c.month) + "/" + std::to_string(c.day);
        std::string label = step >= 86400 ? date : day != lastDay ? date + " " + time : time;
        lastDay = day;
        ticks.push_back({t, label});
    }
    return ticks;
}

}  // namespace

double linearTickStep(double min, double max) {
    const double span = max > min ? max - min : std::max(std::abs(max), 1.0);
    const double raw = span / kTargetTicks;
    const double power = std::pow(10, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw * (1 - 1e-9)) return m * power;
    return 10 * power;
}

std::vector<Tick> ticksOf(const Axis& axis) {
    if (!axis.ticks.empty()) return axis.ticks;
    switch (axis.scale) {
        case AxisScale::Log:
            return logTicks(axis.min, axis.max);
        case AxisScale::Clock:
            return clockTicks(axis.min, axis.max);
        default:
            return linearTicks(axis.min, axis.max);
    }
}

void roundOutward(Axis& axis) {
    if (!std::isfinite(axis.min) || !std::isfinite(axis.max)) {
        axis.min = 0;
        axis.max = 1;
    }
    if (axis.max <= axis.min) {
        const double margin = std::max(std::abs(axis.min) * 0.01, 1e-6);
        axis.min -= margin;
        axis.max += margin;
    }
    if (axis.scale != AxisScale::Linear) return;
    const double step = linearTickStep(axis.min, axis.max);
    axis.min = std::floor(axis.min / step + 1e-9) * step;
    axis.max = std::ceil(axis.max / step - 1e-9) * step;
}

std::string fixedText(double value, int decimals) {
    char b[48];
    std::snprintf(b, sizeof b, "%.*f", std::clamp(decimals, 0, 9), value);
    return b;
}

std::string shortNumberText(double value, int significant) {
    if (!std::isfinite(value)) return "";
    char b[48];
    std::snprintf(b, sizeof b, "%.*g", significant, value);
    std::string text = b;
    if (text.find('e') != std::string::npos) {  // large values in full, small ones as decimals
        std::snprintf(b, sizeof b, "%.*f", std::abs(value) >= 1 ? 0 : significant + 2, value);
        text = b;
        if (text.find('.') != std::string::npos) {
            text.erase(text.find_last_not_of('0') + 1);
            if (text.back() == '.') text.pop_back();
        }
    }
    return text;
}

}  // namespace pqwave
