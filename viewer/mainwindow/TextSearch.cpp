#include "TextSearch.h"

#include <algorithm>
#include <functional>
#include <string>

#include "SubtitleFacts.h"

std::vector<int> subtitlesContaining(const SubtitleFacts& facts, std::u16string_view needle,
                                     bool ignoreCaseAndAccents) {
    std::vector<int> found;
    if (needle.empty() || !facts.hasReadings()) return found;
    const std::u16string folded = ignoreCaseAndAccents ? foldedForSearch(needle) : std::u16string();
    const std::u16string_view what = ignoreCaseAndAccents ? std::u16string_view(folded) : needle;
    const std::u16string& texts = ignoreCaseAndAccents ? facts.foldedTexts() : facts.plainTexts();
    const std::boyer_moore_horspool_searcher searcher(what.begin(), what.end());
    auto from = texts.begin();
    for (;;) {
        const auto at = std::search(from, texts.end(), searcher);
        if (at == texts.end()) break;
        const int subtitle = facts.subtitleAtText(std::size_t(at - texts.begin()));
        found.push_back(subtitle);
        // One match per subtitle: on from the next one's text.
        from = texts.begin() + std::ptrdiff_t(facts.textStart(subtitle + 1));
    }
    return found;
}

FindStep stepThrough(const std::vector<int>& matchRows, int current, int direction) {
    if (matchRows.empty()) return {};
    const int count = static_cast<int>(matchRows.size());
    if (direction < 0) {
        const auto before = std::lower_bound(matchRows.begin(), matchRows.end(), current);
        if (before == matchRows.begin()) return {count - 1, true};
        return {static_cast<int>(before - matchRows.begin()) - 1, false};
    }
    const auto after = direction == 0
                           ? std::lower_bound(matchRows.begin(), matchRows.end(), current)
                           : std::upper_bound(matchRows.begin(), matchRows.end(), current);
    if (after == matchRows.end()) return {0, true};
    return {static_cast<int>(after - matchRows.begin()), false};
}
