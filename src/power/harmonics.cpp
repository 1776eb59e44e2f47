#include "power/harmonics.h"

#include <cmath>

#include "common/numbers.h"

namespace pqwave {

void fillReferenceTable(std::vector<std::vector<double>>& sine, std::vector<std::vector<double>>& cosine, int row,
                        int harmonic, double supplyFrequency, double samplingFrequency, int lastPosition) {
    // With no sampling frequency the tables stay 0, and so do the harmonic columns.
    if (samplingFrequency == 0) return;
    for (int k = 0; k <= lastPosition && k < static_cast<int>(sine[row].size()); ++k) {
        double w = 2 * kReferencePi * supplyFrequency / samplingFrequency * k;
        if (harmonic != 1) w *= harmonic;
        sine[row][k] = std::sin(w);
        cosine[row][k] = std::cos(w);
    }
}

float threePhaseRms(const Correlation& c, double samplesPerInterval) {
    double sum = 0;
    for (int i = 0; i < 3; ++i) {
        double s = c.sine[i] / samplesPerInterval, q = c.cosine[i] / samplesPerInterval;
        sum += std::sqrt(s * s + q * q);
    }
    return static_cast<float>(sum * std::sqrt(2.0) / 3);
}

std::int16_t fifthHarmonicPhase(const Correlation& v, const Correlation& i) {
    // Products of the same pairs (V1 with a, V2 with b): sine-with-sine plus and minus
    // cosine-with-cosine, in single precision.
    float re = v.sine[0] * i.sine[0] + v.cosine[0] * i.cosine[0] + v.sine[1] * i.sine[1] + v.cosine[1] * i.cosine[1];
    float im = v.sine[0] * i.sine[0] - v.cosine[0] * i.cosine[0] + v.sine[1] * i.sine[1] - v.cosine[1] * i.cosine[1];
    double theta = std::atan(im / (re + 1E-20));
    if (re < 0) theta += kReferencePi;
    double degrees = theta * 180 / kReferencePi + 540;
    return static_cast<std::int16_t>(static_cast<int>(roundHalfEven(degrees)) % 360 - 180);
}

}  // namespace pqwave
