#include "SettingOverrides.h"

#include <map>

#include "RuleListing.h"
#include "plugin/delivery/DeliveryRules.h"

namespace cli {
namespace {

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The listing shows thresholds with their unit ("15.5 cps"); colours are names alone.
std::string thresholdValue(const DeliveryRule& rule, const std::string& shown) {
    if (rule.kind == ThresholdKind::Colours) return shown;
    return shown.substr(0, shown.find(' '));
}

}  // namespace

std::string settingError(const SettingRequest& setting) {
    DeliverySettings defaults;
    DeliveryRule* rule = defaults.find(setting.rule);
    if (!rule) return "unknown rule " + std::to_string(setting.rule);
    if (setThresholdFromText(*rule, setting.value)) return {};
    const std::string allowed = rule->kind == ThresholdKind::None
                                    ? "it has no threshold"
                                    : "allowed is " + allowedThresholdText(*rule);
    return "bad threshold \"" + setting.value + "\" for rule " + std::to_string(setting.rule) +
           ": " + allowed;
}

std::string profileWithSettings(const std::string& listing,
                                const std::vector<SettingRequest>& settings,
                                const std::string& name) {
    std::map<int, ListedRule> listed;
    for (ListedRule& rule : listedRules(listing)) listed[rule.id] = std::move(rule);
    DeliverySettings inForce;
    std::vector<std::string> types(inForce.rules().size());
    for (std::size_t i = 0; i < types.size(); ++i) {
        DeliveryRule& rule = *inForce.find(inForce.rules()[i].id);
        const auto shown = listed.find(rule.id);
        if (shown == listed.end()) continue;
        rule.enabled = shown->second.on;
        if (rule.kind != ThresholdKind::None)
            setThresholdFromText(rule, thresholdValue(rule, shown->second.threshold));
        types[i] = lower(shown->second.type);
    }
    for (const SettingRequest& setting : settings) {
        if (DeliveryRule* rule = inForce.find(setting.rule)) {
            rule->enabled = true;
            setThresholdFromText(*rule, setting.value);
        }
    }
    std::string text = "[profile]\nname = " + name + "\n";
    for (std::size_t i = 0; i < inForce.rules().size(); ++i) {
        const DeliveryRule& rule = inForce.rules()[i];
        text +=
            "[" + std::to_string(rule.id) + "]\nenabled = " + (rule.enabled ? "yes" : "no") + "\n";
        if (!types[i].empty()) text += "type = " + types[i] + "\n";
        if (rule.kind != ThresholdKind::None)
            text += "threshold = " + editableThresholdText(rule) + "\n";
    }
    return text;
}

}  // namespace cli
