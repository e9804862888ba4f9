#pragma once
// The plug-in's rule listing (see report/RuleListing.h) as --list-rules prints it, and the
// delivery rules it shows switched on.

#include <string>
#include <vector>

#include "report/RuleListing.h"

namespace cli {

using report::FIRST_DELIVERY_RULE;
using report::ListedRule;
using report::listedRules;

// Aligned columns under a heading line.
std::string formatRuleListing(const std::string& listing);
// Rules from 501 on that the listing shows "on", in its order.
std::vector<int> deliveryRulesOn(const std::string& listing);

}  // namespace cli
