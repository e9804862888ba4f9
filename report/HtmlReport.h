#pragma once
// The validation report as one HTML page a person can read and send on: what was checked, then
// per file its header's essentials, counts per severity and per rule, and the findings grouped by
// rule with their subtitles' text; layout findings show the subtitle drawn as it would appear.
// The page stands alone: its style is inline, it needs no script and fetches nothing.

#include <cstddef>
#include <string>
#include <vector>

#include "RunChecks.h"
#include "host/FindingPlace.h"
#include "host/ReportList.h"

namespace report {

struct CheckedFile {
    std::string path;      // as given; the name the report shows
    std::string fullPath;  // read again for the header and the subtitles
    bool validated = false;
    std::string reason;  // why it was not validated
    const std::vector<CustomReport>* reports = nullptr;
    // One per report, or fewer; a finding without one is about no block.
    const std::vector<validationhost::FindingPlace>* places = nullptr;
};

struct HtmlOptions {
    std::string program = "lumtrace-validate";
    std::string date;  // of the run, as shown
    // Per rule and file, the findings shown whole, then those listed by subtitle alone; the rest
    // are counted, so that a run with hundreds of thousands of findings still opens.
    std::size_t shownPerRule = 200;
    std::size_t listedPerRule = 2000;
};

std::string htmlReport(const RunChecks& checks, const std::vector<CheckedFile>& files,
                       const HtmlOptions& options);

// Now, local time: "2026-03-01 14:05".
std::string currentDate();

}  // namespace report
