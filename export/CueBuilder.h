#pragma once
// Timed cues for the subtitle formats, from what is on screen when: one cue per display (a part
// of a cumulative set shows with the parts still on screen), in start-time order. Displays that
// cannot be shown (out-time not after in-time, wholly before the programme start) are left out
// and named.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "FrameRate.h"
#include "subtitle/Document.h"
#include "subtitle/Timeline.h"

struct CueRow {
    int number = 0;  // teletext row or open row slot
    std::vector<subtitle::Run> runs;
    // Where the row stands, as fractions of the picture height: the top of the row and the height
    // it takes (two teletext rows when double height).
    double top = 0.0;
    double height = 0.0;
};

struct Cue {
    std::int64_t startMs = 0;
    std::int64_t endMs = 0;
    subtitle::PartList parts;  // the subtitles shown, oldest first
    int justification = 0;     // JC of the oldest
    std::size_t subtitle = 0;  // the newest part shown, an index into the document's subtitles
    bool comment = false;      // a comment subtitle, shown alone when comments are asked for
};

struct CueTiming {
    FrameRate rate;
    // Subtracted from every time code; a cue that starts before it starts at 0.
    std::optional<TimeCode> offset;
    bool includeComments = false;
};

struct CueList {
    std::vector<Cue> cues;
    std::vector<std::string> notes;  // what was left out or moved, one sentence each
    // The rows on screen during a cue, made when a writer asks for them, so that the cues of a
    // long file need not all hold their text at once.
    std::function<std::vector<CueRow>(const Cue&)> rows;
};

// The list's rows refer to Document, Decoder and Settings, which must outlive it.
CueList buildCues(const subtitle::Document& document, const subtitle::CharacterDecoder& decoder,
                  const subtitle::TextSettings& settings, const CueTiming& timing);
