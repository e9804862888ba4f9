#include "RunChecks.h"

#include <filesystem>

#include "plugin/delivery/DeliveryProfiles.h"

namespace cli {

RunChecks runChecks(const CommandLine& line, const std::string& listing) {
    RunChecks checks;
    checks.version = report::programVersion();
    checks.profile = line.profile;
    std::error_code error;
    if (line.profile && std::filesystem::is_regular_file(*line.profile, error)) {
        checks.profileFile = std::filesystem::absolute(*line.profile, error).string();
    } else if (line.profile) {
        // A shipped or user's profile by name: the file it was read from, found as the plug-in
        // finds it.
        if (const std::optional<DeliveryProfile> found = findProfile(*line.profile))
            checks.profileFile = found->path;
    }
    for (const SettingRequest& setting : line.settings)
        checks.settings.push_back(std::to_string(setting.rule) + "=" + setting.value);
    report::addListedRules(checks, listing);
    return checks;
}

std::string checksLine(const RunChecks& checks) {
    std::string text;
    if (checks.profile) text += "profile=" + *checks.profile + "; ";
    if (checks.profileFile) text += "file=" + *checks.profileFile + "; ";
    for (const std::string& setting : checks.settings) text += "set=" + setting + "; ";
    text += "version=" + checks.version + "; rules=";
    for (std::size_t i = 0; i < checks.deliveryRules.size(); ++i) {
        const CheckedRule& rule = checks.deliveryRules[i];
        text += (i ? ", " : "") + std::to_string(rule.id);
        if (!rule.threshold.empty()) text += " (" + rule.threshold + ")";
    }
    return text;
}

}  // namespace cli
