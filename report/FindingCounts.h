#pragma once
// Findings counted by report type, per file and over a run.

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "host/ReportList.h"

namespace report {

struct FindingCounts {
    std::size_t errors = 0;
    std::size_t warnings = 0;
    std::size_t infos = 0;
    std::size_t others = 0;  // None and unknown types
    std::size_t total() const { return errors + warnings + infos + others; }
    void add(std::int32_t reportType, std::size_t count = 1);
};
FindingCounts countFindings(const std::vector<CustomReport>& reports);
FindingCounts countFindings(const std::map<std::int32_t, std::size_t>& countByType);

struct BatchTotals {
    std::size_t files = 0;
    std::size_t validated = 0;
    std::size_t withErrors = 0;    // validated files with at least one Error finding
    std::size_t withWarnings = 0;  // validated files with at least one Warning finding
    std::size_t notValidated = 0;
    FindingCounts findings;

    void add(bool wasValidated, const FindingCounts& counts);
};

}  // namespace report
