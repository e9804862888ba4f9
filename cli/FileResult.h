#pragma once
// What the validation of one input came to, wherever it ran.

#include <string>
#include <vector>

#include "FindingsTable.h"
#include "host/PluginHost.h"

namespace cli {

struct FileResult {
    bool validated = false;
    std::string reason;  // why it was not validated
    FindingCounts counts;
    std::vector<CustomReport> reports;     // left empty when only the counts were asked for
    std::vector<std::string> hostLines;    // the host's diagnostics during the run
    std::vector<std::string> pluginLines;  // what the plug-in wrote on stderr during the run
};

}  // namespace cli
