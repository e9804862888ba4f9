#include "Timeline.h"

#include <algorithm>

namespace subtitle {
namespace {

bool continuesSet(std::uint8_t status) {
    return status == 2 || status == 3;
}

void sliceSet(const std::vector<Subtitle>& subtitles, const std::vector<std::size_t>& set, int fps,
              std::vector<Display>& out) {
    if (set.size() == 1) {
        const Subtitle& s = subtitles[set.front()];
        out.push_back({frameOf(s.in, fps), frameOf(s.out, fps), {set.front()}});
        return;
    }
    std::vector<std::int64_t> times;
    for (const std::size_t i : set) {
        times.push_back(frameOf(subtitles[i].in, fps));
        times.push_back(frameOf(subtitles[i].out, fps));
    }
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    bool any = false;
    for (std::size_t t = 0; t + 1 < times.size(); ++t) {
        Display display{times[t], times[t + 1], {}};
        for (const std::size_t i : set) {
            const std::int64_t in = frameOf(subtitles[i].in, fps);
            const std::int64_t end = frameOf(subtitles[i].out, fps);
            if (in <= display.start && end >= display.end) display.parts.push_back(i);
        }
        if (display.parts.empty()) continue;
        out.push_back(std::move(display));
        any = true;
    }
    // A set none of whose parts lasts still names its first part.
    if (!any) out.push_back({times.front(), times.front(), {set.front()}});
}

}  // namespace

std::int64_t frameOf(const TimeCode& tc, int framesPerSecond) {
    return (std::int64_t{tc.hours} * 3600 + tc.minutes * 60 + tc.seconds) * framesPerSecond +
           tc.frames;
}

std::optional<std::int64_t> headerFrames(const GeneralSubtitleInformation& gsi,
                                         const StlField& field, int framesPerSecond) {
    const auto time = gsiTimeCode(gsi, field);
    if (!time) return std::nullopt;
    return frameOf(*time, framesPerSecond);
}

std::vector<Display> timeline(const std::vector<Subtitle>& subtitles,
                              const TimelineSettings& settings) {
    std::vector<Display> out;
    out.reserve(subtitles.size());
    std::vector<std::size_t> set;
    const auto flush = [&] {
        if (!set.empty()) sliceSet(subtitles, set, settings.framesPerSecond, out);
        set.clear();
    };
    bool inSet = false;
    for (std::size_t i = 0; i < subtitles.size(); ++i) {
        const Subtitle& s = subtitles[i];
        if (s.comment) {
            // Comments are never part of a set; shown alone when asked for.
            if (settings.includeComments)
                out.push_back({frameOf(s.in, settings.framesPerSecond),
                               frameOf(s.out, settings.framesPerSecond),
                               {i}});
            continue;
        }
        if (!(inSet && continuesSet(s.cumulative))) flush();
        set.push_back(i);
        inSet = s.cumulative == 1 || (inSet && s.cumulative == 2);
        if (!inSet) flush();
    }
    flush();
    return out;
}

}  // namespace subtitle
