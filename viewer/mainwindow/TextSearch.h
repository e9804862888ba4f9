#pragma once
// Finding subtitles by their text as read: over the joined plain texts of SubtitleFacts, or the
// folded ones when case and accents do not count.

#include <string_view>
#include <vector>

class SubtitleFacts;

// The subtitles (indices, in file order) whose text holds Needle; none for an empty needle.
std::vector<int> subtitlesContaining(const SubtitleFacts& facts, std::u16string_view needle,
                                     bool ignoreCaseAndAccents);

// The step from the match at view row Current (or the row before the first when -1) through the
// view rows of the matches (ascending): the match index taken and whether it went round the end.
struct FindStep {
    int match = -1;
    bool wrapped = false;
};
// Direction: 0 the first match at or after Current, 1 the next after it, -1 the one before it.
FindStep stepThrough(const std::vector<int>& matchRows, int current, int direction);
