#include "Fixes.h"

#include <charconv>

#include "TimeText.h"

namespace repair {
namespace {

struct FixInfo {
    Fix fix;
    const char* name;
    const char* description;
};

constexpr std::array<FixInfo, FIX_COUNT> FIXES = {{
    {Fix::Shift, "shift", "Every time code, TCP and TCF moved by the same amount"},
    {Fix::OutBeforeIn, "out-before-in",
     "An out-time not after its in-time set to the in-time plus the minimum duration"},
    {Fix::MaxDuration, "max-duration", "Out-times cut to the maximum duration"},
    {Fix::Overlap, "overlap", "Overlapping subtitles ended at the next in-time minus the gap"},
    {Fix::Gap, "gap", "Subtitles ended sooner to keep the minimum gap to the next"},
    {Fix::MinDuration, "min-duration",
     "Out-times extended to the minimum duration where the time up to the next subtitle allows"},
    {Fix::UnusedSpace, "unused-space", "Bytes after the end of a text set to 8Fh"},
    {Fix::TrailingSpaces, "trailing-spaces", "Spaces at the end of a row removed"},
    {Fix::Renumber, "renumber", "Subtitle numbers renumbered in file order"},
    {Fix::BlockCount, "tnb", "TNB set to the number of blocks present"},
    {Fix::SubtitleCount, "tns", "TNS set to the number of subtitles counted"},
    {Fix::GroupCount, "tng", "TNG set to the number of subtitle groups used"},
    {Fix::FirstInCue, "tcf", "TCF set to the first subtitle's in-time"},
    {Fix::StartOfProgramme, "tcp",
     "TCP set to a given time code, or to the whole hour at or before the first in-cue"},
    {Fix::DisplayStandard, "dsc",
     "DSC set from the control codes the text uses when it contradicts them"},
    {Fix::Revision, "revision", "Revision date set to today and revision number raised"},
}};

const FixInfo& info(Fix fix) {
    for (const FixInfo& i : FIXES)
        if (i.fix == fix) return i;
    return FIXES.front();
}

bool fail(std::string* error, std::string text) {
    if (error) *error = std::move(text);
    return false;
}

std::optional<std::int64_t> wholeNumber(std::string_view text) {
    std::int64_t value = 0;
    const bool sign = !text.empty() && (text.front() == '-' || text.front() == '+');
    const std::string_view digits = sign ? text.substr(1) : text;
    if (digits.empty() || digits.size() > 9) return std::nullopt;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return sign && text.front() == '-' ? -value : value;
}

}  // namespace

std::array<Fix, FIX_COUNT> allFixes() {
    std::array<Fix, FIX_COUNT> fixes{};
    for (std::size_t i = 0; i < FIX_COUNT; ++i) fixes[i] = FIXES[i].fix;
    return fixes;
}

const char* fixName(Fix fix) {
    return info(fix).name;
}

const char* fixDescription(Fix fix) {
    return info(fix).description;
}

std::optional<Fix> fixFromName(std::string_view name) {
    for (const FixInfo& i : FIXES)
        if (name == i.name) return i.fix;
    return std::nullopt;
}

std::array<const char*, 6> parameterNames() {
    return {"gap", "min-duration", "max-duration", "shift", "tcp", "revision-date"};
}

bool setParameter(Options& options, std::string_view name, std::string_view value,
                  int framesPerSecond, std::string* error) {
    Parameters& p = options.parameters;
    const std::string what = std::string(name) + "=" + std::string(value);
    if (name == "gap" || name == "min-duration" || name == "max-duration") {
        const auto frames = wholeNumber(value);
        if (!frames || *frames < 0 || value.front() == '-' || value.front() == '+')
            return fail(error,
                        what + ": a number of frames is wanted, e.g. " + std::string(name) + "=2");
        const Fix fix = name == "gap"            ? Fix::Gap
                        : name == "min-duration" ? Fix::MinDuration
                                                 : Fix::MaxDuration;
        (fix == Fix::Gap           ? p.gapFrames
         : fix == Fix::MinDuration ? p.minDurationFrames
                                   : p.maxDurationFrames) = *frames;
        add(options.fixes, fix);
        return true;
    }
    if (name == "shift") {
        auto frames = wholeNumber(value);
        if (!frames) frames = signedTimeCodeFrames(value, framesPerSecond);
        if (!frames)
            return fail(error, what +
                                   ": frames or a signed time code are wanted, e.g. shift=-25 "
                                   "or shift=-00:00:01:00");
        p.shiftFrames = *frames;
        add(options.fixes, Fix::Shift);
        return true;
    }
    if (name == "tcp") {
        const auto frames = timeCodeFrames(value, framesPerSecond);
        if (!frames) return fail(error, what + ": a time code is wanted, e.g. tcp=10:00:00:00");
        p.startOfProgrammeFrames = *frames;
        add(options.fixes, Fix::StartOfProgramme);
        return true;
    }
    if (name == "revision-date") {
        const bool digits =
            value.size() == 6 && value.find_first_not_of("0123456789") == std::string_view::npos;
        if (!digits)
            return fail(error, what + ": a date YYMMDD is wanted, e.g. revision-date=240131");
        p.revisionDate = std::string(value);
        add(options.fixes, Fix::Revision);
        return true;
    }
    return fail(error, "no parameter named " + std::string(name) +
                           " (gap, min-duration, max-duration, shift, tcp, revision-date)");
}

}  // namespace repair
