#pragma once

#include <vector>

namespace cli {

// Rules switched on in the plug-in's settings store, in number order. The plug-in writes every
// rule's value there when it is created, so this is complete once the plug-in is bound.
std::vector<int> enabledRules();

}  // namespace cli
