#include "TimeText.h"

namespace repair {
namespace {

std::optional<std::int64_t> fromParts(const int parts[4], int fps) {
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59 || parts[3] >= fps) return std::nullopt;
    return (std::int64_t{parts[0]} * 3600 + parts[1] * 60 + parts[2]) * fps + parts[3];
}

}  // namespace

std::optional<std::int64_t> timeCodeFrames(std::string_view text, int fps) {
    const bool colons = text.size() == 11;
    if (!colons && text.size() != 8) return std::nullopt;
    int parts[4] = {};
    for (int i = 0; i < 4; ++i) {
        const std::size_t at = static_cast<std::size_t>(colons ? i * 3 : i * 2);
        const char a = text[at], b = text[at + 1];
        if (a < '0' || a > '9' || b < '0' || b > '9') return std::nullopt;
        if (colons && i < 3 && text[at + 2] != ':') return std::nullopt;
        parts[i] = (a - '0') * 10 + (b - '0');
    }
    return fromParts(parts, fps);
}

std::optional<std::int64_t> signedTimeCodeFrames(std::string_view text, int fps) {
    if (text.empty()) return std::nullopt;
    const char sign = text.front();
    if (sign != '-' && sign != '+') return timeCodeFrames(text, fps);
    const auto frames = timeCodeFrames(text.substr(1), fps);
    if (!frames) return std::nullopt;
    return sign == '-' ? -*frames : *frames;
}

std::optional<TimeCode> timeCodeOfFrames(std::int64_t frames, int fps) {
    if (frames < 0 || frames >= dayFrames(fps)) return std::nullopt;
    const std::int64_t seconds = frames / fps;
    return TimeCode{
        static_cast<std::uint8_t>(seconds / 3600), static_cast<std::uint8_t>(seconds / 60 % 60),
        static_cast<std::uint8_t>(seconds % 60), static_cast<std::uint8_t>(frames % fps)};
}

std::optional<std::int64_t> headerTimeCode(const GeneralSubtitleInformation& gsi,
                                           const StlField& field, int fps) {
    const auto time = gsiTimeCode(gsi, field);
    if (!time) return std::nullopt;
    const int parts[4] = {time->hours, time->minutes, time->seconds, time->frames};
    return fromParts(parts, fps);
}

}  // namespace repair
