// Scaling of raw codes into transform input, and the checks the spectrum runs share.
#include "spectrum/transform_input.h"

#include <algorithm>
#include <cmath>

#include "common/error.h"
#include "common/messages.h"
#include "common/textforms.h"

namespace pqwave {

std::vector<std::int16_t> columnCodes(const RawSampleTable& table, std::size_t column, std::size_t count) {
    std::vector<std::int16_t> codes(count, 0);
    if (column >= table.columns()) return codes;
    const std::size_t rows = std::min(count, table.rows());
    for (std::size_t j = 0; j < rows; ++j) codes[j] = table(j, column);
    return codes;
}

std::vector<float> scaledCodes(const std::vector<std::int16_t>& codes, float scale, double countsPerDivision,
                               double points) {
    const std::size_t count = codes.size();
    std::vector<float> x(count);
    // Dividing by a power of two is exact, so then the division by the points may be a
    // product (the transform sizes are all powers of two); anything else divides as written.
    int binaryExponent = 0;
    if (std::frexp(points, &binaryExponent) == 0.5) {
        const double inversePoints = 1 / points;
        for (std::size_t j = 0; j < count; ++j)
            x[j] = static_cast<float>(static_cast<float>(codes[j]) * scale / countsPerDivision * inversePoints);
    } else {
        for (std::size_t j = 0; j < count; ++j)
            x[j] = static_cast<float>(static_cast<float>(codes[j]) * scale / countsPerDivision / points);
    }
    return x;
}

void loadBitReversed(const FftTables& tables, const float* x, FftArrays& a) {
    const std::int32_t* reversed = tables.BitRevIndex.data();
    float* re = a.FFTRe.data();
    for (std::size_t m = 0; m < tables.N; ++m) re[m] = x[reversed[m]];
    std::fill(a.FFTIm.begin(), a.FFTIm.begin() + static_cast<std::ptrdiff_t>(tables.N), 0.0f);
}

void requireCountsPerDivision(const std::string& fileName, double countsPerDivision) {
    if (countsPerDivision == 0 || !std::isfinite(countsPerDivision))
        throw ArithmeticError(
            tr("{0}: the count per division (V_Div) is 0, so the values cannot be scaled", {fileName}));
}

void requireRows(const std::string& fileName, const RawSampleTable& table, double rows) {
    if (static_cast<double>(table.rows()) < rows)
        throw Error(ErrorKind::Malformed, tr("{0}: the transform needs {1} samples, but {2} are loaded",
                                             {fileName, formD(rows), formI(static_cast<long long>(table.rows()))}));
}

}  // namespace pqwave
