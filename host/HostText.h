#pragma once
// Text that arrives from a plug-in (8-bit "ANSI" strings, file paths) turned into UTF-8 for
// display and for the report file.

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/CodePage.h"

namespace validationhost {

// Valid UTF-8 is kept; anything else is read with the system ANSI code page.
std::string narrowToUtf8(std::string_view text);

void appendUtf8(std::string& out, char32_t codePoint);

// Decodes UTF-16; an unpaired surrogate comes out as U+FFFD.
template <class Visit>
void forEachCodePoint(std::u16string_view text, Visit&& visit) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            visit(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            visit(U'\uFFFD');
        } else {
            visit(unit);
        }
    }
}

inline bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The code points of a plug-in's narrow text as narrowToUtf8 reads it. Most findings are plain
// ASCII, which needs no decoding.
template <class Visit>
void forEachNarrowCodePoint(std::string_view text, Visit&& visit) {
    if (isAscii(text)) {
        for (const char c : text) visit(static_cast<char32_t>(c));
        return;
    }
    forEachCodePoint(platform::narrowToWide(text), visit);
}

}  // namespace validationhost
