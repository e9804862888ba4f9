#include "MachineReport.h"

#include <cstdlib>

#include "plugin_api/QuorvexControlInterface.h"

namespace cli {

int ruleId(const std::string& message) {
    if (message.size() < 3 || message[0] != '[') return 0;
    const std::size_t close = message.find(']');
    if (close == std::string::npos || close == 1 || close > 10) return 0;
    int id = 0;
    for (std::size_t i = 1; i < close; ++i) {
        if (message[i] < '0' || message[i] > '9') return 0;
        id = id * 10 + (message[i] - '0');
    }
    return id;
}

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
        default:
            return {};
    }
}

}  // namespace cli
