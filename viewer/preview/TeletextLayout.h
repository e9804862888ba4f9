#pragma once
// What a subtitle looks like on screen, from the subtitle model: its rows of cells placed on the
// page, plus the marks and notes the preview adds for what the bytes get wrong. Free of Qt so it
// can be checked cell by cell and stays cheap enough to run on every selection change.

#include <cstdint>
#include <string>
#include <vector>

#include "subtitle/Assembly.h"
#include "subtitle/Cell.h"
#include "subtitle/TextDecoder.h"

namespace preview {

enum class DisplayMode { OpenSubtitling, TeletextLevel1, TeletextLevel2 };

using subtitle::Cell;
using subtitle::CellSize;
using subtitle::Colour;

struct Row : subtitle::Row {
    int verticalPosition = 0;    // VP of the subtitle the row belongs to
    int justification = 0;       // JC of that subtitle
    bool beyondLimit = false;    // below the file's maximum number of rows
    bool offPage = false;        // below the last row a decoder shows: not drawn
    bool tooWide = false;        // a character beyond the last column
    bool hiddenByAbove = false;  // text under the lower half of a double-height row: not drawn
    bool lowerHalfCut = false;   // double height on the last row: lower half off the page
};

// What is on screen while one block is selected.
struct Selection {
    enum class Kind { Nothing, Subtitle, UserData, Reserved };
    Kind kind = Kind::Nothing;
    std::uint8_t extension = 0;  // the selected block's extension number
    // The subtitles shown, oldest first; the one holding the selected block last.
    std::vector<subtitle::Subtitle> parts;
};

struct Layout {
    DisplayMode mode = DisplayMode::OpenSubtitling;
    int columns = 40;      // teletext 40; open subtitling the file's maximum characters per row
    int maximumRows = 23;  // the file's maximum number of rows
    std::vector<Row> lines;
    std::vector<std::string> notes;  // under the picture, in order
    std::string label;               // above everything else: user data, comment
    bool showsText = true;           // false for a block that holds no subtitle text
};

struct LayoutOptions {
    DisplayMode mode = DisplayMode::OpenSubtitling;
    int maximumRows = 23;
    int maximumColumns = 40;
    std::uint16_t codePage = 20269;
};

// Display mode and limits from the GSI (DSC, MNR, MNC); code page as the subtitle list uses it.
LayoutOptions layoutOptions(const GeneralSubtitleInformation& gsi, std::uint16_t codePage);

// Lays out what is on screen. Each part's rows replace the teletext rows it writes over.
Layout layOut(const Selection& selection, const LayoutOptions& options);

}  // namespace preview
