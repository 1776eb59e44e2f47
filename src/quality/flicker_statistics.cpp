#include "quality/flicker_statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pqwave {
namespace {

constexpr double kLowestLog = -4;
constexpr double kHighestLog = 4;
constexpr int kClassesPerDecade = 256;
constexpr int kClasses = static_cast<int>((kHighestLog - kLowestLog) * kClassesPerDecade);

double classBound(int index) {
    return std::pow(10.0, kLowestLog + static_cast<double>(index) / kClassesPerDecade);
}

int classOf(double pinst) {
    if (!(pinst > 0)) return 0;
    const double position = (std::log10(pinst) - kLowestLog) * kClassesPerDecade;
    return static_cast<int>(std::clamp(std::floor(position), 0.0, kClasses - 1.0));
}

}  // namespace

PinstClassifier::PinstClassifier() : classes_(kClasses, 0) {}

void PinstClassifier::add(double pinst) {
    ++classes_[classOf(pinst)];
    ++count_;
}

void PinstClassifier::clear() {
    std::fill(classes_.begin(), classes_.end(), 0);
    count_ = 0;
}

double PinstClassifier::exceededFor(double percent) const {
    if (count_ == 0) return std::numeric_limits<double>::quiet_NaN();
    const double wanted = percent / 100 * static_cast<double>(count_);
    double above = 0;
    for (int c = kClasses - 1; c >= 0; --c) {
        const auto inClass = static_cast<double>(classes_[c]);
        if (inClass > 0 && above + inClass >= wanted) {
            const double lower = c == 0 ? 0 : classBound(c), upper = classBound(c + 1);
            return upper - (wanted - above) / inClass * (upper - lower);
        }
        above += inClass;
    }
    return 0;
}

FlickerPercentiles smoothedPercentiles(const PinstClassifier& classifier) {
    auto p = [&](double percent) { return classifier.exceededFor(percent); };
    FlickerPercentiles result;
    result.p0_1 = p(0.1);
    result.p1s = (p(0.7) + p(1) + p(1.5)) / 3;
    result.p3s = (p(2.2) + p(3) + p(4)) / 3;
    result.p10s = (p(6) + p(8) + p(10) + p(13) + p(17)) / 5;
    result.p50s = (p(30) + p(50) + p(80)) / 3;
    return result;
}

double shortTermSeverity(const FlickerPercentiles& p) {
    return std::sqrt(0.0314 * p.p0_1 + 0.0525 * p.p1s + 0.0657 * p.p3s + 0.28 * p.p10s + 0.08 * p.p50s);
}

double longTermSeverity(std::span<const double> pst) {
    double cubes = 0;
    int count = 0;
    for (double value : pst) {
        if (std::isnan(value)) continue;
        cubes += value * value * value;
        ++count;
    }
    return count == 0 ? std::numeric_limits<double>::quiet_NaN() : std::cbrt(cubes / count);
}

}  // namespace pqwave
