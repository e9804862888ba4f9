#pragma once
// Blocks and texts for the export tests, built from the same builder as the file fixtures.

#include <string>
#include <vector>

#include "export/CueMarkup.h"
#include "export/StyledText.h"
#include "stl/StlTypes.h"
#include "tests/support/StlFileBuilder.h"

namespace exporttest {

using Block = testsupport::StlFileBuilder::Block;

inline std::vector<std::uint8_t> bytes(std::string_view s) {
    return testsupport::StlFileBuilder::text(s);
}

inline TextAndTimingInformation makeBlock(const Block& block) {
    const std::vector<std::uint8_t> file = testsupport::StlFileBuilder().addBlock(block).bytes();
    TextAndTimingInformation tti{};
    std::copy(file.begin() + GSI_BLOCK_SIZE, file.begin() + GSI_BLOCK_SIZE + TTI_BLOCK_SIZE,
              tti.bytes);
    return tti;
}

// Rows joined with "\n", style as WebVTT tags: what a reader of the tests can compare at a glance.
inline std::string markup(const StyledText& text) {
    std::string out;
    for (const StyledLine& row : text) {
        if (!out.empty()) out += '\n';
        out += rowMarkup(row, {.colours = true, .escape = false});
    }
    return out;
}

}  // namespace exporttest
