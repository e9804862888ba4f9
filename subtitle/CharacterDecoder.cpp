#include "CharacterDecoder.h"

#include <string>

#include "platform/CodePage.h"
#include "platform/Iso6937.h"

namespace subtitle {
namespace {

constexpr char16_t replacement = 0xFFFD;

bool isPrintable(std::uint8_t byte) {
    return byte >= 0x20 && !(byte >= 0x80 && byte < 0xA0);
}

bool isLatinDiacritic(std::uint8_t byte) {
    return byte >= 0xC1 && byte <= 0xCF;
}

std::u16string decodeBytes(std::uint32_t codePage, std::string_view bytes) {
    if (codePage == latinCodePage) return platform::decodeIso6937(bytes);
    return platform::multiByteToWideChar(codePage, bytes).value_or(std::u16string());
}

}  // namespace

void Cell::setText(std::u16string_view text) {
    length = static_cast<std::uint8_t>(std::min<std::size_t>(text.size(), 3));
    for (std::size_t i = 0; i < length; ++i) chars[i] = text[i];
}

CharacterDecoder::CharacterDecoder(std::uint32_t codePage)
    : m_codePage(codePage), m_latin(codePage == latinCodePage) {
    for (int b = 0x20; b < 0x100; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        if (!isPrintable(byte) || (m_latin && isLatinDiacritic(byte))) continue;
        const char c = static_cast<char>(byte);
        const std::u16string text = decodeBytes(codePage, std::string_view(&c, 1));
        if (text.size() == 1 && (m_latin || text[0] != replacement)) m_single[byte] = text[0];
    }
}

std::size_t CharacterDecoder::decodeSlow(std::string_view bytes, std::size_t position,
                                         Cell& cell) const {
    const bool haveNext =
        position + 1 < bytes.size() && isPrintable(static_cast<std::uint8_t>(bytes[position + 1]));
    if (haveNext) {
        // A Latin diacritic sits on the letter after it (or stands alone before a space); a
        // lead byte makes one character with its trail byte when the page knows the pair.
        const std::u16string pair = decodeBytes(m_codePage, bytes.substr(position, 2));
        if (m_latin || (pair.size() == 1 && pair[0] != replacement)) {
            cell.setText(pair);
            return 2;
        }
    }
    const std::u16string alone = decodeBytes(m_codePage, bytes.substr(position, 1));
    cell.setText(alone.empty() ? std::u16string(1, replacement) : alone);
    return 1;
}

}  // namespace subtitle
