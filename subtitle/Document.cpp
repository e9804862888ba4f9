#include "Document.h"

#include <algorithm>
#include <fstream>

#include "stl/TextTables.h"

namespace subtitle {

Standard standardOf(const GeneralSubtitleInformation& gsi) {
    const std::string dsc = fieldText(gsi.bytes, gsi::displayStandardCode);
    if (dsc.empty()) return Standard::Blank;
    if (dsc == "0") return Standard::Open;
    if (dsc == "1") return Standard::Teletext1;
    if (dsc == "2") return Standard::Teletext2;
    return Standard::Other;
}

std::uint32_t textCodePage(const GeneralSubtitleInformation& gsi) {
    const auto table = characterCodeTable(gsi);
    return table ? table->codePage : latinCodePage;
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

namespace {

// Fills a document's subtitles and facts from blocks handed in order.
class DocumentBuilder {
public:
    explicit DocumentBuilder(Document& document)
        : m_document(document),
          m_assembler([this](const Subtitle& s) { m_document.subtitles.push_back(s); },
                      [this](const ChainFact& f) { m_document.chainFacts.push_back(f); }) {
        if (const auto tnb = fieldToInt32(document.gsi.bytes, gsi::totalNumberOfTti))
            m_document.announcedBlocks = *tnb;
    }
    void take(const TextAndTimingInformation& block) {
        m_assembler.take(static_cast<std::uint32_t>(m_document.blocksPresent++), block);
    }
    void finish() {
        m_assembler.finish();
        m_document.userDataBlocks = m_assembler.userDataBlocks();
        m_document.reservedBlocks = m_assembler.reservedBlocks();
    }

private:
    Document& m_document;
    Assembler m_assembler;
};

constexpr std::size_t piece = 512;  // blocks read at a time

}  // namespace

Document assembleDocument(const GeneralSubtitleInformation& gsi,
                          std::vector<TextAndTimingInformation> blocks) {
    Document document;
    document.gsi = gsi;
    DocumentBuilder builder(document);
    for (const TextAndTimingInformation& block : blocks) builder.take(block);
    builder.finish();
    document.blocks = std::move(blocks);
    return document;
}

DocumentFile readDocument(const std::string& path, bool keepBlocks) {
    DocumentFile file;
    file.check = checkStlFormat(path);
    if (file.check.verdict == FormatCheck::Verdict::Refused) {
        file.error = file.check.reason;
        return file;
    }
    std::ifstream in(path, std::ios::binary);
    Document& document = file.document;
    in.read(reinterpret_cast<char*>(document.gsi.bytes), GSI_BLOCK_SIZE);
    const auto present =
        static_cast<std::size_t>(std::max<std::int64_t>(0, file.check.presentBlocks));
    DocumentBuilder builder(document);
    document.subtitles.reserve(present);
    if (keepBlocks) document.blocks.reserve(present);
    std::vector<TextAndTimingInformation> buffer(piece);
    for (std::size_t done = 0; in && done < present;) {
        const std::size_t count = std::min(piece, present - done);
        in.read(reinterpret_cast<char*>(buffer.data()),
                static_cast<std::streamsize>(count * TTI_BLOCK_SIZE));
        if (!in) break;
        for (std::size_t k = 0; k < count; ++k) builder.take(buffer[k]);
        if (keepBlocks)
            document.blocks.insert(document.blocks.end(), buffer.begin(),
                                   buffer.begin() + static_cast<std::ptrdiff_t>(count));
        done += count;
    }
    if (!in) {
        file = DocumentFile{file.check, Document{}, "The file cannot be read."};
        return file;
    }
    builder.finish();
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
