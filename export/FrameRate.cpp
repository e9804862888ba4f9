#include "FrameRate.h"

#include <string>

std::optional<FrameRate> frameRateOf(const GeneralSubtitleInformation& gsi) {
    const std::string code = toUpperAscii(fieldText(gsi.bytes, gsi::diskFormatCode));
    if (code == "STL23.01") return FrameRate{24, 24000, 1001};
    if (code == "STL24.01") return FrameRate{24, 24, 1};
    if (code == "STL25.01") return FrameRate{25, 25, 1};
    if (code == "STL29.01") return FrameRate{30, 30000, 1001};
    if (code == "STL30.01") return FrameRate{30, 30, 1};
    if (code == "STL50.01") return FrameRate{50, 50, 1};
    return std::nullopt;
}

std::int64_t frameCount(const TimeCode& tc, const FrameRate& rate) {
    const std::int64_t seconds = tc.hours * 3600 + tc.minutes * 60 + tc.seconds;
    return seconds * rate.framesPerTimeCodeSecond + tc.frames;
}

std::int64_t framesToMilliseconds(std::int64_t frames, const FrameRate& rate) {
    const std::int64_t scaled = frames * 1000 * rate.denominator;
    const std::int64_t half = rate.numerator / 2;
    return scaled >= 0 ? (scaled + half) / rate.numerator : -((-scaled + half) / rate.numerator);
}

std::optional<TimeCode> startOfProgramme(const GeneralSubtitleInformation& gsi) {
    return gsiTimeCode(gsi, gsi::timeCodeStartOfProgramme);
}
