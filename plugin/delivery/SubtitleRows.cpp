#include "SubtitleRows.h"

namespace {

constexpr std::uint8_t CR_LF = 0x8A;
constexpr std::uint8_t END_BOX = 0x0A;
constexpr std::uint8_t START_BOX = 0x0B;
constexpr std::uint8_t NORMAL_SIZE = 0x0C;
constexpr std::uint8_t DOUBLE_HEIGHT = 0x0D;

bool isPrintable(std::uint8_t byte) {
    return (byte >= 0x20 && byte <= 0x7E) || byte >= 0xA0;
}

bool isSpace(std::uint8_t byte) {
    return byte == 0x20 || byte == 0xA0;
}

}  // namespace

void analyseSubtitle(std::string_view text, bool latin, SubtitleFacts& facts) {
    facts.rows.clear();
    facts.visible = 0;
    facts.nonEmptyRows = 0;
    facts.colours = 0;

    // Each row starts unboxed, in single height, as a teletext row does.
    RowFacts row;
    bool boxed = false;
    bool doubleHeight = false;
    int printable = 0;   // printable characters so far in the row
    int firstText = -1;  // index (in printable characters) of the first non-space
    int lastText = -1;   // and of the last
    auto endRow = [&] {
        row.visible = firstText < 0 ? 0 : lastText - firstText + 1;
        facts.visible += row.visible;
        if (row.visible > 0) ++facts.nonEmptyRows;
        facts.rows.push_back(row);
        row = RowFacts{};
        boxed = doubleHeight = false;
        printable = 0;
        firstText = lastText = -1;
    };

    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        if (byte == CR_LF) {
            endRow();
            continue;
        }
        if (byte < 0x20) {
            ++row.cells;  // spacing attribute
            if (byte <= 0x07) facts.colours |= 1 << byte;
            if (byte == START_BOX) boxed = true;
            if (byte == END_BOX) boxed = false;
            if (byte == DOUBLE_HEIGHT) doubleHeight = true;
            if (byte == NORMAL_SIZE) doubleHeight = false;
            continue;
        }
        if (!isPrintable(byte)) continue;               // open subtitle codes take no place
        if (latin && isLatinDiacritic(byte)) continue;  // combines with the next letter
        ++row.cells;
        if (!isSpace(byte)) {
            if (firstText < 0) firstText = printable;
            lastText = printable;
            if (!boxed) row.unboxedText = true;
            if (!doubleHeight) row.singleHeightText = true;
        }
        ++printable;
    }
    endRow();
}
