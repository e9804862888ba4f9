#pragma once
// What a run checked, for the reports to record: program version, the delivery profile and
// settings given on the command line, and the delivery rules switched on with their thresholds.

#include <optional>
#include <string>
#include <vector>

#include "CommandLine.h"

namespace cli {

struct CheckedRule {
    int id = 0;
    std::string type;       // "Warning"
    std::string threshold;  // as the plug-in lists it ("2 frames"); may be empty
};

struct RunChecks {
    std::string version;
    std::optional<std::string> profile;      // --profile as given
    std::optional<std::string> profileFile;  // its absolute path when it names a file
    std::vector<std::string> settings;       // --set RULE=VALUE, as given
    std::vector<CheckedRule> deliveryRules;  // switched on, in number order

    // A profile or a setting made this run differ from the saved settings.
    bool chosen() const { return profile.has_value() || !settings.empty(); }
};

// Listing: the plug-in's rule listing (see RuleListing.h); empty when it has none.
RunChecks runChecks(const CommandLine& line, const std::string& listing);

// "profile=teletext; file=...; set=505=15.5; version=2.0; rules=502 (2 frames), 505 (15)": one
// line for formats without a place for structured data.
std::string checksLine(const RunChecks& checks);

}  // namespace cli
