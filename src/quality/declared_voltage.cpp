#include "quality/declared_voltage.h"

#include <array>
#include <cmath>

namespace pqwave {

std::span<const double> standardNominalVolts() {
    static constexpr std::array<double, 12> kVolts = {100,   200,   400,   3300,  6600,   11000,
                                                      22000, 33000, 66000, 77000, 110000, 154000};
    return kVolts;
}

double nearestStandardVolts(double volts) {
    double best = standardNominalVolts().front();
    for (double v : standardNominalVolts())
        if (std::abs(v - volts) < std::abs(best - volts)) best = v;
    return best;
}

}  // namespace pqwave
