// The declared supply voltage Udin when none is given: the standard nominal voltage (Japanese
// low- and high-voltage distribution and transmission) nearest the measured mean line voltage.
#pragma once

#include <span>

namespace pqwave {

std::span<const double> standardNominalVolts();  // 100, 200, 400, 3300, ..., 154000 V
double nearestStandardVolts(double volts);

}  // namespace pqwave
