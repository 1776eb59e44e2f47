#include "app/nearest_names.h"

#include <algorithm>
#include <cctype>

#include "common/messages.h"

namespace pqwave {
namespace {

char folded(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Optimal string alignment distance: insertions, deletions, substitutions and swaps of two
// neighbouring letters, each one edit.
std::size_t editDistance(std::string_view a, std::string_view b) {
    const std::size_t n = a.size(), m = b.size();
    std::vector<std::vector<std::size_t>> d(n + 1, std::vector<std::size_t>(m + 1));
    for (std::size_t i = 0; i <= n; ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= m; ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= n; ++i)
        for (std::size_t j = 1; j <= m; ++j) {
            const std::size_t cost = folded(a[i - 1]) == folded(b[j - 1]) ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && folded(a[i - 1]) == folded(b[j - 2]) && folded(a[i - 2]) == folded(b[j - 1]))
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[n][m];
}

}  // namespace

std::vector<std::string> nearestNames(std::string_view word, const std::vector<std::string>& candidates) {
    // A third of the word may be wrong, at least one letter, never all of it.
    const std::size_t allowed = std::max<std::size_t>(1, word.size() / 3);
    std::vector<std::pair<std::size_t, std::string>> near;
    for (const std::string& candidate : candidates) {
        const std::size_t distance = editDistance(word, candidate);
        if (distance <= allowed && distance < word.size() && candidate != word) near.emplace_back(distance, candidate);
    }
    std::stable_sort(near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (const auto& [distance, name] : near)
        if (names.size() < 3 && distance == near.front().first) names.push_back(name);
    return names;
}

std::string didYouMean(std::string_view word, const std::vector<std::string>& candidates) {
    const std::vector<std::string> names = nearestNames(word, candidates);
    if (names.empty()) return {};
    std::string list = names[0];
    for (std::size_t k = 1; k < names.size(); ++k)
        list = k + 1 == names.size() ? tr("{0} or {1}", {list, names[k]}) : tr("{0}, {1}", {list, names[k]});
    return tr("; did you mean {0}?", {list});
}

}  // namespace pqwave
