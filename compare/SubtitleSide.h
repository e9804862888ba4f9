#pragma once
// One file of a comparison: its header, frame rate and each subtitle reduced to what is compared
// (text as words, times in frames, place, style, comment flag). Qt-free.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "export/FrameRate.h"
#include "stl/StlTypes.h"
#include "stl/StlUtils.h"

namespace compare {

// What styles a subtitle shows anywhere in its visible text.
struct StyleSummary {
    std::uint8_t foregrounds = 0;  // bit per colour
    std::uint8_t backgrounds = 0;
    bool boxed = false;
    bool doubleHeight = false;
    bool operator==(const StyleSummary&) const = default;
};

struct Entry {
    std::uint16_t number = 0;
    TimeCode in{};
    TimeCode out{};
    // Frames on the grid the comparison counts in (the first file's), offset not yet taken out.
    std::int64_t inFrames = 0;
    std::int64_t outFrames = 0;
    std::string text;  // rows as read, UTF-8, joined by '\n'
    std::string key;   // the words joined by single spaces: what text matching compares
    std::uint8_t verticalPosition = 0;
    std::uint8_t justification = 0;
    int firstRow = 0;  // screen rows of the text rows (teletext row or open row slot)
    int lastRow = 0;
    StyleSummary style;
    bool comment = false;
};

struct Side {
    std::string path;
    GeneralSubtitleInformation gsi{};
    FrameRate rate{25, 25, 1};
    bool rateKnown = false;      // the disk format code names a frame rate
    std::vector<Entry> entries;  // in time order (in time, then file order)
};

// Reads Path; Error says why when nothing could be read.
std::optional<Side> loadSide(const std::string& path, std::string& error);

// Moves Side's frame counts onto the frame grid of Target (the same real time, rounded).
void rescaleTo(Side& side, const FrameRate& target);

// The words of Text: runs of characters other than spaces and line breaks.
std::vector<std::string> wordsOf(const std::string& text);

}  // namespace compare
