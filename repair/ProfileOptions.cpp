#include "ProfileOptions.h"

namespace repair {

Options profileOptions(const DeliverySettings& settings, int framesPerSecond) {
    Options options;
    for (const Fix fix : {Fix::BlockCount, Fix::SubtitleCount, Fix::GroupCount, Fix::Revision})
        add(options.fixes, fix);
    const auto on = [&settings](std::int32_t id) -> const DeliveryRule* {
        const DeliveryRule* rule = settings.find(id);
        return rule && rule->enabled ? rule : nullptr;
    };
    Parameters& p = options.parameters;
    const std::int64_t fps = framesPerSecond;
    // Without a gap rule, an overlap is ended at the next in-time itself.
    p.gapFrames = 0;
    if (on(501)) add(options.fixes, Fix::Overlap);
    if (const DeliveryRule* gap = on(502)) {
        add(options.fixes, Fix::Gap);
        p.gapFrames = gap->threshold;
    }
    if (const DeliveryRule* shortest = on(503)) {
        add(options.fixes, Fix::MinDuration);
        p.minDurationFrames = (std::int64_t{shortest->threshold} * fps + 999) / 1000;
    }
    if (const DeliveryRule* longest = on(504)) {
        add(options.fixes, Fix::MaxDuration);
        p.maxDurationFrames = std::int64_t{longest->threshold} * fps / 1000;
    }
    if (on(509)) add(options.fixes, Fix::StartOfProgramme);
    if (on(510)) add(options.fixes, Fix::FirstInCue);
    if (on(512)) add(options.fixes, Fix::DisplayStandard);
    if (on(518)) add(options.fixes, Fix::UnusedSpace);
    return options;
}

std::optional<DeliveryProfile> findRepairProfile(const std::string& nameOrFile,
                                                 std::string* error) {
    return findProfile(nameOrFile, error);
}

}  // namespace repair
