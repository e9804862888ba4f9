#include "VttWriter.h"

#include "CueMarkup.h"

std::string writeVtt(const std::vector<Cue>& cues) {
    std::string out = "WEBVTT\n";
    for (const Cue& cue : cues) {
        out += '\n';
        out += cueTime(cue.startMs, '.') + " --> " + cueTime(cue.endMs, '.') + '\n';
        for (const StyledLine& row : cue.text)
            out += rowMarkup(row, {.colours = true, .escape = true}) + '\n';
    }
    return out;
}
