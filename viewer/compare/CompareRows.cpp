#include "CompareRows.h"

#include <map>
#include <utility>

#include "compare/Alignment.h"

namespace comparewindow {

namespace {

using Kind = compare::Difference::Kind;

bool startsDifference(const CompareRow& row) {
    return !row.differences.empty() && !row.continuation;
}

}  // namespace

std::vector<CompareRow> compareRows(const compare::Comparison& c) {
    // The engine keeps only what differs; the alignment (B's times already shifted back) gives
    // the unchanged pairs as well, in the same order.
    std::map<std::pair<int, int>, std::vector<int>> pairDifferences;
    std::map<int, int> removed, added, split, merged;
    for (int i = 0; i < static_cast<int>(c.differences.size()); ++i) {
        const compare::Difference& d = c.differences[i];
        switch (d.kind) {
            case Kind::Header:
                break;
            case Kind::Removed:
                removed[d.a.front()] = i;
                break;
            case Kind::Added:
                added[d.b.front()] = i;
                break;
            case Kind::Split:
                split[d.a.front()] = i;
                break;
            case Kind::Merged:
                merged[d.b.front()] = i;
                break;
            default:
                pairDifferences[{d.a.front(), d.b.front()}].push_back(i);
        }
    }
    const auto found = [](const std::map<int, int>& in, int key) {
        const auto at = in.find(key);
        return at == in.end() ? std::vector<int>{} : std::vector<int>{at->second};
    };

    std::vector<CompareRow> rows;
    for (const compare::Match& m : compare::align(c.a.entries, c.b.entries)) {
        switch (m.kind) {
            case compare::Match::Kind::Pair: {
                const auto at = pairDifferences.find({m.a, m.b});
                rows.push_back(
                    {m.a, m.b, at == pairDifferences.end() ? std::vector<int>{} : at->second});
                break;
            }
            case compare::Match::Kind::Removed:
                rows.push_back({m.a, -1, found(removed, m.a)});
                break;
            case compare::Match::Kind::Added:
                rows.push_back({-1, m.b, found(added, m.b)});
                break;
            case compare::Match::Kind::Split: {
                const std::vector<int> d = found(split, m.a);
                rows.push_back({m.a, m.b, d});
                rows.push_back({-1, m.secondB, d, true});
                break;
            }
            case compare::Match::Kind::Merged: {
                const std::vector<int> d = found(merged, m.b);
                rows.push_back({m.a, m.b, d});
                rows.push_back({m.secondA, -1, d, true});
                break;
            }
        }
    }
    return rows;
}

int nextDifferenceRow(const std::vector<CompareRow>& rows, int current, bool backwards) {
    const int count = static_cast<int>(rows.size());
    if (count == 0) return -1;
    int row = current < 0 || current >= count ? (backwards ? count : -1) : current;
    for (int step = 0; step < count; ++step) {
        row = backwards ? (row - 1 + count) % count : (row + 1) % count;
        if (startsDifference(rows[row])) return row;
    }
    return -1;
}

}  // namespace comparewindow
