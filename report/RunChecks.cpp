#include "RunChecks.h"

#include "RuleListing.h"

namespace report {

std::string programVersion() {
    return LUMTRACE_VERSION_TEXT;
}

void addListedRules(RunChecks& checks, const std::string& listing) {
    for (ListedRule& rule : listedRules(listing)) {
        if (rule.id >= FIRST_DELIVERY_RULE && rule.on)
            checks.deliveryRules.push_back({rule.id, rule.type, rule.threshold, rule.name});
        checks.ruleNames[rule.id] = std::move(rule.name);
    }
}

}  // namespace report
