#include "HostText.h"

#include "platform/CodePage.h"

namespace validationhost {

std::string NarrowToUtf8(std::string_view Text) {
    std::string out;
    out.reserve(Text.size());
    ForEachCodePoint(platform::narrowToWide(Text), [&](char32_t c) { AppendUtf8(out, c); });
    return out;
}

void AppendUtf8(std::string& Out, char32_t c) {
    if (c < 0x80) {
        Out += static_cast<char>(c);
    } else if (c < 0x800) {
        Out += static_cast<char>(0xC0 | (c >> 6));
        Out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        Out += static_cast<char>(0xE0 | (c >> 12));
        Out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (c >> 18));
        Out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace validationhost
