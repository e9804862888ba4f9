#pragma once
// Blocks and documents for the subtitle model tests, built from the file fixture builder.

#include <string>
#include <vector>

#include "subtitle/Document.h"
#include "tests/support/StlFileBuilder.h"

namespace modeltest {

using Block = testsupport::StlFileBuilder::Block;

inline Block block(std::uint16_t number, std::uint8_t extension, std::string_view text,
                   std::uint8_t comment = 0) {
    Block b;
    b.number = number;
    b.extension = extension;
    b.comment = comment;
    b.text = testsupport::StlFileBuilder::text(text);
    return b;
}

// A document of the blocks, display standard code Dsc, TNB as the builder leaves it (0).
inline subtitle::Document document(const std::vector<Block>& blocks, char dsc = '0') {
    testsupport::StlFileBuilder builder;
    builder.gsiBytes(gsi::displayStandardCode.offset, {static_cast<std::uint8_t>(dsc)});
    for (const Block& b : blocks) builder.addBlock(b);
    const std::vector<std::uint8_t> file = builder.bytes();
    GeneralSubtitleInformation gsi{};
    std::copy(file.begin(), file.begin() + GSI_BLOCK_SIZE, gsi.bytes);
    std::vector<TextAndTimingInformation> tti(blocks.size());
    std::copy(file.begin() + GSI_BLOCK_SIZE, file.end(), tti.data()->bytes);
    return subtitle::assembleDocument(gsi, std::move(tti));
}

// Each subtitle's text rows as plain text: rows joined by "\n", subtitles by "|".
inline std::string plain(const subtitle::Document& doc, bool includeComments = false) {
    const subtitle::TextSettings settings =
        subtitle::textSettings(doc.gsi, subtitle::latinCodePage);
    const subtitle::CharacterDecoder decoder(settings.codePage);
    std::u16string out;
    for (const subtitle::Subtitle& s : doc.subtitles) {
        if (s.comment && !includeComments) continue;
        if (!out.empty()) out += u'|';
        std::u16string rows;
        for (const std::u16string& row :
             subtitle::plainRows(subtitle::subtitleRows(s, decoder, settings)))
            rows += (rows.empty() ? u"" : u"\n") + row;
        out += rows;
    }
    std::string utf8;
    for (const char16_t c : out) {
        if (c < 0x80)
            utf8 += static_cast<char>(c);
        else if (c < 0x800)
            utf8 += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
        else
            utf8 +=
                {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                 static_cast<char>(0x80 | (c & 0x3F))};
    }
    return utf8;
}

}  // namespace modeltest
