#pragma once
// Time codes as frames and as text, for the repair's parameters and its changes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "stl/StlUtils.h"

namespace repair {

// Frames in one day at FramesPerSecond: the first that no time code can hold.
inline std::int64_t dayFrames(int framesPerSecond) {
    return std::int64_t{24} * 3600 * framesPerSecond;
}

// HH:MM:SS:FF or HHMMSSFF, each part in range at FramesPerSecond.
std::optional<std::int64_t> timeCodeFrames(std::string_view text, int framesPerSecond);
// The same with an optional leading sign.
std::optional<std::int64_t> signedTimeCodeFrames(std::string_view text, int framesPerSecond);
// The time code of a frame count within the day; none outside it.
std::optional<TimeCode> timeCodeOfFrames(std::int64_t frames, int framesPerSecond);
// A header time code field's value (HHMMSSFF, digits only, in range); none for anything else.
std::optional<std::int64_t> headerTimeCode(const GeneralSubtitleInformation& gsi,
                                           const StlField& field, int framesPerSecond);

}  // namespace repair
