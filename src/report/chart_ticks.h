// Tick marks a reader can take values from: 1-2-5 steps on linear axes, 1-2-5 within each
// decade on log axes, and whole clock steps (minutes to weeks) on time axes, each labelled.
#pragma once

#include <string>
#include <vector>

#include "report/chart.h"

namespace pqwave {

// The axis' own ticks, or ticks chosen for its range and scale.
std::vector<Tick> ticksOf(const Axis& axis);

// Widens [min, max] to whole steps of the ticks it will get, so the extremes are not on the
// frame; an empty or one-point range gets a margin around its value.
void roundOutward(Axis& axis);

// The step of the linear ticks of this range.
double linearTickStep(double min, double max);

// Decimal text with `decimals` places, "-" and "." as in C.
std::string fixedText(double value, int decimals);
// Up to `significant` digits, no trailing zeros: 6600, 49.98, 0.35.
std::string shortNumberText(double value, int significant = 4);

}  // namespace pqwave
