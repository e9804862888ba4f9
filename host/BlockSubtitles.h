#pragma once
// The subtitle each block of a file belongs to, read once: its number and times, those of the
// chain's first block for a block inside an extension chain. About ten bytes a block, so a
// window can keep it for as long as it lists findings.

#include <cstdint>
#include <string>
#include <vector>

#include "FindingPlace.h"
#include "stl/StlTypes.h"

namespace validationhost {

class BlockSubtitles {
public:
    // An unreadable or header-only file gives no blocks.
    explicit BlockSubtitles(const std::string& file);

    // Fills in Place's subtitle number and times from its block; leaves Place as it is when the
    // file holds no such block.
    void place(FindingPlace& place) const;
    std::size_t blockCount() const { return m_own.size(); }

private:
    struct Place {
        std::uint16_t number;
        TimeCode in, out;
    };
    static Place ownPlace(const TextAndTimingInformation& block);

    std::vector<Place> m_own;
};

}  // namespace validationhost
