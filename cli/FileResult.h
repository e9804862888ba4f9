#pragma once
// What the validation of one input came to, wherever it ran.

#include <string>
#include <vector>

#include "FindingsTable.h"
#include "host/FindingPlace.h"
#include "host/PluginHost.h"

namespace cli {

using validationhost::appendTimeCode;
using validationhost::FindingPlace;
using validationhost::locateFindings;
using validationhost::placedMessage;
using validationhost::subtitleText;

struct FileResult {
    bool validated = false;
    std::string reason;  // why it was not validated
    FindingCounts counts;
    std::vector<CustomReport> reports;     // left empty when only the counts were asked for
    std::vector<FindingPlace> places;      // one per report
    std::vector<std::string> hostLines;    // the host's diagnostics during the run
    std::vector<std::string> pluginLines;  // what the plug-in wrote on stderr during the run

    // The place of Reports[Index]; one without block or bytes when none was found.
    FindingPlace placeOf(std::size_t index) const {
        return index < places.size() ? places[index] : FindingPlace{};
    }
};

}  // namespace cli
