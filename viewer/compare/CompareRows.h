#pragma once
// The rows of the comparison window: both files' subtitles in the order the engine aligns them,
// each row with the differences found for it. Unchanged pairs are rows too, so the whole of both
// files can be read side by side.

#include <vector>

#include "compare/Comparison.h"

namespace comparewindow {

struct CompareRow {
    int a = -1;  // entry of A shown in this row, -1 for none
    int b = -1;
    // The differences that concern this row's subtitles (indexes into Comparison::differences);
    // empty for an unchanged pair.
    std::vector<int> differences;
    // The second row of a split or merge: part of the difference the row before starts.
    bool continuation = false;
};

std::vector<CompareRow> compareRows(const compare::Comparison& comparison);

// The row a next (or previous) difference command goes to from Current, wrapping around; -1 when
// no row starts a difference. Current may be -1 (nothing selected).
int nextDifferenceRow(const std::vector<CompareRow>& rows, int current, bool backwards);

}  // namespace comparewindow
