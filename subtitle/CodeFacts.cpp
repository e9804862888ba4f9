#include "CodeFacts.h"

#include <algorithm>
#include <array>

namespace subtitle {
namespace {

enum ByteClass : std::uint8_t {
    LETTER = 1 << 0,           // what a Latin diacritic combines with
    UNDEFINED = 1 << 1,        // in every character table
    UNDEFINED_LATIN = 1 << 2,  // in table 00
    LATIN_DIACRITIC = 1 << 3,
};

constexpr std::array<std::uint8_t, 256> byteClasses() {
    std::array<std::uint8_t, 256> classes{};
    for (int b = 0; b < 256; ++b) {
        std::uint8_t c = 0;
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) c |= LETTER;
        const bool defined = b < 0x7F || (b >= 0x80 && b <= 0x85) || b == code::lineBreak ||
                             b == code::unusedSpace || b >= 0xA0;
        if (!defined) c |= UNDEFINED | UNDEFINED_LATIN;
        if (b == 0xC0 || b == 0xC9 || b == 0xCC || (b >= 0xD8 && b <= 0xDB) || b == 0xE5 ||
            b == 0xFF)
            c |= UNDEFINED_LATIN;
        if (b >= 0xC1 && b <= 0xCF) c |= LATIN_DIACRITIC;
        classes[static_cast<std::size_t>(b)] = c;
    }
    return classes;
}

constexpr std::array<std::uint8_t, 256> BYTE_CLASSES = byteClasses();

}  // namespace

void scanCodes(std::string_view text, bool latin, CodeFacts& facts) {
    // Kept in locals and written once: the text's bytes may alias the facts for the compiler, so
    // fields written in the loop would be stored and read back at every byte.
    const std::uint8_t undefined = latin ? UNDEFINED_LATIN : UNDEFINED;
    int teletextCode = -1, openCode = -1, undefinedByte = -1;
    bool loneDiacritic = false;
    const auto noteUndefined = [&](std::uint8_t byte, bool lone) {
        if (undefinedByte >= 0) return;
        undefinedByte = byte;
        loneDiacritic = lone;
    };
    for (const char c : text) {
        if (static_cast<std::uint8_t>(c) < 0x20) {
            teletextCode = static_cast<std::uint8_t>(c);
            break;
        }
    }
    // Only bytes from 7Fh up can be open codes, undefined or diacritics: a walk that seldom
    // branches away.
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        if (byte < 0x7F) continue;
        const std::uint8_t cls = BYTE_CLASSES[byte];
        if (cls & undefined) {
            noteUndefined(byte, false);
            continue;
        }
        if (byte <= 0x85 && byte >= 0x80 && openCode < 0) openCode = byte;
        if (latin && (cls & LATIN_DIACRITIC)) {
            // A diacritic wants a letter after it.
            const bool letter =
                i + 1 < size && (BYTE_CLASSES[static_cast<std::uint8_t>(text[i + 1])] & LETTER);
            if (!letter) noteUndefined(byte, true);
        }
    }
    facts.firstTeletextCode = teletextCode;
    facts.firstOpenCode = openCode;
    facts.firstUndefined = undefinedByte;
    facts.undefinedIsLoneDiacritic = loneDiacritic;
}

std::vector<std::uint8_t> meaninglessCodes(std::string_view text, const TextSettings& settings) {
    std::vector<std::uint8_t> codes;
    for (const char c : text) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte == code::unusedSpace) break;
        if (byte == code::lineBreak) continue;
        const bool meaningless =
            settings.teletext
                ? (byte >= 0x80 && byte < 0xA0) ||
                      (!settings.level2 && (byte == code::doubleWidth || byte == code::doubleSize))
                : byte < 0x20 || (byte > code::boxOff && byte < 0xA0);
        if (meaningless && std::find(codes.begin(), codes.end(), byte) == codes.end())
            codes.push_back(byte);
    }
    return codes;
}

}  // namespace subtitle
