#pragma once
// The constant shift between two versions of a file: the in-time difference most subtitles with
// the same text share.

#include <cstdint>

#include "SubtitleSide.h"

namespace compare {

// In frames of the grid both sides count in (B minus A); 0 when no text matches. Only texts
// found once in each file count, so a repeated line cannot pair with the wrong one. Ties go to
// the smaller shift.
std::int64_t findOffset(const Side& a, const Side& b);

}  // namespace compare
