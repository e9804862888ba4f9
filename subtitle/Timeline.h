#pragma once
// What is on screen when: each subtitle from its in-time to its own out-time. The parts of a
// cumulative set add to what is still shown, so the screen changes at every in- and out-time of
// the set; each stretch is one display listing the parts shown, oldest first.

#include <cstdint>
#include <vector>

#include "Assembly.h"

namespace subtitle {

struct Display {
    std::int64_t start = 0;  // frames
    std::int64_t end = 0;
    std::vector<std::size_t> parts;  // indices into the subtitles
};

struct TimelineSettings {
    int framesPerSecond = 25;  // the grid the time codes count on
    bool includeComments = false;
};

// Displays in file order of their first part; a subtitle whose out-time is not after its in-time
// still gives one (with End <= Start) so that callers can say what they leave out.
std::vector<Display> timeline(const std::vector<Subtitle>& subtitles,
                              const TimelineSettings& settings);

std::int64_t frameOf(const TimeCode& tc, int framesPerSecond);

}  // namespace subtitle
