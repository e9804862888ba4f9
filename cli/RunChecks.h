#pragma once
// What a run checked (see report/RunChecks.h) as the command line and the plug-in say.

#include <string>

#include "CommandLine.h"
#include "report/RunChecks.h"

namespace cli {

using report::CheckedRule;
using report::RunChecks;

// Listing: the plug-in's rule listing (see RuleListing.h); empty when it has none.
RunChecks runChecks(const CommandLine& line, const std::string& listing);

// "profile=teletext; file=...; set=505=15.5; version=2.0; rules=502 (2 frames), 505 (15)": one
// line for formats without a place for structured data.
std::string checksLine(const RunChecks& checks);

}  // namespace cli
