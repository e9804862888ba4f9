#pragma once
// What lumtrace-fix lists: the changes of a repair and what it left unfixed, as lines for a
// person or as JSON.

#include <optional>
#include <string>

#include "Repair.h"

namespace repair {

struct FixRun {
    std::string input;
    std::string output;  // empty for a dry run without one
    std::optional<std::string> profile;
    Options options;
    bool dryRun = false;
};

std::string textReport(const FixRun& run, const Proposal& proposal);
std::string jsonReport(const FixRun& run, const Proposal& proposal);

}  // namespace repair
