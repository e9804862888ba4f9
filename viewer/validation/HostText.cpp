#include "HostText.h"
#include "platform/Utf8.h"

#include "platform/CodePage.h"

namespace validationhost {

std::string NarrowToUtf8(std::string_view Text) {
    std::string out;
    out.reserve(Text.size());
    ForEachCodePoint(platform::narrowToWide(Text), [&](char32_t c) { AppendUtf8(out, c); });
    return out;
}

void AppendUtf8(std::string& Out, char32_t c) {
    platform::appendUtf8(Out, c);
}

}  // namespace validationhost
