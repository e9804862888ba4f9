#include "CueBuilder.h"

#include <algorithm>

#include "stl/FormatCheck.h"

using namespace subtitle;

namespace {

constexpr std::size_t namedAtMost = 5;
constexpr double teletextPageRows = 25.0;

std::string nameOf(const Subtitle& s) {
    return "subtitle " + std::to_string(s.number) + " (" + formatTimeCode(s.in) + ")";
}

// A sentence naming the first few subtitles of a list.
std::string listNote(std::size_t count, const std::string& what,
                     const std::vector<std::string>& names) {
    std::string note = withThousands(static_cast<std::int64_t>(count)) +
                       (count == 1 ? " subtitle " : " subtitles ") + what + ": ";
    for (std::size_t i = 0; i < names.size() && i < namedAtMost; ++i)
        note += (i ? ", " : "") + names[i];
    if (names.size() > namedAtMost)
        note += " and " + withThousands(static_cast<std::int64_t>(names.size() - namedAtMost)) +
                " more";
    return note + ".";
}

// The rows on screen during a display: later parts of a teletext set write over the rows they
// share with earlier ones.
std::vector<CueRow> displayRows(const Document& document, const PartList& parts,
                                const CharacterDecoder& decoder, const TextSettings& settings) {
    std::vector<CueRow> rows;
    for (const std::size_t part : parts) {
        const Subtitle& subtitle = document.subtitles[part];
        for (const Row& row : subtitleRows(subtitle, decoder, settings)) {
            std::vector<Run> runs = runsOf(row);
            if (runs.empty()) continue;
            CueRow cueRow{row.number, std::move(runs)};
            if (settings.teletext) {
                cueRow.top = row.number / teletextPageRows;
                cueRow.height = (row.doubleHeight ? 2 : 1) / teletextPageRows;
            } else {
                cueRow.top = openRowTop(subtitle.verticalPosition, row.line, settings.maximumRows);
                cueRow.height = openRowHeight(subtitle.verticalPosition, settings.maximumRows);
            }
            const auto same = std::find_if(rows.begin(), rows.end(), [&](const CueRow& r) {
                return settings.teletext && r.number == cueRow.number;
            });
            if (same != rows.end())
                *same = std::move(cueRow);
            else
                rows.push_back(std::move(cueRow));
        }
    }
    if (settings.teletext)
        std::stable_sort(rows.begin(), rows.end(),
                         [](const CueRow& a, const CueRow& b) { return a.number < b.number; });
    return rows;
}

}  // namespace

CueList buildCues(const Document& document, const CharacterDecoder& decoder,
                  const TextSettings& settings, const CueTiming& timing) {
    const FrameRate& rate = timing.rate;
    const std::int64_t offset = timing.offset ? frameCount(*timing.offset, rate) : 0;
    std::vector<Display> displays =
        timeline(document.subtitles, {rate.framesPerTimeCodeSecond, timing.includeComments});
    CueList list;
    list.cues.reserve(displays.size());
    list.rows = [&document, &decoder, &settings](const Cue& cue) {
        return displayRows(document, cue.parts, decoder, settings);
    };
    std::vector<std::string> leftOut;
    for (Display& display : displays) {
        const Subtitle& newest = document.subtitles[display.parts.back()];
        const bool shows = std::any_of(display.parts.begin(), display.parts.end(), [&](auto part) {
            return showsText(document.subtitles[part].text, decoder, settings);
        });
        if (!shows) continue;
        const std::int64_t start = std::max<std::int64_t>(0, display.start - offset);
        const std::int64_t end = display.end - offset;
        if (end <= start) {
            leftOut.push_back(nameOf(newest));
            continue;
        }
        Cue cue;
        cue.startMs = framesToMilliseconds(start, rate);
        cue.endMs = framesToMilliseconds(end, rate);
        const Subtitle& first = document.subtitles[display.parts.front()];
        cue.justification = first.justification;
        cue.subtitle = display.parts.back();
        cue.comment = newest.comment;
        cue.parts = std::move(display.parts);
        list.cues.push_back(std::move(cue));
    }
    if (!leftOut.empty())
        list.notes.push_back(listNote(leftOut.size(),
                                      "left out (out-time not after in-time, or before the "
                                      "programme start)",
                                      leftOut));

    // Players need starts that never decrease; cues out of order move, the rest keep file order.
    std::vector<std::string> moved;
    std::int64_t latest = 0;
    for (std::size_t i = 0; i < list.cues.size(); ++i) {
        if (list.cues[i].startMs < latest)
            moved.push_back(nameOf(document.subtitles[list.cues[i].subtitle]));
        latest = std::max(latest, list.cues[i].startMs);
    }
    if (!moved.empty()) {
        std::stable_sort(list.cues.begin(), list.cues.end(),
                         [](const Cue& a, const Cue& b) { return a.startMs < b.startMs; });
        list.notes.push_back(listNote(moved.size(), "written in start-time order", moved));
    }
    return list;
}
