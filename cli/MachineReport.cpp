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

void writeReport(std::ostream& out, OutputFormat format, const std::vector<ReportEntry>& entries,
                 const std::vector<int>& rules, FailOn failOn) {
    const ReportSpill spill{&out};
    std::string text;
    switch (format) {
        case OutputFormat::Json:
            writeJson(text, entries, spill);
            break;
        case OutputFormat::Sarif:
            writeSarif(text, entries, failOn, spill);
            break;
        case OutputFormat::Csv:
            writeCsv(text, entries, spill);
            break;
        default:
            text = formatReport(format, entries, rules, failOn);
            break;
    }
    out << text;
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
