#include "SubtitleRows.h"

#include <array>

namespace {

constexpr std::uint8_t CR_LF = 0x8A;
constexpr std::uint8_t END_BOX = 0x0A;
constexpr std::uint8_t START_BOX = 0x0B;
constexpr std::uint8_t NORMAL_SIZE = 0x0C;
constexpr std::uint8_t DOUBLE_HEIGHT = 0x0D;

// What a byte is, one bit each, looked up once per byte.
enum ByteClass : std::uint8_t {
    PRINTABLE = 1 << 0,
    SPACE = 1 << 1,
    LETTER = 1 << 2,           // A-Z, a-z: what a diacritic of table 00 combines with
    UNDEFINED = 1 << 3,        // in every character table
    UNDEFINED_LATIN = 1 << 4,  // in table 00
    LATIN_DIACRITIC = 1 << 5,  // C1h-CFh of table 00
    // A character that takes a cell and counts as visible, with nothing else to note about it:
    // the common case, taken in one step.
    PLAIN = 1 << 6,
    PLAIN_LATIN = 1 << 7,
};

constexpr std::array<std::uint8_t, 256> byteClasses() {
    std::array<std::uint8_t, 256> classes{};
    for (int b = 0; b < 256; ++b) {
        std::uint8_t c = 0;
        if ((b >= 0x20 && b <= 0x7E) || b >= 0xA0) c |= PRINTABLE;
        if (b == 0x20 || b == 0xA0) c |= SPACE;
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) c |= LETTER;
        if (b == 0x7F || (b >= 0x86 && b <= 0x89) || (b >= 0x8B && b <= 0x8E) ||
            (b >= 0x90 && b <= 0x9F))
            c |= UNDEFINED | UNDEFINED_LATIN;
        if (b == 0xC0 || b == 0xC9 || b == 0xCC || (b >= 0xD8 && b <= 0xDB) || b == 0xE5 ||
            b == 0xFF)
            c |= UNDEFINED_LATIN;
        if (b >= 0xC1 && b <= 0xCF) c |= LATIN_DIACRITIC;
        const bool visible = (c & PRINTABLE) && !(c & SPACE);
        if (visible && !(c & UNDEFINED)) c |= PLAIN;
        if (visible && !(c & (UNDEFINED_LATIN | LATIN_DIACRITIC))) c |= PLAIN_LATIN;
        classes[static_cast<std::size_t>(b)] = c;
    }
    return classes;
}

constexpr std::array<std::uint8_t, 256> BYTE_CLASSES = byteClasses();

}  // namespace

void analyseSubtitle(std::string_view text, bool latin, SubtitleFacts& facts) {
    facts.rows.clear();
    facts.visible = 0;
    facts.nonEmptyRows = 0;
    facts.colours = 0;
    facts.firstTeletextCode = facts.firstOpenCode = facts.firstUndefined = -1;
    facts.undefinedIsLoneDiacritic = false;

    const std::uint8_t undefined = latin ? UNDEFINED_LATIN : UNDEFINED;
    const std::uint8_t plain = latin ? PLAIN_LATIN : PLAIN;
    const auto noteUndefined = [&](std::uint8_t byte, bool loneDiacritic) {
        if (facts.firstUndefined >= 0) return;
        facts.firstUndefined = byte;
        facts.undefinedIsLoneDiacritic = loneDiacritic;
    };

    int diacritic = -1;  // a diacritic of table 00 waiting for its letter
    const std::size_t size = text.size();
    std::size_t i = 0;
    for (;;) {
        // Each row starts unboxed, in single height, as a teletext row does. The row's counts
        // stay in locals until it ends.
        int cells = 0;
        int width = 0;  // cells up to the last visible character
        bool unboxedText = false, singleHeightText = false;
        bool boxed = false, doubleHeight = false;
        int printable = 0;   // printable characters so far in the row
        int firstText = -1;  // index (in printable characters) of the first non-space
        int lastText = -1;   // and of the last
        for (; i < size; ++i) {
            const auto byte = static_cast<std::uint8_t>(text[i]);
            const std::uint8_t cls = BYTE_CLASSES[byte];
            if (diacritic >= 0) {
                if (!(cls & LETTER)) noteUndefined(static_cast<std::uint8_t>(diacritic), true);
                diacritic = -1;
            }
            if (cls & plain) {
                width = ++cells;
                if (firstText < 0) firstText = printable;
                lastText = printable++;
                unboxedText |= !boxed;
                singleHeightText |= !doubleHeight;
                continue;
            }
            if (cls & undefined) noteUndefined(byte, false);
            if (byte == CR_LF) break;
            if (byte < 0x20) {
                if (facts.firstTeletextCode < 0) facts.firstTeletextCode = byte;
                ++cells;  // spacing attribute
                if (byte <= 0x07) facts.colours |= 1 << byte;
                if (byte == START_BOX) boxed = true;
                if (byte == END_BOX) boxed = false;
                if (byte == DOUBLE_HEIGHT) doubleHeight = true;
                if (byte == NORMAL_SIZE) doubleHeight = false;
                continue;
            }
            if (!(cls & PRINTABLE)) {  // open subtitle codes take no place
                if (byte >= 0x80 && byte <= 0x85 && facts.firstOpenCode < 0)
                    facts.firstOpenCode = byte;
                continue;
            }
            if (latin && (cls & LATIN_DIACRITIC)) {  // combines with the next letter
                if (!(cls & undefined)) diacritic = byte;
                continue;
            }
            ++cells;
            if (!(cls & SPACE)) {
                width = cells;
                if (firstText < 0) firstText = printable;
                lastText = printable;
                unboxedText |= !boxed;
                singleHeightText |= !doubleHeight;
            }
            ++printable;
        }
        const int visible = firstText < 0 ? 0 : lastText - firstText + 1;
        facts.visible += visible;
        if (visible > 0) ++facts.nonEmptyRows;
        facts.rows.push_back({visible, width, unboxedText, singleHeightText});
        if (i >= size) break;
        ++i;  // past the CR/LF
    }
    if (diacritic >= 0) noteUndefined(static_cast<std::uint8_t>(diacritic), true);
}
