// The input side of the spectrum runs: raw codes turned into transform input, and the checks
// every run makes of its recording before it writes anything. A column the recording lacks
// reads as 0, as in the interval analysis.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "input/sample_table.h"
#include "spectrum/fft.h"

namespace pqwave {

// The code of (row, column), 0 for a column beyond the table.
inline std::int16_t codeAt(const RawSampleTable& table, std::size_t row, std::size_t column) {
    return column < table.columns() ? table(row, column) : std::int16_t{0};
}

// Samples 0 .. count-1 of a column side by side (0 beyond the table), and as transform input:
// code x scale, rounded to single, then / V_Div / points in double, stored as single. Taken
// once per run, so that each window reads its points from one short stretch instead of across
// the rows of every column.
std::vector<std::int16_t> columnCodes(const RawSampleTable& table, std::size_t column, std::size_t count);
std::vector<float> scaledCodes(const std::vector<std::int16_t>& codes, float scale, double countsPerDivision,
                               double points);

// Loads x[0 .. N-1] in bit-reversed order with a zero imaginary part, as the transform takes it.
void loadBitReversed(const FftTables& tables, const float* x, FftArrays& a);

// Each throws an Error naming `fileName` when the run cannot go on.
void requireCountsPerDivision(const std::string& fileName, double countsPerDivision);
void requireRows(const std::string& fileName, const RawSampleTable& table, double rows);

}  // namespace pqwave
