#pragma once
// --set RULE=VALUE: delivery rule thresholds for one run. The plug-in takes delivery settings
// for a run only as a profile, so the settings in force (saved or from --profile) and the ones
// given are written as a profile of their own, checked as profile files are checked.

#include <string>
#include <vector>

#include "CommandLine.h"

namespace cli {

// Why Setting cannot be used, in the words a profile file gets; empty when it can.
std::string settingError(const SettingRequest& setting);

// A profile text with the delivery rules of Listing (the plug-in's rule listing) and Settings on
// top of them, each of those switched on.
std::string profileWithSettings(const std::string& listing,
                                const std::vector<SettingRequest>& settings,
                                const std::string& name);

}  // namespace cli
