#include "HostText.h"

#include "platform/Utf8.h"

namespace validationhost {

std::string narrowToUtf8(std::string_view text) {
    // Findings are nearly always plain ASCII, which decodes to itself: skip the round trip.
    if (isAscii(text)) return std::string(text);
    std::string out;
    out.reserve(text.size());
    forEachCodePoint(platform::narrowToWide(text), [&](char32_t c) { appendUtf8(out, c); });
    return out;
}

void appendUtf8(std::string& out, char32_t c) {
    platform::appendUtf8(out, c);
}

}  // namespace validationhost
