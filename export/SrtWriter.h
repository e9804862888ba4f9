#pragma once
// SubRip: numbered cues, comma before the milliseconds, italics and underline as tags.

#include <string>
#include <vector>

#include "CueBuilder.h"

std::string writeSrt(const CueList& cues);
