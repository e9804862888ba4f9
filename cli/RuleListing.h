#pragma once
// The plug-in's rule listing (one rule a line: ID, on/off, type, threshold, name, tab-separated)
// as --list-rules prints it, and the delivery rules it shows switched on.

#include <string>
#include <vector>

namespace cli {

constexpr int FIRST_DELIVERY_RULE = 501;

struct ListedRule {
    int id = 0;
    bool on = false;
    std::string type, threshold, name;
};
std::vector<ListedRule> listedRules(const std::string& listing);

// Aligned columns under a heading line.
std::string formatRuleListing(const std::string& listing);
// Rules from 501 on that the listing shows "on", in its order.
std::vector<int> deliveryRulesOn(const std::string& listing);

}  // namespace cli
