#include "Cell.h"

#include <algorithm>

namespace subtitle {
namespace {

// A cell a reader sees as a gap between words.
bool isGap(const Cell& cell) {
    return cell.attribute || (cell.isMosaic && cell.mosaic == 0) || cell.length == 0;
}

}  // namespace

std::u16string plainText(const Row& row) {
    std::u16string text;
    bool gap = false;
    for (const Cell& cell : row.cells) {
        if (cell.covered) continue;
        if (isGap(cell) || cell.isMosaic) {
            gap = true;
            continue;
        }
        if (gap && !text.empty() && text.back() != u' ' && !cell.isSpace()) text += u' ';
        gap = false;
        text += cell.text();
    }
    const auto first = text.find_first_not_of(u' ');
    if (first == std::u16string::npos) return {};
    const auto last = text.find_last_not_of(u' ');
    return text.substr(first, last - first + 1);
}

std::vector<Run> runsOf(const Row& row) {
    std::vector<Run> runs;
    std::size_t first = 0;
    while (first < row.cells.size() && !row.cells[first].visible()) ++first;
    const std::size_t end = std::min(static_cast<std::size_t>(row.width), row.cells.size());
    const Cell* before = nullptr;
    for (std::size_t i = first; i < end; ++i) {
        const Cell& cell = row.cells[i];
        if (cell.covered || cell.isMosaic) continue;
        // A spacing attribute shows as a space on its own background; its ink does not show, so
        // it keeps the text style before it and stays in that run.
        const Cell& ink = cell.attribute && before ? *before : cell;
        const bool tall = ink.tall();
        Run* last = runs.empty() ? nullptr : &runs.back();
        if (!last || last->foreground != ink.foreground || last->background != cell.background ||
            last->boxed != cell.boxed || last->italic != cell.italic ||
            last->underline != cell.underline || last->flash != ink.flash ||
            last->doubleHeight != tall) {
            last = &runs.emplace_back();
            last->foreground = ink.foreground;
            last->background = cell.background;
            last->boxed = cell.boxed;
            last->italic = cell.italic;
            last->underline = cell.underline;
            last->flash = ink.flash;
            last->doubleHeight = tall;
            last->text.reserve(end - i);
        }
        if (cell.attribute || cell.length == 0)
            last->text += u' ';
        else
            last->text.append(cell.chars, cell.length);
        if (!cell.attribute) before = &cell;
    }
    return runs;
}

}  // namespace subtitle
