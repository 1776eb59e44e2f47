#include "power/frequency.h"

#include <cmath>

namespace pqwave {

bool FrequencyMeter::addSample(long long j, std::int16_t ch1, std::int16_t ch2, std::int16_t nextCh1,
                               std::int16_t nextCh2) {
    look(0, j, ch1, nextCh1);
    look(2, j, ch2, nextCh2);
    int d0 = ch1 - ch2, d1 = nextCh1 - nextCh2;
    if (d0 < -32768 || d0 > 32767 || d1 < -32768 || d1 > 32767) return false;
    look(4, j, d0, d1);
    return true;
}

std::optional<float> FrequencyMeter::endInterval(double samplesPerInterval) {
    std::array<float, 6> candidates{};
    int count = 0;
    float sum = 0;
    for (auto& row : crossing_) {
        if (row[0] > 0 || row[1] > 0) {
            float f = static_cast<float>(samplesPerInterval / (row[1] - row[0]) * 50);
            candidates[count] = f;
            // An estimate outside the band is overwritten by the next one.
            if (!(f >= 65 || f <= 45)) {
                sum += f;
                ++count;
            }
        }
        row[0] = 0;  // the latest crossing stays, to measure the next interval against
    }
    while (count > 0) {
        float mean = sum / count;
        float maxDeviation = 0;
        int worst = 0;
        for (int i = 0; i < count; ++i) {
            float deviation = std::fabs(candidates[i] - mean);
            if (deviation > maxDeviation) {
                maxDeviation = deviation;
                worst = i;
            }
        }
        if (maxDeviation < 1) return mean;
        if (count < 3) return std::nullopt;
        sum = mean * count - candidates[worst];
        candidates[worst] = candidates[count - 1];
        --count;
    }
    return std::nullopt;
}

}  // namespace pqwave
