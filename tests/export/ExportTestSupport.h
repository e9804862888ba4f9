#pragma once
// Documents and cue text for the export tests, built from the same builder as the file fixtures.

#include <string>
#include <vector>

#include "export/CueBuilder.h"
#include "export/CueMarkup.h"
#include "tests/subtitle/ModelTestSupport.h"

namespace exporttest {

using Block = testsupport::StlFileBuilder::Block;

inline std::vector<std::uint8_t> bytes(std::string_view s) {
    return testsupport::StlFileBuilder::text(s);
}

// Rows joined with "\n", style as WebVTT tags: what a reader of the tests can compare at a glance.
inline std::string markup(const std::vector<CueRow>& rows) {
    std::string out;
    for (const CueRow& row : rows) {
        if (!out.empty()) out += '\n';
        out += rowMarkup(row.runs, {.colours = true, .escape = false});
    }
    return out;
}

inline CueList cuesOf(const subtitle::Document& doc, const CueTiming& timing) {
    const auto settings = subtitle::textSettings(doc.gsi, subtitle::latinCodePage);
    return buildCues(doc, subtitle::CharacterDecoder(settings.codePage), settings, timing);
}

}  // namespace exporttest
