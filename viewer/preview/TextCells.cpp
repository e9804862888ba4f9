#include "TextCells.h"

#include "platform/CodePage.h"
#include "platform/Iso6937.h"

namespace preview {
namespace {

constexpr std::uint16_t latinTablePage = 20269;
constexpr char16_t replacement = 0xFFFD;

bool isPrintable(std::uint8_t byte) {
    return byte >= 0x20 && !(byte >= 0x80 && byte < 0xA0);
}

}  // namespace

CellDecoder::CellDecoder(std::uint16_t codePage)
    : m_codePage(codePage), m_latinTable(codePage == latinTablePage) {}

std::u16string CellDecoder::decodeBytes(std::string_view bytes) const {
    if (m_latinTable) return platform::decodeIso6937(bytes);
    return platform::multiByteToWideChar(m_codePage, bytes).value_or(std::u16string());
}

std::size_t CellDecoder::decode(std::string_view bytes, std::size_t position,
                                std::u16string& text) const {
    const auto byte = static_cast<std::uint8_t>(bytes[position]);
    const bool haveNext =
        position + 1 < bytes.size() && isPrintable(static_cast<std::uint8_t>(bytes[position + 1]));
    if (m_latinTable && byte >= 0xC1 && byte <= 0xCF && haveNext) {
        // A diacritic sits on the letter after it (or stands alone before a space).
        text = decodeBytes(bytes.substr(position, 2));
        return 2;
    }
    text = decodeBytes(bytes.substr(position, 1));
    if (!m_latinTable && haveNext && (text.empty() || text == std::u16string(1, replacement))) {
        // A lead byte: the pair makes one character when the page knows it.
        std::u16string pair = decodeBytes(bytes.substr(position, 2));
        if (pair.size() == 1 && pair[0] != replacement) {
            text = std::move(pair);
            return 2;
        }
    }
    return 1;
}

}  // namespace preview
