#pragma once
// EBU-TT-D: the cues as a constrained TTML document. Every row is a paragraph in a region placed
// where the row stands; colours, boxes, double height, italics and underlining are styles
// declared once in the head and referenced by name.

#include <string>
#include <vector>

#include "CueBuilder.h"

struct EbuTtdSettings {
    bool teletext = false;
    std::string language;  // xml:lang; empty when the file names no language it can be mapped to
};

std::string writeEbuTtd(const CueList& cues, const EbuTtdSettings& settings);
