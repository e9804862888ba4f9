#pragma once
// What lumtrace-fix lists: the changes of a repair and what it left unfixed, as lines for a
// person or as JSON.

#include <iosfwd>
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
    bool unchanged = false;  // --in-place with nothing to change: the file was left alone
};

void textReport(std::ostream& out, const FixRun& run, const Proposal& proposal);
void jsonReport(std::ostream& out, const FixRun& run, const Proposal& proposal);

}  // namespace repair
