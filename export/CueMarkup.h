#pragma once
// Cue text with its style as the tags both subtitle formats share: <i>, <u>, and in WebVTT
// <c.colour.bg_colour>. Tags are closed at the end of every row, so each row stands on its own.

#include <cstdint>
#include <string>
#include <vector>

#include "subtitle/Cell.h"

struct MarkupSettings {
    bool colours = false;  // white text and black backgrounds, the defaults, are never tagged
    bool escape = false;   // &, < and > as entities
};

std::string rowMarkup(const std::vector<subtitle::Run>& runs, const MarkupSettings& settings);
// The WebVTT default class for a teletext colour ("lime" for green, which is what it shows).
const char* colourClass(subtitle::Colour colour);
// HH:MM:SS followed by Separator and milliseconds.
std::string cueTime(std::int64_t milliseconds, char separator);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::u16string_view text);
