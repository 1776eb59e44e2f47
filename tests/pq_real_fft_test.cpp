// The power-quality analysis' real transform against a direct DFT in long double, every bin
// of every size from 4 to 1024, on a series with a bit of everything in it.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "quality/real_fft.h"

namespace pqwave {
namespace {

TEST(RealFft, EqualsTheDirectTransformAtEverySize) {
    for (std::size_t n = 4; n <= 1024; n *= 2) {
        std::vector<double> x(n);
        for (std::size_t k = 0; k < n; ++k) x[k] = std::sin(0.3 * k * k + 1) + 0.25 * ((k * 7919) % 13) - 1;
        RealFft fft(n);
        std::vector<double> re(n / 2 + 1), im(n / 2 + 1);
        fft.transform(x.data(), n / 2, re.data(), im.data());
        double worst = 0;
        for (std::size_t k = 0; k <= n / 2; ++k) {
            long double sr = 0, si = 0;
            for (std::size_t m = 0; m < n; ++m) {
                const long double angle = -2 * std::numbers::pi_v<long double> * ((k * m) % n) / n;
                sr += x[m] * std::cos(angle);
                si += x[m] * std::sin(angle);
            }
            worst =
                std::max({worst, static_cast<double>(std::abs(re[k] - sr)), static_cast<double>(std::abs(im[k] - si))});
        }
        EXPECT_LT(worst, 1e-11 * static_cast<double>(n)) << n;
    }
    EXPECT_THROW(RealFft(12), std::invalid_argument);
}

}  // namespace
}  // namespace pqwave
