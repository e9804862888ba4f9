// The HTML report of a run, through the report library.

#include "MachineReport.h"
#include "report/HtmlReport.h"

namespace cli {

std::string formatHtml(const std::vector<ReportEntry>& entries) {
    std::vector<report::CheckedFile> files;
    files.reserve(entries.size());
    for (const ReportEntry& entry : entries)
        files.push_back({entry.path, entry.fullPath, entry.result->validated, entry.result->reason,
                         &entry.result->reports, &entry.result->places});
    report::HtmlOptions options;
    options.date = report::currentDate();
    static const RunChecks none;
    return report::htmlReport(
        entries.empty() || !entries.front().checks ? none : *entries.front().checks, files,
        options);
}

}  // namespace cli
