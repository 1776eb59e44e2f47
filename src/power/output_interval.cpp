#include "power/output_interval.h"

#include <cmath>
#include <string>

#include "common/error.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/textforms.h"

namespace pqwave {

void requireSamplesInInterval(const PowerSettings& s) {
    const double n = s.samplesPerInterval;
    if (!(n > 0) || !std::isfinite(n))
        throw ArithmeticError(
            tr("{0}: the output interval holds {1} samples (1出力ｻﾝﾌﾟﾙ数); set the output interval "
               "and time axis so that it holds some",
               {s.fileName, s.samplesPerIntervalText}));
    // A row takes rnd(N) samples or so; an N that rounds to none leaves rows without samples.
    if (roundHalfEven(n) >= 1) return;
    std::string problem = tr("{0}: an output interval of {1} ms holds {2} samples, less than one",
                             {s.fileName, formD(s.intervalMs), s.samplesPerIntervalText});
    // The time axis gives the sample period exactly; N is shown rounded to thousandths.
    double samplePeriodMs = s.timePerDivision / s.samplesPerDivision / s.timeUnitFactor * 1000;
    if (!(samplePeriodMs > 0) || !std::isfinite(samplePeriodMs)) samplePeriodMs = s.intervalMs / n;
    if (samplePeriodMs > 0 && std::isfinite(samplePeriodMs))
        problem =
            tr("{0}; 出力間隔 of {1} ms or more would work", {problem, formS(static_cast<float>(samplePeriodMs))});
    throw ArithmeticError(problem);
}

}  // namespace pqwave
