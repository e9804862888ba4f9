#pragma once
// Timed cues for the subtitle formats. A cumulative set gives one cue per subtitle, holding the
// rows of the set shown so far, lasting until the next subtitle of the set comes in.

#include <cstdint>
#include <optional>
#include <vector>

#include "FrameRate.h"
#include "SubtitleAssembly.h"

struct Cue {
    std::int64_t startMs = 0;
    std::int64_t endMs = 0;
    StyledText text;
};

struct CueTiming {
    FrameRate rate;
    // Subtracted from every time code; times before it become 0.
    std::optional<TimeCode> offset;
};

// Subtitles with no text give no cue; an end before the start is moved to the start.
std::vector<Cue> buildCues(const std::vector<Subtitle>& subtitles, const CueTiming& timing);
