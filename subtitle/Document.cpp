#include "Document.h"

#include <fstream>

namespace subtitle {

Standard standardOf(const GeneralSubtitleInformation& gsi) {
    const std::string dsc = fieldText(gsi.bytes, gsi::displayStandardCode);
    if (dsc.empty()) return Standard::Blank;
    if (dsc == "0") return Standard::Open;
    if (dsc == "1") return Standard::Teletext1;
    if (dsc == "2") return Standard::Teletext2;
    return Standard::Other;
}

TextSettings textSettings(const GeneralSubtitleInformation& gsi, std::uint32_t codePage) {
    TextSettings settings;
    const Standard standard = standardOf(gsi);
    settings.teletext = isTeletext(standard);
    settings.level2 = standard == Standard::Teletext2;
    settings.codePage = codePage;
    const auto rows = fieldToInt32(gsi.bytes, gsi::maximumNumberOfDisplayableRows);
    const auto columns = fieldToInt32(gsi.bytes, gsi::maximumNumberOfDisplayableCharacters);
    settings.maximumRows = rows && *rows > 0 ? *rows : 23;
    settings.maximumColumns = columns && *columns > 0 && *columns < 100 ? *columns : 40;
    return settings;
}

Document assembleDocument(const GeneralSubtitleInformation& gsi,
                          std::vector<TextAndTimingInformation> blocks) {
    Document document;
    document.gsi = gsi;
    document.blocks = std::move(blocks);
    if (const auto tnb = fieldToInt32(gsi.bytes, gsi::totalNumberOfTti))
        document.announcedBlocks = *tnb;
    Assembler assembler([&](const Subtitle& s) { document.subtitles.push_back(s); },
                        [&](const ChainFact& f) { document.chainFacts.push_back(f); });
    for (std::size_t i = 0; i < document.blocks.size(); ++i)
        assembler.take(static_cast<std::uint32_t>(i), document.blocks[i]);
    assembler.finish();
    document.userDataBlocks = assembler.userDataBlocks();
    document.reservedBlocks = assembler.reservedBlocks();
    return document;
}

DocumentFile readDocument(const std::string& path) {
    DocumentFile file;
    file.check = checkStlFormat(path);
    if (file.check.verdict == FormatCheck::Verdict::Refused) {
        file.error = file.check.reason;
        return file;
    }
    std::ifstream in(path, std::ios::binary);
    GeneralSubtitleInformation gsi{};
    std::vector<TextAndTimingInformation> blocks(
        static_cast<std::size_t>(std::max<std::int64_t>(0, file.check.presentBlocks)));
    in.read(reinterpret_cast<char*>(gsi.bytes), GSI_BLOCK_SIZE);
    in.read(reinterpret_cast<char*>(blocks.data()),
            static_cast<std::streamsize>(blocks.size() * TTI_BLOCK_SIZE));
    if (!in) {
        file.error = "The file cannot be read.";
        return file;
    }
    file.document = assembleDocument(gsi, std::move(blocks));
    return file;
}

std::vector<Row> subtitleRows(const Subtitle& subtitle, const CharacterDecoder& decoder,
                              const TextSettings& settings) {
    return textRows(subtitle.text, decoder, settings,
                    {subtitle.verticalPosition, subtitle.justification});
}

std::vector<std::u16string> plainRows(const std::vector<Row>& rows) {
    std::vector<std::u16string> out;
    for (const Row& row : rows) {
        if (!row.hasText()) continue;
        std::u16string text = plainText(row);
        if (!text.empty()) out.push_back(std::move(text));
    }
    return out;
}

}  // namespace subtitle
