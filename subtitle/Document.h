#pragma once
// A whole STL file as subtitles: the header, every block present (whatever TNB announces), the
// subtitles they make and how the text is to be read.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Assembly.h"
#include "TextDecoder.h"
#include "TextRows.h"
#include "stl/FormatCheck.h"

namespace subtitle {

// What the Display Standard Code says. Blank is undefined; the text is read as open subtitles.
enum class Standard { Open, Teletext1, Teletext2, Blank, Other };
Standard standardOf(const GeneralSubtitleInformation& gsi);
inline bool isTeletext(Standard s) {
    return s == Standard::Teletext1 || s == Standard::Teletext2;
}

// The code page of the file's character code table; Latin when the field names none.
std::uint32_t textCodePage(const GeneralSubtitleInformation& gsi);

// How the text of this file is read: display standard and limits from the GSI, characters with
// the given code page.
TextSettings textSettings(const GeneralSubtitleInformation& gsi, std::uint32_t codePage);

struct Document {
    GeneralSubtitleInformation gsi{};
    // Every whole block present, when the reader was asked to keep them.
    std::vector<TextAndTimingInformation> blocks;
    std::int64_t blocksPresent = 0;
    std::optional<std::int64_t> announcedBlocks;  // TNB, when it is a number
    std::vector<Subtitle> subtitles;              // comments included, flagged
    std::vector<ChainFact> chainFacts;
    std::uint32_t userDataBlocks = 0;
    std::uint32_t reservedBlocks = 0;

    bool blockCountDisagrees() const {
        return announcedBlocks && *announcedBlocks != blocksPresent;
    }
};

// Assembles the subtitles of blocks already read.
Document assembleDocument(const GeneralSubtitleInformation& gsi,
                          std::vector<TextAndTimingInformation> blocks);

struct DocumentFile {
    FormatCheck check;
    Document document;
    std::string error;  // why nothing was read; empty on success
};

// Reads every block of a file the readers accept, or would show read-only (an unusual frame
// rate, fewer blocks than announced). The blocks are read in pieces and kept only when asked for.
DocumentFile readDocument(const std::string& path, bool keepBlocks = false);

// The rows of one subtitle as it shows on screen.
std::vector<Row> subtitleRows(const Subtitle& subtitle, const CharacterDecoder& decoder,
                              const TextSettings& settings);

// The subtitle's text rows as plain text, one string per row that shows text.
std::vector<std::u16string> plainRows(const std::vector<Row>& rows);

}  // namespace subtitle
