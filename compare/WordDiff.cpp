#include "WordDiff.h"

namespace compare {

std::vector<WordChange> wordDiff(const std::vector<std::string>& a,
                                 const std::vector<std::string>& b) {
    constexpr std::size_t limit = 400;
    std::vector<WordChange> out;
    if (a.size() > limit || b.size() > limit) {
        for (const std::string& w : a) out.push_back({WordChange::Kind::Removed, w});
        for (const std::string& w : b) out.push_back({WordChange::Kind::Added, w});
        return out;
    }
    const std::size_t n = a.size(), m = b.size();
    // Lengths of the common runs of the suffixes, so the walk below goes front to back.
    std::vector<unsigned> table((n + 1) * (m + 1), 0);
    auto at = [&](std::size_t i, std::size_t j) -> unsigned& { return table[i * (m + 1) + j]; };
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            at(i, j) = a[i] == b[j] ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
    std::size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && a[i] == b[j]) {
            out.push_back({WordChange::Kind::Same, a[i]});
            ++i, ++j;
        } else if (j < m && (i == n || at(i, j + 1) >= at(i + 1, j))) {
            out.push_back({WordChange::Kind::Added, b[j++]});
        } else {
            out.push_back({WordChange::Kind::Removed, a[i++]});
        }
    }
    return out;
}

}  // namespace compare
