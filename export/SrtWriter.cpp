#include "SrtWriter.h"

#include "CueMarkup.h"

std::string writeSrt(const CueList& list) {
    const std::vector<Cue>& cues = list.cues;
    std::string out;
    out.reserve(cues.size() * 64);
    int number = 0;
    for (const Cue& cue : cues) {
        if (number > 0) out += '\n';
        out += std::to_string(++number) + '\n';
        out += cueTime(cue.startMs, ',') + " --> " + cueTime(cue.endMs, ',') + '\n';
        for (const CueRow& row : list.rows(cue)) out += rowMarkup(row.runs, {}) + '\n';
    }
    return out;
}
