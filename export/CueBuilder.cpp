#include "CueBuilder.h"

#include <algorithm>

namespace {

bool continuesSet(std::uint8_t status) {
    return status == 2 || status == 3;
}

class Clock {
public:
    explicit Clock(const CueTiming& timing)
        : m_rate(timing.rate), m_offset(timing.offset ? frameCount(*timing.offset, m_rate) : 0) {}
    std::int64_t ms(const TimeCode& tc) const {
        return std::max<std::int64_t>(
            0, framesToMilliseconds(frameCount(tc, m_rate) - m_offset, m_rate));
    }

private:
    FrameRate m_rate;
    std::int64_t m_offset;
};

}  // namespace

std::vector<Cue> buildCues(const std::vector<Subtitle>& subtitles, const CueTiming& timing) {
    const Clock clock(timing);
    std::vector<Cue> cues;
    StyledText onScreen;
    bool inSet = false;
    for (std::size_t i = 0; i < subtitles.size(); ++i) {
        const Subtitle& subtitle = subtitles[i];
        const std::uint8_t status = subtitle.cumulativeStatus;
        if (inSet && continuesSet(status))
            onScreen.insert(onScreen.end(), subtitle.text.begin(), subtitle.text.end());
        else
            onScreen = subtitle.text;
        inSet = status == 1 || (inSet && status == 2);

        Cue cue;
        cue.startMs = clock.ms(subtitle.in);
        cue.endMs = clock.ms(subtitle.out);
        if (inSet && i + 1 < subtitles.size() && continuesSet(subtitles[i + 1].cumulativeStatus))
            cue.endMs = std::min(cue.endMs, clock.ms(subtitles[i + 1].in));
        cue.endMs = std::max(cue.endMs, cue.startMs);
        if (onScreen.empty()) continue;
        cue.text = onScreen;
        cues.push_back(std::move(cue));
    }
    return cues;
}
