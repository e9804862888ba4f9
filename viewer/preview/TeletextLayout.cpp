// Places the model's rows on the preview's page and adds what a viewer of the bytes needs to be
// told: rows off the page or beyond the file's limits, rows too wide, text hidden under a
// double-height row, text outside boxes, codes that mean nothing in the file's display mode.

#include "TeletextLayout.h"

#include <algorithm>

#include "stl/StlUtils.h"
#include "subtitle/CodeFacts.h"
#include "subtitle/Document.h"

namespace preview {
namespace {

constexpr int teletextRows = 23;

std::string hex(std::uint8_t byte) {
    static const char digits[] = "0123456789ABCDEF";
    return {digits[byte >> 4], digits[byte & 15]};
}

bool isTeletext(DisplayMode mode) {
    return mode != DisplayMode::OpenSubtitling;
}

void note(Layout& layout, const std::string& text) {
    if (std::find(layout.notes.begin(), layout.notes.end(), text) == layout.notes.end())
        layout.notes.push_back(text);
}

// Codes the model passed over without a meaning in this display mode.
void noteIgnoredCodes(Layout& layout, const std::string& text,
                      const subtitle::TextSettings& settings) {
    for (const std::uint8_t byte : subtitle::meaninglessCodes(text, settings)) {
        if (settings.teletext && byte < 0x20)
            note(layout,
                 "Double width and double size (0x0E, 0x0F) need teletext level 2: shown at "
                 "normal size.");
        else
            note(layout, "Code 0x" + hex(byte) + " has no meaning in " +
                             (settings.teletext ? "teletext" : "open subtitling") + ": ignored.");
    }
}

// Puts a row in place of any row at the same place written by an earlier part of the set.
void placeRow(Layout& layout, Row row) {
    for (Row& existing : layout.lines) {
        if (existing.number == row.number && existing.verticalPosition == row.verticalPosition) {
            existing = std::move(row);
            return;
        }
    }
    layout.lines.push_back(std::move(row));
}

void finishRow(Row& row, const Layout& layout) {
    if (isTeletext(layout.mode) && row.unclosedBox && !row.cells.empty()) {
        // The inserter pads the row to 40 cells with spaces, and those are boxed too.
        Cell pad = row.cells.back();
        pad.length = 0;
        pad.attribute = false;
        pad.covered = false;
        pad.code = ' ';
        while (row.column + static_cast<int>(row.cells.size()) < layout.columns)
            row.cells.push_back(pad);
    }
    row.tooWide = row.column + row.width > layout.columns;
    row.beyondLimit = row.number > layout.maximumRows;
}

void layOutPart(const subtitle::Subtitle& part, const subtitle::CharacterDecoder& decoder,
                const subtitle::TextSettings& settings, Layout& layout) {
    noteIgnoredCodes(layout, part.text, settings);
    for (subtitle::Row& modelRow : subtitle::subtitleRows(part, decoder, settings)) {
        if (modelRow.cells.empty()) continue;
        Row row;
        static_cast<subtitle::Row&>(row) = std::move(modelRow);
        row.verticalPosition = part.verticalPosition;
        row.justification = part.justification;
        if (row.unclosedBox)
            note(layout, "Row " + std::to_string(row.number) +
                             ": start box without end box, boxed to the end of the row.");
        finishRow(row, layout);
        placeRow(layout, std::move(row));
    }
}

// In a subtitle page the picture shows wherever no box is.
void noteUnboxedText(Layout& layout) {
    int hidden = 0;
    for (const Row& row : layout.lines) {
        if (row.offPage || row.hiddenByAbove) continue;
        for (const Cell& cell : row.cells)
            if (!cell.boxed && !cell.attribute && cell.visible()) ++hidden;
    }
    if (hidden > 0)
        layout.notes.push_back(
            std::to_string(hidden) +
            " characters outside boxes are not shown: the picture shows through.");
}

// Marks and notes that need every row in place.
void markRows(Layout& layout) {
    const bool teletext = isTeletext(layout.mode);
    std::stable_sort(layout.lines.begin(), layout.lines.end(),
                     [](const Row& a, const Row& b) { return a.number < b.number; });
    for (std::size_t i = 0; i < layout.lines.size(); ++i) {
        Row& row = layout.lines[i];
        const std::string name =
            teletext ? "Row " + std::to_string(row.number) : "Line " + std::to_string(row.line + 1);
        if (teletext && (row.number < 1 || row.number > teletextRows)) {
            row.offPage = true;
            layout.notes.push_back(name + ": outside rows 1-23, not shown.");
            continue;
        }
        if (!teletext &&
            subtitle::openRowTop(row.verticalPosition, row.line + 1, layout.maximumRows) > 1.0) {
            row.offPage = true;
            layout.notes.push_back(name + ": below the picture, not shown.");
            continue;
        }
        if (teletext && i > 0 && layout.lines[i - 1].doubleHeight &&
            layout.lines[i - 1].number == row.number - 1 && !layout.lines[i - 1].offPage) {
            row.hiddenByAbove = true;
            layout.notes.push_back(name +
                                   ": under the lower half of a double-height row, not shown.");
            continue;
        }
        if (row.beyondLimit)
            layout.notes.push_back(name + ": beyond the file's maximum of " +
                                   std::to_string(layout.maximumRows) + " rows.");
        if (teletext && row.tooWide)
            layout.notes.push_back(name + ": " + std::to_string(row.column + row.width) +
                                   " cells, more than " + std::to_string(layout.columns) +
                                   "; the rest is cut.");
        if (teletext && row.doubleHeight && row.number == teletextRows) {
            row.lowerHalfCut = true;
            layout.notes.push_back(name + ": double height on the last row, lower half cut.");
        }
    }
}

}  // namespace

LayoutOptions layoutOptions(const GeneralSubtitleInformation& gsi, std::uint16_t codePage) {
    const subtitle::TextSettings settings = subtitle::textSettings(gsi, codePage);
    LayoutOptions options;
    options.codePage = codePage;
    options.mode = !settings.teletext ? DisplayMode::OpenSubtitling
                   : settings.level2  ? DisplayMode::TeletextLevel2
                                      : DisplayMode::TeletextLevel1;
    options.maximumRows = settings.maximumRows;
    options.maximumColumns = settings.maximumColumns;
    return options;
}

Layout layOut(const Selection& selection, const LayoutOptions& options) {
    Layout layout;
    layout.mode = options.mode;
    layout.maximumRows = options.maximumRows;
    layout.columns = isTeletext(options.mode) ? 40 : options.maximumColumns;
    switch (selection.kind) {
        case Selection::Kind::Nothing:
            return layout;
        case Selection::Kind::UserData:
        case Selection::Kind::Reserved:
            layout.label = selection.kind == Selection::Kind::UserData
                               ? "User data (extension block FE): not subtitle text."
                               : "Reserved block (extension block " + hex(selection.extension) +
                                     "): not subtitle text.";
            layout.showsText = false;
            return layout;
        case Selection::Kind::Subtitle:
            break;
    }
    if (selection.parts.back().comment) layout.label = "Comment (comment flag 1): not transmitted.";
    subtitle::TextSettings settings;
    settings.teletext = isTeletext(options.mode);
    settings.level2 = options.mode == DisplayMode::TeletextLevel2;
    settings.codePage = options.codePage;
    settings.maximumRows = options.maximumRows;
    settings.maximumColumns = options.maximumColumns;
    const subtitle::CharacterDecoder decoder(options.codePage);
    for (const subtitle::Subtitle& part : selection.parts) {
        layOutPart(part, decoder, settings, layout);
        if (part.lastBlock > part.firstBlock)
            layout.notes.push_back("Subtitle " + std::to_string(part.number) + ": blocks " +
                                   std::to_string(part.firstBlock + 1) + "-" +
                                   std::to_string(part.lastBlock + 1) + " joined.");
    }
    if (selection.parts.size() > 1)
        layout.notes.push_back("Cumulative set: " + std::to_string(selection.parts.size()) +
                               " subtitles shown together.");
    markRows(layout);
    if (isTeletext(layout.mode)) noteUnboxedText(layout);
    return layout;
}

}  // namespace preview
