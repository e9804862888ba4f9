#pragma once
// Which words of one text are kept, removed or added in another.

#include <string>
#include <vector>

namespace compare {

struct WordChange {
    enum class Kind { Same, Removed, Added };
    Kind kind;
    std::string word;
};

// The longest common run of words is kept; texts longer than a few hundred words are not
// searched for it (a subtitle never has that many) and count as replaced whole.
std::vector<WordChange> wordDiff(const std::vector<std::string>& a,
                                 const std::vector<std::string>& b);

}  // namespace compare
