#include "power/output_interval.h"

#include <cmath>
#include <string>

#include "common/error.h"
#include "common/numbers.h"
#include "common/textforms.h"

namespace pqwave {

void requireSamplesInInterval(const PowerSettings& s) {
    const double n = s.samplesPerInterval;
    if (!(n > 0) || !std::isfinite(n))
        throw ArithmeticError(s.fileName + ": the output interval holds " + s.samplesPerIntervalText +
                              " samples (1出力ｻﾝﾌﾟﾙ数); set the output interval and time axis so that it holds some");
    // A row takes rnd(N) samples or so; an N that rounds to none leaves rows without samples.
    if (roundHalfEven(n) >= 1) return;
    std::string problem = s.fileName + ": an output interval of " + formD(s.intervalMs) + " ms holds " +
                          s.samplesPerIntervalText + " samples, less than one";
    // The time axis gives the sample period exactly; N is shown rounded to thousandths.
    double samplePeriodMs = s.timePerDivision / s.samplesPerDivision / s.timeUnitFactor * 1000;
    if (!(samplePeriodMs > 0) || !std::isfinite(samplePeriodMs)) samplePeriodMs = s.intervalMs / n;
    if (samplePeriodMs > 0 && std::isfinite(samplePeriodMs))
        problem += "; 出力間隔 of " + formS(static_cast<float>(samplePeriodMs)) + " ms or more would work";
    throw ArithmeticError(problem);
}

}  // namespace pqwave
