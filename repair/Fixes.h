#pragma once
// The fixes a repair can make and their parameters. Times are in frames of the file's rate, so a
// subtitler sets them as they count them; a profile's milliseconds are converted per file.

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace repair {

enum class Fix {
    BlockCount,        // tnb: TNB = the blocks present
    SubtitleCount,     // tns: TNS = the subtitles counted
    GroupCount,        // tng: TNG = the subtitle groups used
    FirstInCue,        // tcf: TCF = the first subtitle's in-time
    StartOfProgramme,  // tcp: a given time code, or the whole hour at or before the first in-cue
    DisplayStandard,   // dsc: from the control codes the text uses
    Revision,          // revision: RD today, RN + 1, when anything else changed
    // gap and overlap: the earlier subtitle ends at the next in-time minus the gap; when it would
    // end before it starts (a file out of time order), the later one comes in after it instead.
    Gap,
    Overlap,
    MinDuration,     // min-duration: out-time extended into free time
    MaxDuration,     // max-duration: out-time cut
    Shift,           // shift: every time code, TCP and TCF moved alike
    OutBeforeIn,     // out-before-in: out-time set to in-time + the minimum duration
    UnusedSpace,     // unused-space: bytes after the text's end set to 8Fh
    TrailingSpaces,  // trailing-spaces: spaces at a row's end removed
    Renumber,        // renumber: subtitle numbers in order
};
inline constexpr std::size_t FIX_COUNT = 16;

// Every fix, in the order a repair makes them (and lists them).
std::array<Fix, FIX_COUNT> allFixes();
// The name --fix takes ("min-duration").
const char* fixName(Fix fix);
std::optional<Fix> fixFromName(std::string_view name);
// One line for help texts and tool tips.
const char* fixDescription(Fix fix);

using FixSet = std::bitset<FIX_COUNT>;
inline bool has(const FixSet& set, Fix fix) {
    return set.test(static_cast<std::size_t>(fix));
}
inline void add(FixSet& set, Fix fix) {
    set.set(static_cast<std::size_t>(fix));
}

struct Parameters {
    std::int64_t gapFrames = 2;           // smallest gap kept between two subtitles
    std::int64_t minDurationFrames = 25;  // also what out-before-in sets
    std::int64_t maxDurationFrames = 175;
    std::int64_t shiftFrames = 0;  // signed
    // TCP to set, in frames; none for the whole hour at or before the first in-cue.
    std::optional<std::int64_t> startOfProgrammeFrames;
    // RD to write (YYMMDD); empty for today's date.
    std::string revisionDate;
};

struct Options {
    FixSet fixes;
    Parameters parameters;
};

// --set NAME=VALUE for one parameter: gap, min-duration, max-duration (frames), shift (frames or
// a signed time code, -00:00:01:00), tcp (a time code), revision-date (YYMMDD). Time codes count
// frames at FramesPerSecond. A parameter also chooses its fix. False with Error set when the name
// or value is not one of these.
bool setParameter(Options& options, std::string_view name, std::string_view value,
                  int framesPerSecond, std::string* error = nullptr);
// Names setParameter takes, for help texts and completion.
std::array<const char*, 6> parameterNames();

}  // namespace repair
