#pragma once
// What the validation of one input came to, wherever it ran.

#include <string>
#include <vector>

#include "host/PluginHost.h"

namespace cli {

struct FileResult {
    bool validated = false;
    std::string reason;  // why it was not validated
    std::vector<CustomReport> reports;
    std::vector<std::string> hostLines;    // the host's diagnostics during the run
    std::vector<std::string> pluginLines;  // what the plug-in wrote on stderr during the run
};

}  // namespace cli
