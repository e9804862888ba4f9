#pragma once
// Cue text with its style as the tags both subtitle formats share: <i>, <u>, and in WebVTT
// <c.colour>. Tags are closed at the end of every row, so each row stands on its own.

#include <cstdint>
#include <string>

#include "StyledText.h"

struct MarkupSettings {
    bool colours = false;  // white, the default, is never tagged
    bool escape = false;   // &, < and > as entities
};

std::string rowMarkup(const StyledLine& row, const MarkupSettings& settings);
// The WebVTT default class for a teletext colour ("lime" for green, which is what it shows).
const char* colourClass(TextColour colour);
// HH:MM:SS followed by Separator and milliseconds.
std::string cueTime(std::int64_t milliseconds, char separator);
