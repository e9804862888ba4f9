#pragma once
// One screen cell's character from the text bytes, with the table the subtitle list uses: a
// diacritic and its letter share a cell, every other byte has one of its own (two for the lead
// and trail bytes of a double-byte page).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace preview {

class CellDecoder {
public:
    explicit CellDecoder(std::uint16_t codePage);
    // Decodes the character at Position into Text; the number of bytes it took (at least 1).
    std::size_t decode(std::string_view bytes, std::size_t position, std::u16string& text) const;

private:
    std::u16string decodeBytes(std::string_view bytes) const;

    std::uint16_t m_codePage;
    bool m_latinTable;
};

}  // namespace preview
