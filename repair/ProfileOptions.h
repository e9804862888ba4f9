#pragma once
// The fixes a delivery profile asks for: those that address the rules it switches on, with its
// thresholds as their parameters, so that the repaired file passes those rules where it can. The
// header counts are always fixed: every validation checks them.

#include <optional>
#include <string>

#include "Fixes.h"
#include "plugin/delivery/DeliveryProfiles.h"

namespace repair {

// Milliseconds are converted at FramesPerSecond, rounded so that the rule is met.
Options profileOptions(const DeliverySettings& settings, int framesPerSecond);

// A shipped profile by key or name (teletext, teletext-children, streaming), a user's, or a file.
std::optional<DeliveryProfile> findRepairProfile(const std::string& nameOrFile,
                                                 std::string* error = nullptr);

}  // namespace repair
