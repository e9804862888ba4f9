#pragma once
// What a run checked, for the reports to record: program version, the delivery profile and
// settings given for the run, and the delivery rules switched on with their thresholds.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace report {

struct CheckedRule {
    int id = 0;
    std::string type;       // "Warning"
    std::string threshold;  // as the plug-in lists it ("2 frames"); may be empty
    std::string name;       // "TTI - Minimum gap check"
};

struct RunChecks {
    std::string version;
    std::optional<std::string> profile;      // --profile as given
    std::optional<std::string> profileFile;  // its absolute path when it names a file
    std::vector<std::string> settings;       // --set RULE=VALUE, as given
    std::vector<CheckedRule> deliveryRules;  // switched on, in number order
    std::map<int, std::string> ruleNames;    // every rule the plug-in lists, for titles

    // A profile or a setting made this run differ from the saved settings.
    bool chosen() const { return profile.has_value() || !settings.empty(); }
};

// The version of this build.
std::string programVersion();

// Delivery rules switched on and the names of all rules, from the plug-in's rule listing (see
// RuleListing.h); an empty listing adds nothing.
void addListedRules(RunChecks& checks, const std::string& listing);

}  // namespace report
