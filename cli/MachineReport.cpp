#include "MachineReport.h"

#include <cstdlib>

#include "plugin_api/QuorvexControlInterface.h"

namespace cli {

bool isFailure(std::int32_t reportType, FailOn failOn) {
    switch (failOn) {
        case FailOn::Error:
            return reportType == REPORT_TYPE_ERROR;
        case FailOn::Warning:
            return reportType == REPORT_TYPE_ERROR || reportType == REPORT_TYPE_WARNING;
        case FailOn::Never:
            break;
    }
    return false;
}

std::string formatReport(OutputFormat format, const std::vector<ReportEntry>& entries,
                         const std::vector<int>& rules, FailOn failOn) {
    switch (format) {
        case OutputFormat::Json:
            return formatJson(entries);
        case OutputFormat::Sarif:
            return formatSarif(entries, failOn);
        case OutputFormat::Junit:
            return formatJunit(entries, rules, failOn);
        case OutputFormat::Csv:
            return formatCsv(entries);
        case OutputFormat::Html:
            return formatHtml(entries);
        default:
            return {};
    }
}

}  // namespace cli
