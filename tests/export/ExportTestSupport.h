#pragma once
// Documents and cue text for the export tests, built from the same builder as the file fixtures.

#include <memory>
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

// The cues of a document with what their rows are made from, kept together: the list's rows
// refer to the document, the decoder and the settings.
struct Cues {
    explicit Cues(subtitle::Document d, const CueTiming& timing)
        : document(std::move(d)),
          settings(subtitle::textSettings(document.gsi, subtitle::latinCodePage)),
          decoder(settings.codePage),
          list(buildCues(document, decoder, settings, timing)) {}
    subtitle::Document document;
    subtitle::TextSettings settings;
    subtitle::CharacterDecoder decoder;
    CueList list;
};

inline std::unique_ptr<Cues> cuesOf(subtitle::Document doc, const CueTiming& timing) {
    return std::make_unique<Cues>(std::move(doc), timing);
}

}  // namespace exporttest
