#include "VttWriter.h"

#include <algorithm>
#include <cmath>

#include "CueMarkup.h"

namespace {

// Where the cue stands: its first row's top, and the row's justification.
std::string cueSettings(const Cue& cue, const std::vector<CueRow>& rows) {
    const double top = rows.empty() ? 0.0 : rows.front().top;
    const int line = static_cast<int>(std::lround(std::clamp(top, 0.0, 1.0) * 100));
    std::string settings = " line:" + std::to_string(line) + "%";
    static const char* const kAlign[] = {nullptr, "left", "center", "right"};
    if (cue.justification >= 1 && cue.justification <= 3)
        settings += std::string(" align:") + kAlign[cue.justification];
    return settings;
}

}  // namespace

std::string writeVtt(const CueList& list) {
    const std::vector<Cue>& cues = list.cues;
    std::string out = "WEBVTT\n";
    out.reserve(cues.size() * 96);
    for (const Cue& cue : cues) {
        const std::vector<CueRow> rows = list.rows(cue);
        out += '\n';
        out += cueTime(cue.startMs, '.') + " --> " + cueTime(cue.endMs, '.') +
               cueSettings(cue, rows) + '\n';
        for (const CueRow& row : rows)
            out += rowMarkup(row.runs, {.colours = true, .escape = true}) + '\n';
    }
    return out;
}
