// "Did you mean …": the names a misspelt command, option, control or choice was most likely
// meant to be, by edit distance (two letters swapped count as one edit, letter case as none).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pqwave {

// Up to three candidates nearest to `word`, when they are near enough to be a misspelling of
// it; nearest first, then in the candidates' order.
std::vector<std::string> nearestNames(std::string_view word, const std::vector<std::string>& candidates);

// "; did you mean --processing?" or "; did you mean Check4 or Check5?", or nothing.
std::string didYouMean(std::string_view word, const std::vector<std::string>& candidates);

}  // namespace pqwave
