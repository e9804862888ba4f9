// CSV (RFC 4180): one row per finding, one row for a file without findings or not validated.

#include <charconv>

#include "FindingsTable.h"
#include "MachineReport.h"
#include "host/HostText.h"

namespace cli {
namespace {

// The place columns come last, so that readers of the first seven keep working.
constexpr const char* HEADER =
    "path,validated,reason,module,id,type,message,block,subtitleNumber,timeCodeIn,timeCodeOut\r\n";

void appendPlace(std::string& out, const FindingPlace& place) {
    char digits[12];
    out += ',';
    if (place.block >= 0) out.append(digits, std::to_chars(digits, digits + 12, place.block).ptr);
    if (!place.hasSubtitle()) {
        out += ",,,";
        return;
    }
    out += ',';
    out.append(digits, std::to_chars(digits, digits + 12, place.subtitleNumber).ptr);
    out += ',';
    appendTimeCode(out, place.in);
    out += ',';
    appendTimeCode(out, place.out);
}

void appendField(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

std::string field(const std::string& text) {
    std::string out;
    appendField(out, text);
    return out;
}

}  // namespace

void writeCsv(std::string& out, const std::vector<ReportEntry>& entries, const ReportSpill& spill) {
    // A run with a profile or settings of its own says so first; a plain run's CSV stays plain.
    if (!entries.empty() && entries.front().checks && entries.front().checks->chosen())
        out += "# " + checksLine(*entries.front().checks) + "\r\n";
    out += HEADER;
    // Grown once when it all stays in memory: the rows of a long file come to tens of megabytes.
    if (!spill.sink) {
        std::size_t size = out.size();
        for (const ReportEntry& entry : entries)
            for (const CustomReport& report : entry.result->reports)
                size += entry.path.size() + report.reportMessage.size() + 96;
        out.reserve(size);
    }
    for (const ReportEntry& entry : entries) {
        const FileResult& result = *entry.result;
        const std::string start = field(validationhost::narrowToUtf8(entry.path)) + "," +
                                  (result.validated ? "true" : "false") + "," +
                                  field(validationhost::narrowToUtf8(result.reason)) + ",";
        if (result.reports.empty()) out += start + ",,,,,,,\r\n";
        for (std::size_t i = 0; i < result.reports.size(); ++i) {
            const CustomReport& report = result.reports[i];
            spill(out);
            out += start;
            appendField(out, moduleDisplayName(report.module));
            out += ',';
            out += std::to_string(ruleId(report.reportMessage));
            out += ',';
            out += reportTypeName(report.reportType);
            out += ',';
            appendField(out, report.reportMessage);
            appendPlace(out, result.placeOf(i));
            out += "\r\n";
        }
    }
}

std::string formatCsv(const std::vector<ReportEntry>& entries) {
    std::string out;
    writeCsv(out, entries, {});
    return out;
}

}  // namespace cli
