// Supply frequency per output interval from the zero crossings of ch1, ch2 and their
// difference (six estimates per interval), with a 45-65 Hz plausibility band and rejection
// of outlying estimates. It relies on 20 ms intervals: N samples then span one 50 Hz period.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace pqwave {

class FrequencyMeter {
public:
    // Sample j and the one after it (raw codes, columns 0 and 1). Returns false when the
    // difference of the two channels leaves the 16-bit range, so that pair is not looked at.
    bool addSample(long long j, std::int16_t ch1, std::int16_t ch2, std::int16_t nextCh1, std::int16_t nextCh2);

    // The interval's frequency in Hz, or nothing when the estimates do not agree.
    std::optional<float> endInterval(double samplesPerInterval);

private:
    void rising(int row, long long j, int s0, int s1) {
        crossing_[row][0] = crossing_[row][1];
        crossing_[row][1] = static_cast<float>(j - static_cast<double>(s0) / (s1 - s0));
    }
    void falling(int row, long long j, int s0, int s1) {
        crossing_[row][0] = crossing_[row][1];
        crossing_[row][1] = static_cast<float>(j + static_cast<double>(s0) / (s0 - s1));
    }
    void look(int row, long long j, int s0, int s1) {
        if (s0 <= 0 && s1 >= 1)
            rising(row, j, s0, s1);
        else if (s0 >= 0 && s1 < 0)
            falling(row + 1, j, s0, s1);
    }

    // Rows: rising and falling of ch1, of ch2, of ch1 - ch2. Slot 1 the latest crossing.
    std::array<std::array<float, 2>, 6> crossing_{};
};

}  // namespace pqwave
