#pragma once
// Two versions of a subtitle file set side by side: the shift between them, the header fields
// that differ and, for each subtitle, what changed. Qt-free; lumtrace-diff writes it out.

#include <cstdint>
#include <string>
#include <vector>

#include "SubtitleSide.h"
#include "WordDiff.h"

namespace compare {

struct Options {
    int tolerance = 0;       // time differences up to this many frames are not reported
    bool findOffset = true;  // take a constant shift out before comparing times
};

struct Difference {
    enum class Kind { Header, Added, Removed, Split, Merged, Text, Time, Position, Style, Comment };
    Kind kind;
    std::vector<int> a = {};  // entries of A concerned, in order (none for Added and Header)
    std::vector<int> b = {};
    std::string detail = {};  // what differs, in words
    // Header: the field and both values as text.
    std::string field = {}, aValue = {}, bValue = {};
    // Text: the words kept, removed and added.
    std::vector<WordChange> words = {};
};

const char* kindName(Difference::Kind kind);

struct Comparison {
    Side a, b;
    std::int64_t offset = 0;  // B minus A, in frames of A's rate
    bool ratesDiffer = false;
    std::vector<Difference> differences;

    bool differs() const { return offset != 0 || ratesDiffer || !differences.empty(); }
    // "+00:00:00:10" at A's rate.
    std::string offsetTimeCode() const;
};

// Compares two loaded files; B's frame counts are moved onto A's grid when the rates differ.
Comparison compareSides(Side a, Side b, const Options& options);

// The GSI fields whose bytes differ, by name.
std::vector<Difference> headerDifferences(const GeneralSubtitleInformation& a,
                                          const GeneralSubtitleInformation& b);

// Leaves out the start-of-programme and first in-cue differences that are the shift itself (B's
// time code is A's moved by Offset frames at FramesPerSecond): a shifted file moves them too.
void dropShiftedTimeCodes(std::vector<Difference>& differences, const GeneralSubtitleInformation& a,
                          const GeneralSubtitleInformation& b, std::int64_t offset,
                          int framesPerSecond);

// Frames as a signed time code on the grid of Rate.
std::string signedTimeCode(std::int64_t frames, const FrameRate& rate);

}  // namespace compare
