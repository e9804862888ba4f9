// Every code page of the list, the system pages and the STL Latin table decoder on arbitrary
// text: the first byte picks the page, the rest is the text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FuzzInput.h"
#include "platform/CodePage.h"
#include "platform/Iso6937.h"
#include "stl/CodePage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint16_t codePage = fuzzinput::codePageFor(data[0]);
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    const auto wide = platform::multiByteToWideChar(codePage, text);
    if (wide.has_value() != platform::isCodePageSupported(codePage)) std::abort();
    // At most one character per byte, whatever the page.
    if (wide && wide->size() > text.size()) std::abort();
    if (codePageToUnicode(text, codePage).size() > text.size()) std::abort();

    // A diacritic and its letter give at most two characters, a lone one gives one.
    if (platform::decodeIso6937(text).size() > text.size()) std::abort();
    if (platform::narrowToWide(text).size() > text.size()) std::abort();
    return 0;
}
