#include "Cell.h"

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
    const auto end = static_cast<std::size_t>(row.width);
    const Cell* before = nullptr;
    for (std::size_t i = first; i < end && i < row.cells.size(); ++i) {
        const Cell& cell = row.cells[i];
        if (cell.covered || cell.isMosaic) continue;
        // A spacing attribute shows as a space on its own background; its ink does not show, so
        // it keeps the text colour before it and stays in that run.
        Run run;
        run.foreground = cell.attribute && before ? before->foreground : cell.foreground;
        run.background = cell.background;
        run.boxed = cell.boxed;
        run.italic = cell.italic;
        run.underline = cell.underline;
        run.flash = cell.attribute && before ? before->flash : cell.flash;
        run.doubleHeight = cell.attribute && before ? before->tall() : cell.tall();
        const std::u16string_view text = cell.attribute || cell.length == 0 ? u" " : cell.text();
        Run* last = runs.empty() ? nullptr : &runs.back();
        if (last && last->foreground == run.foreground && last->background == run.background &&
            last->boxed == run.boxed && last->italic == run.italic &&
            last->underline == run.underline && last->flash == run.flash &&
            last->doubleHeight == run.doubleHeight)
            last->text += text;
        else {
            run.text = text;
            runs.push_back(std::move(run));
        }
        if (!cell.attribute) before = &cell;
    }
    return runs;
}

}  // namespace subtitle
