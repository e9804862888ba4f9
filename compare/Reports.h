#pragma once
// A comparison written out: lines in the manner of diff, JSON for programs, or one HTML page
// with both versions side by side.

#include <string>
#include <vector>

#include "Comparison.h"

namespace compare {

std::string textReport(const Comparison& comparison);
std::string jsonReport(const Comparison& comparison);
std::string htmlReport(const Comparison& comparison);

// The subtitles of one side a difference names: numbers joined by '+' and the time they span,
// "12 00:00:01:00-00:00:02:00"; "-" for none.
std::string sideSpan(const Side& side, const std::vector<int>& entries);
// "B is A shifted by +00:00:00:10 (10 frames)".
std::string offsetSentence(const Comparison& comparison);
// "A 25 fps, B 29.97 fps; times compared in real time".
std::string rateSentence(const Comparison& comparison);

}  // namespace compare
