#pragma once
// Time codes to milliseconds at the frame rate the disk format code names. The 23.976 and 29.97
// codes count frames on a 24 and a 30 frame grid without dropping any, so a frame lasts
// 1001/24000 or 1001/30000 of a second and the times follow the picture, not the labels.

#include <cstdint>
#include <optional>

#include "stl/StlTypes.h"
#include "stl/StlUtils.h"

struct FrameRate {
    int framesPerTimeCodeSecond;  // the grid the time codes count on
    std::int64_t numerator;       // frames per second as numerator / denominator
    std::int64_t denominator;
};

// From the trimmed, upper-cased disk format code; nullopt for a code that names no frame rate.
std::optional<FrameRate> frameRateOf(const GeneralSubtitleInformation& gsi);

std::int64_t frameCount(const TimeCode& tc, const FrameRate& rate);
// Rounded to the nearest millisecond; negative counts give negative times.
std::int64_t framesToMilliseconds(std::int64_t frames, const FrameRate& rate);

// The GSI's start-of-programme time code (HHMMSSFF); nullopt unless it is eight digits.
std::optional<TimeCode> startOfProgramme(const GeneralSubtitleInformation& gsi);
