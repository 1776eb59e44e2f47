// Scaling of raw codes into transform input, and the checks the spectrum runs share.
#include "spectrum/transform_input.h"

#include <cmath>

#include "common/error.h"
#include "common/textforms.h"

namespace pqwave {

CodeScaling::CodeScaling(float scale, double countsPerDivision, double points) : values_(65536) {
    for (int code = -32768; code <= 32767; ++code) {
        const float scaled = static_cast<float>(code) * scale;
        values_[static_cast<std::uint16_t>(code)] = static_cast<float>(scaled / countsPerDivision / points);
    }
}

void requireCountsPerDivision(const std::string& fileName, double countsPerDivision) {
    if (countsPerDivision == 0 || !std::isfinite(countsPerDivision))
        throw ArithmeticError(fileName + ": the count per division (V_Div) is 0, so the values cannot be scaled");
}

void requireRows(const std::string& fileName, const RawSampleTable& table, double rows) {
    if (static_cast<double>(table.rows()) < rows)
        throw Error(ErrorKind::Malformed, fileName + ": the transform needs " + formD(rows) + " samples, but " +
                                              formI(static_cast<long long>(table.rows())) + " are loaded");
}

}  // namespace pqwave
