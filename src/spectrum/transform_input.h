// The input side of the spectrum runs: raw codes turned into transform input, and the checks
// every run makes of its recording before it writes anything. A column the recording lacks
// reads as 0, as in the interval analysis.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "input/sample_table.h"

namespace pqwave {

// code x scale, rounded to single, then / V_Div / N in double, stored as single. A column holds
// at most 65 536 distinct codes, so each value is worked out once per run and looked up after.
class CodeScaling {
public:
    CodeScaling(float scale, double countsPerDivision, double points);
    float operator()(std::int16_t code) const { return values_[static_cast<std::uint16_t>(code)]; }

private:
    std::vector<float> values_;
};

// The code of (row, column), 0 for a column beyond the table.
inline std::int16_t codeAt(const RawSampleTable& table, std::size_t row, std::size_t column) {
    return column < table.columns() ? table(row, column) : std::int16_t{0};
}

// Each throws an Error naming `fileName` when the run cannot go on.
void requireCountsPerDivision(const std::string& fileName, double countsPerDivision);
void requireRows(const std::string& fileName, const RawSampleTable& table, double rows);

}  // namespace pqwave
