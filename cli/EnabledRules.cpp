#include "EnabledRules.h"

#include <cstdint>
#include <string>

#include "platform/Registry.h"

namespace cli {
namespace {

constexpr const char* RULE_SETTINGS_KEY =
    "SOFTWARE\\Vantorel\\Quorvex\\Modules\\Sievra\\ValidationSettings";
// Rule numbers have three digits.
constexpr int FIRST_RULE = 100;
constexpr int LAST_RULE = 999;

}  // namespace

std::vector<int> enabledRules() {
    std::vector<int> rules;
    const auto key = platform::RegistryKey::open(RULE_SETTINGS_KEY, false);
    if (!key) return rules;
    for (int rule = FIRST_RULE; rule <= LAST_RULE; ++rule) {
        std::uint32_t enabled = 0;
        if (key->readDWord(std::to_string(rule) + "_Enabled", enabled) && enabled != 0)
            rules.push_back(rule);
    }
    return rules;
}

}  // namespace cli
