#pragma once
// WebVTT: a header, cues with a dot before the milliseconds, text escaped, teletext colours as
// the format's default colour classes.

#include <string>
#include <vector>

#include "CueBuilder.h"

std::string writeVtt(const CueList& cues);
