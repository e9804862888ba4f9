#include "Alignment.h"

#include <cstdlib>

namespace compare {

namespace {

// How far ahead the walk looks for a text it lost: inserts and removals of more subtitles in a
// row than this show as changed pairs instead.
constexpr int lookAhead = 8;

bool overlaps(const Entry& x, const Entry& y) {
    return x.inFrames < y.outFrames && y.inFrames < x.outFrames;
}

bool joins(const std::string& whole, const std::string& first, const std::string& second) {
    return !first.empty() && !second.empty() && whole.size() == first.size() + 1 + second.size() &&
           whole.compare(0, first.size(), first) == 0 && whole[first.size()] == ' ' &&
           whole.compare(first.size() + 1, std::string::npos, second) == 0;
}

// First K in 1..lookAhead with Key equal to that of List[From + K], nearer in time to At than
// List[From] is; 0 when there is none.
int findAhead(const std::vector<Entry>& list, int from, const Entry& at) {
    const std::int64_t here = std::llabs(list[from].inFrames - at.inFrames);
    const int size = static_cast<int>(list.size());
    for (int k = 1; k <= lookAhead && from + k < size; ++k) {
        const Entry& candidate = list[from + k];
        if (candidate.key == at.key && std::llabs(candidate.inFrames - at.inFrames) <= here)
            return k;
    }
    return 0;
}

}  // namespace

std::vector<Match> align(const std::vector<Entry>& a, const std::vector<Entry>& b) {
    std::vector<Match> out;
    out.reserve(std::max(a.size(), b.size()));
    const int n = static_cast<int>(a.size()), m = static_cast<int>(b.size());
    int i = 0, j = 0;
    while (i < n && j < m) {
        const Entry& x = a[i];
        const Entry& y = b[j];
        if (x.key == y.key) {
            out.push_back({Match::Kind::Pair, i++, j++});
            continue;
        }
        if (j + 1 < m && joins(x.key, y.key, b[j + 1].key) && overlaps(x, y) &&
            overlaps(x, b[j + 1])) {
            out.push_back({Match::Kind::Split, i++, j, -1, j + 1});
            j += 2;
            continue;
        }
        if (i + 1 < n && joins(y.key, x.key, a[i + 1].key) && overlaps(x, y) &&
            overlaps(a[i + 1], y)) {
            out.push_back({Match::Kind::Merged, i, j++, i + 1});
            i += 2;
            continue;
        }
        const int aheadInB = findAhead(b, j, x);  // B's subtitles before it were added
        const int aheadInA = findAhead(a, i, y);  // A's subtitles before it were removed
        if (aheadInB && (!aheadInA || aheadInB <= aheadInA)) {
            for (int k = 0; k < aheadInB; ++k) out.push_back({Match::Kind::Added, -1, j++});
            continue;
        }
        if (aheadInA) {
            for (int k = 0; k < aheadInA; ++k) out.push_back({Match::Kind::Removed, i++, -1});
            continue;
        }
        // No text found near: the same time makes them one subtitle with a changed text.
        if (overlaps(x, y) || x.inFrames == y.inFrames) {
            out.push_back({Match::Kind::Pair, i++, j++});
        } else if (x.inFrames < y.inFrames) {
            out.push_back({Match::Kind::Removed, i++, -1});
        } else {
            out.push_back({Match::Kind::Added, -1, j++});
        }
    }
    while (i < n) out.push_back({Match::Kind::Removed, i++, -1});
    while (j < m) out.push_back({Match::Kind::Added, -1, j++});
    return out;
}

}  // namespace compare
