#pragma once
// Text that arrives from a plug-in (8-bit "ANSI" strings, file paths) turned into UTF-8 for
// display and for the report file.

#include <string>
#include <string_view>

namespace validationhost {

// Valid UTF-8 is kept; anything else is read with the system ANSI code page.
std::string NarrowToUtf8(std::string_view Text);

void AppendUtf8(std::string& Out, char32_t CodePoint);

// Decodes UTF-16; an unpaired surrogate comes out as U+FFFD.
template <class Visit>
void ForEachCodePoint(std::u16string_view Text, Visit&& visit) {
    for (std::size_t i = 0; i < Text.size(); ++i) {
        char32_t unit = Text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < Text.size() && Text[i + 1] >= 0xDC00 &&
            Text[i + 1] <= 0xDFFF) {
            visit(0x10000 + ((unit - 0xD800) << 10) + (Text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            visit(U'\uFFFD');
        } else {
            visit(unit);
        }
    }
}

}  // namespace validationhost
