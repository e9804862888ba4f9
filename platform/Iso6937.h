#pragma once
// The Latin character table of STL files: ISO 6937 with the two changes subtitle files rely on
// (0xA4 is "$", 0xA6 is "#"). Written by hand because glibc's ISO_6937 converters refuse
// sequences real files carry (a diacritic before a space, a control code or a letter with no
// precomposed form).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Decodes ISO 6937 text to UTF-16. A non-spacing diacritic (0xC1-0xCF) followed by a letter gives
// the precomposed letter where Unicode has one, otherwise the letter followed by the combining
// mark; followed by a space it gives the spacing form (the space is consumed); before a control
// code, another diacritic or at the end of the text it gives the spacing form alone. Bytes below
// 0x20 and 0x7F-0x9F stand for themselves; undefined bytes become U+FFFD.
std::u16string decodeIso6937(std::string_view bytes);

namespace iso6937 {

struct Composition {
    char16_t base;
    char16_t mark;
    char16_t composed;
};

// Single characters of the upper half (0xA0-0xFF); 0 for the diacritics, U+FFFD where undefined.
extern const char16_t kUpperHalf[96];
// Combining mark and spacing form of diacritic byte 0xC1 + i; 0 where the byte is undefined.
extern const char16_t kCombiningMarks[15];
extern const char16_t kSpacingForms[15];
// Canonical compositions of the table's letters with the marks, sorted by base then mark.
extern const Composition kCompositions[];
extern const std::size_t kCompositionCount;

}  // namespace iso6937
}  // namespace platform
