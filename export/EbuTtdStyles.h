#pragma once
// The styles and regions an EBU-TT-D document refers to, each declared once in the order first
// used, so that the same cues always give the same document.

#include <pugixml.hpp>

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "subtitle/Cell.h"

namespace ebuttd {

using Attributes = std::vector<std::pair<const char*, std::string>>;

class Declarations {
public:
    // Id, declared with the attributes Make() gives the first time it is used.
    template <class Make>
    const std::string& use(const std::string& id, Make make) {
        const auto [at, added] = m_index.emplace(id, m_entries.size());
        if (added) m_entries.push_back({id, make()});
        return m_entries[at->second].first;
    }
    // One Element per declaration, in the order first used.
    void writeTo(pugi::xml_node parent, const char* element) const;
    bool empty() const { return m_entries.empty(); }

private:
    std::vector<std::pair<std::string, Attributes>> m_entries;
    std::unordered_map<std::string, std::size_t> m_index;
};

// "#RRGGBB" of a teletext colour, and its name as a style id.
const char* colourValue(subtitle::Colour colour);
const char* colourName(subtitle::Colour colour);
// A fraction as a percentage with at most three decimals: 0.725 gives "72.5%".
std::string percent(double fraction);

}  // namespace ebuttd
