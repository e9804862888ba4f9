#include "FixSteps.h"
#include "subtitle/Assembly.h"
#include "subtitle/TextCodes.h"

namespace repair {
namespace {

constexpr char UNUSED = static_cast<char>(subtitle::code::unusedSpace);

// Bytes after the first unused-space byte set to unused space.
void unusedSpace(RepairWork& work, std::size_t i, std::uint32_t block) {
    std::string field = work.textField(block);
    const std::size_t end = field.find(UNUSED);
    if (end == std::string::npos || field.find_first_not_of(UNUSED, end) == std::string::npos)
        return;
    const std::size_t stray = field.find_first_not_of(UNUSED, end);
    char byte[8];
    std::snprintf(byte, sizeof byte, "%02Xh", static_cast<std::uint8_t>(field[stray]));
    field.replace(end, field.size() - end, field.size() - end, UNUSED);
    work.setText(Fix::UnusedSpace, i, block, field,
                 "byte " + std::string(byte) + " after the end of the text");
}

// Spaces before a row's end removed; the rest of the field moves up, unused space after it.
void trailingSpaces(RepairWork& work, std::size_t i, std::uint32_t block, bool lastBlock) {
    std::size_t removed = 0;
    const std::string text =
        subtitle::withoutRowEndSpaces(work.textField(block), lastBlock, removed);
    if (removed == 0) return;
    work.setText(
        Fix::TrailingSpaces, i, block, text,
        std::to_string(removed) + (removed == 1 ? " space" : " spaces") + " at the end of a row");
}
void renumber(RepairWork& work) {
    if (work.size() == 0) return;
    const subtitle::Document& document = work.document();
    // From the first subtitle's own number, so files counting from 0 and from 1 both keep theirs.
    const std::uint16_t first = work.placeOf(0).number;
    for (std::size_t i = 0; i < work.size(); ++i) {
        const auto number = static_cast<std::uint16_t>(first + i);
        const subtitle::Subtitle& s = work.subtitle(i);
        bool differs = false;
        for (std::uint32_t b = s.firstBlock; b <= s.lastBlock && !differs; ++b)
            differs = !subtitle::isNonSubtitleBlock(document.blocks[b]) &&
                      subtitleNumberOf(document.blocks[b]) != number;
        if (differs)
            work.setNumber(Fix::Renumber, i, number,
                           "subtitle " + std::to_string(i + 1) + " of the file");
    }
}

}  // namespace

void fixText(RepairWork& work) {
    const bool unused = work.chosen(Fix::UnusedSpace);
    const bool trailing = work.chosen(Fix::TrailingSpaces);
    if (unused || trailing) {
        const subtitle::Document& document = work.document();
        for (std::size_t i = 0; i < work.size(); ++i) {
            const subtitle::Subtitle& s = work.subtitle(i);
            for (std::uint32_t b = s.firstBlock; b <= s.lastBlock; ++b) {
                if (subtitle::isNonSubtitleBlock(document.blocks[b])) continue;
                if (unused) unusedSpace(work, i, b);
                if (trailing) trailingSpaces(work, i, b, b == s.lastBlock);
            }
        }
    }
    if (work.chosen(Fix::Renumber)) renumber(work);
}

}  // namespace repair
