// CSV (RFC 4180): one row per finding, one row for a file without findings or not validated.

#include "FindingsTable.h"
#include "MachineReport.h"
#include "host/HostText.h"

namespace cli {
namespace {

// The place columns come last, so that readers of the first seven keep working.
constexpr const char* HEADER =
    "path,validated,reason,module,id,type,message,block,subtitleNumber,timeCodeIn,timeCodeOut\r\n";

std::string placeFields(const FindingPlace& place) {
    std::string out = ",";
    if (place.block >= 0) out += std::to_string(place.block);
    if (!place.hasSubtitle()) return out + ",,,";
    return out + "," + std::to_string(place.subtitleNumber) + "," + formatTimeCode(place.in) + "," +
           formatTimeCode(place.out);
}

std::string field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

std::string formatCsv(const std::vector<ReportEntry>& entries) {
    // A run with a profile or settings of its own says so first; a plain run's CSV stays plain.
    std::string out;
    if (!entries.empty() && entries.front().checks && entries.front().checks->chosen())
        out += "# " + checksLine(*entries.front().checks) + "\r\n";
    out += HEADER;
    for (const ReportEntry& entry : entries) {
        const FileResult& result = *entry.result;
        const std::string start = field(validationhost::narrowToUtf8(entry.path)) + "," +
                                  (result.validated ? "true" : "false") + "," +
                                  field(validationhost::narrowToUtf8(result.reason)) + ",";
        if (result.reports.empty()) out += start + ",,,,,,,\r\n";
        for (std::size_t i = 0; i < result.reports.size(); ++i) {
            const CustomReport& report = result.reports[i];
            out += start + field(moduleDisplayName(report.module)) + "," +
                   std::to_string(ruleId(report.reportMessage)) + "," +
                   reportTypeName(report.reportType) + "," + field(report.reportMessage) +
                   placeFields(result.placeOf(i)) + "\r\n";
        }
    }
    return out;
}

}  // namespace cli
