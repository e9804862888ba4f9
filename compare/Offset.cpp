#include "Offset.h"

#include <cstdlib>
#include <string_view>
#include <unordered_map>

namespace compare {

namespace {

// Index of the entry whose key appears exactly once; -1 for a repeated key.
std::unordered_map<std::string_view, std::int64_t> uniqueKeys(const Side& side) {
    std::unordered_map<std::string_view, std::int64_t> keys;
    keys.reserve(side.entries.size());
    for (std::size_t i = 0; i < side.entries.size(); ++i) {
        const std::string& key = side.entries[i].key;
        if (key.empty()) continue;
        const auto [it, inserted] = keys.try_emplace(key, static_cast<std::int64_t>(i));
        if (!inserted) it->second = -1;
    }
    return keys;
}

}  // namespace

std::int64_t findOffset(const Side& a, const Side& b) {
    const auto inA = uniqueKeys(a);
    const auto inB = uniqueKeys(b);
    std::unordered_map<std::int64_t, std::int64_t> votes;
    for (const auto& [key, i] : inA) {
        if (i < 0) continue;
        const auto found = inB.find(key);
        if (found == inB.end() || found->second < 0) continue;
        ++votes[b.entries[found->second].inFrames - a.entries[i].inFrames];
    }
    std::int64_t best = 0, bestVotes = 0;
    for (const auto& [shift, count] : votes) {
        if (count > bestVotes || (count == bestVotes && std::llabs(shift) < std::llabs(best)) ||
            (count == bestVotes && std::llabs(shift) == std::llabs(best) && shift < best)) {
            best = shift;
            bestVotes = count;
        }
    }
    return best;
}

}  // namespace compare
