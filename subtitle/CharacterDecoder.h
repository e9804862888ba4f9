#pragma once
// One cell's character from the text bytes with the table in use: a Latin diacritic and its
// letter share a cell, the lead and trail bytes of a double-byte page make one, every other
// byte has a cell of its own. Single bytes come from a 256-entry table built once per decoder.

#include <array>
#include <cstdint>
#include <string_view>

#include "Cell.h"

namespace subtitle {

// The code page of the Latin table (ISO 6937 as subtitle files use it).
constexpr std::uint32_t latinCodePage = 20269;

class CharacterDecoder {
public:
    explicit CharacterDecoder(std::uint32_t codePage);
    // Decodes the character at Position into Cell; the number of bytes it took (at least 1).
    // Inline for the common single byte: it runs for every character of every subtitle.
    std::size_t decode(std::string_view bytes, std::size_t position, Cell& cell) const {
        if (const char16_t c = m_single[static_cast<std::uint8_t>(bytes[position])]) {
            cell.chars[0] = c;
            cell.length = 1;
            return 1;
        }
        return decodeSlow(bytes, position, cell);
    }
    std::uint32_t codePage() const { return m_codePage; }
    // The character of a byte standing alone; 0 when it takes a look at the next byte.
    char16_t single(std::uint8_t byte) const { return m_single[byte]; }

private:
    std::size_t decodeSlow(std::string_view bytes, std::size_t position, Cell& cell) const;

    std::uint32_t m_codePage;
    bool m_latin;
    // The character of each byte alone; 0 where the byte needs a look at the next one.
    std::array<char16_t, 256> m_single{};
};

}  // namespace subtitle
