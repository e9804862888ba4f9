#pragma once
// Plain text: each subtitle's own rows once, one blank line between subtitles, no times.

#include <string>
#include <vector>

#include "SubtitleAssembly.h"

std::string writeText(const std::vector<Subtitle>& subtitles);
