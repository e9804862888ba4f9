#pragma once
// Which subtitles of one version answer to which of the other, by time and text rather than by
// subtitle number: a single walk over both time-ordered lists that looks a few subtitles ahead,
// so the work grows with the length of the files, not with its square.

#include <vector>

#include "SubtitleSide.h"

namespace compare {

struct Match {
    enum class Kind { Pair, Removed, Added, Split, Merged };
    Kind kind;
    int a = -1;        // entry of A (Pair, Removed, Split, Merged)
    int b = -1;        // entry of B (Pair, Added, Split, Merged)
    int secondA = -1;  // Merged: the next entry of A, which B's one also covers
    int secondB = -1;  // Split: the next entry of B, which carries on A's text
};

// A and B in time order, B's times with any offset already taken out.
std::vector<Match> align(const std::vector<Entry>& a, const std::vector<Entry>& b);

}  // namespace compare
