#include "FindingCounts.h"

#include "stl/ReportFunction.h"

namespace report {

void FindingCounts::add(std::int32_t reportType, std::size_t count) {
    switch (reportType) {
        case REPORT_TYPE_ERROR:
            errors += count;
            break;
        case REPORT_TYPE_WARNING:
            warnings += count;
            break;
        case REPORT_TYPE_INFO:
            infos += count;
            break;
        default:
            others += count;
    }
}

FindingCounts countFindings(const std::vector<CustomReport>& reports) {
    FindingCounts counts;
    for (const CustomReport& report : reports) counts.add(report.reportType);
    return counts;
}

FindingCounts countFindings(const std::map<std::int32_t, std::size_t>& countByType) {
    FindingCounts counts;
    for (const auto& [type, count] : countByType) counts.add(type, count);
    return counts;
}

void BatchTotals::add(bool wasValidated, const FindingCounts& counts) {
    ++files;
    if (!wasValidated) {
        ++notValidated;
    } else {
        ++validated;
        if (counts.errors > 0) ++withErrors;
        if (counts.warnings > 0) ++withWarnings;
    }
    findings.errors += counts.errors;
    findings.warnings += counts.warnings;
    findings.infos += counts.infos;
    findings.others += counts.others;
}

}  // namespace report
