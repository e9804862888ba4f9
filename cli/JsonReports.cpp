// JSON and SARIF, both through nlohmann-json.

#include <nlohmann/json.hpp>

#include <charconv>
#include <map>
#include <string_view>

#include "FindingsTable.h"
#include "JsonWriter.h"
#include "MachineReport.h"
#include "host/HostText.h"

namespace cli {
namespace {

using json = nlohmann::ordered_json;

constexpr const char* SARIF_SCHEMA = "https://json.schemastore.org/sarif-2.1.0.json";
constexpr const char* TOOL_NAME = "lumtrace-validate";
constexpr std::int32_t REPORT_TYPE_INFO = 1;
constexpr std::int32_t REPORT_TYPE_WARNING = 2;
constexpr std::int32_t REPORT_TYPE_ERROR = 3;

std::string utf8(const std::string& text) {
    return validationhost::narrowToUtf8(text);
}

const char* findingLevel(std::int32_t reportType) {
    switch (reportType) {
        case REPORT_TYPE_ERROR:
            return "error";
        case REPORT_TYPE_WARNING:
            return "warning";
        case REPORT_TYPE_INFO:
            return "note";
        default:
            return "none";
    }
}

// What --fail-on counts is an error to a SARIF reader, which fails a build on errors; an error
// the run does not fail on reads as a warning. A level that differs from the finding's own type
// keeps that type as a property.
const char* sarifLevel(std::int32_t reportType, FailOn failOn) {
    if (isFailure(reportType, failOn)) return "error";
    if (reportType == REPORT_TYPE_ERROR) return "warning";
    return findingLevel(reportType);
}

// file:// URI of an absolute path, with everything but unreserved characters and "/" escaped.
std::string fileUri(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

json location(const ReportEntry& entry) {
    return json::array(
        {{{"physicalLocation", {{"artifactLocation", {{"uri", fileUri(entry.fullPath)}}}}}}});
}

json profileJson(const RunChecks& checks) {
    if (!checks.profile) return nullptr;
    return {{"name", *checks.profile},
            {"file", checks.profileFile ? json(*checks.profileFile) : json(nullptr)}};
}

json checksJson(const RunChecks& checks) {
    json rules = json::array();
    for (const CheckedRule& rule : checks.deliveryRules)
        rules.push_back({{"id", rule.id}, {"type", rule.type}, {"threshold", rule.threshold}});
    return {{"version", checks.version},
            {"settings", checks.settings},
            {"deliveryRules", std::move(rules)}};
}

void appendNumberOrNull(JsonObjectWriter& finding, std::string_view name, std::int64_t value,
                        bool present) {
    finding.key(name) += present ? std::to_string(value) : "null";
}

void appendTimeOrNull(JsonObjectWriter& finding, std::string_view name, const TimeCode& time,
                      bool present) {
    std::string& out = finding.key(name);
    if (!present) {
        out += "null";
        return;
    }
    out += '"';
    appendTimeCode(out, time);
    out += '"';
}

// Written out, not built: a long file has hundreds of thousands of findings. The places are
// null where a finding is not about a block, so that every finding has the same keys.
// Indent: that of the array's key, negative for one line.
void appendFindings(std::string& out, const FileResult& result, int indent,
                    const ReportSpill& spill) {
    if (result.reports.empty()) {
        out += "[]";
        return;
    }
    const int inner = indent < 0 ? -1 : indent + 2;
    out += '[';
    for (std::size_t i = 0; i < result.reports.size(); ++i) {
        const CustomReport& report = result.reports[i];
        const FindingPlace place = result.placeOf(i);
        spill(out);
        if (i) out += ',';
        appendJsonBreak(out, inner);
        JsonObjectWriter finding(out, inner);
        finding.string("module", moduleDisplayName(report.module));
        finding.key("id") += std::to_string(ruleId(report.reportMessage));
        finding.string("type", reportTypeName(report.reportType));
        finding.string("message", report.reportMessage);
        appendNumberOrNull(finding, "block", place.block, place.block >= 0);
        appendNumberOrNull(finding, "subtitleNumber", place.subtitleNumber, place.hasSubtitle());
        appendTimeOrNull(finding, "timeCodeIn", place.in, place.hasSubtitle());
        appendTimeOrNull(finding, "timeCodeOut", place.out, place.hasSubtitle());
    }
    appendJsonBreak(out, indent);
    out += ']';
}

// Indent: that of the object's braces, negative for one line.
void appendFileObject(std::string& out, const ReportEntry& entry, int indent,
                      const ReportSpill& spill = {}) {
    const FileResult& result = *entry.result;
    JsonObjectWriter item(out, indent);
    item.string("path", utf8(entry.path));
    item.value("validated", result.validated);
    if (!result.validated) item.string("reason", utf8(result.reason));
    const FindingCounts counts = countFindings(result.reports);
    item.value("counts", {{"error", counts.errors},
                          {"warning", counts.warnings},
                          {"info", counts.infos},
                          {"other", counts.others}});
    appendFindings(item.key("findings"), result, indent < 0 ? -1 : indent + 2, spill);
    if (entry.checks) {
        item.value("profile", profileJson(*entry.checks));
        item.value("checks", checksJson(*entry.checks));
    }
}

}  // namespace

void writeJson(std::string& out, const std::vector<ReportEntry>& entries,
               const ReportSpill& spill) {
    if (entries.empty()) {
        out += "[]\n";
        return;
    }
    out += "[";
    for (std::size_t e = 0; e < entries.size(); ++e) {
        out += e ? ",\n  " : "\n  ";
        appendFileObject(out, entries[e], 2, spill);
    }
    out += "\n]\n";
}

std::string formatJson(const std::vector<ReportEntry>& entries) {
    std::string out;
    writeJson(out, entries, {});
    return out;
}

void writeJsonLine(std::ostream& out, const ReportEntry& entry) {
    std::string text;
    appendFileObject(text, entry, -1, ReportSpill{&out});
    text += '\n';
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

namespace {

void appendDecimal(std::string& out, std::uint32_t value) {
    char digits[12];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// Results written out, not built, like the findings of formatJson.
void appendSarifResult(std::string& out, const CustomReport& report, const FindingPlace& place,
                       std::size_t ruleIndex, const std::string& quotedUri, FailOn failOn) {
    const int id = ruleId(report.reportMessage);
    const char* level = sarifLevel(report.reportType, failOn);
    JsonObjectWriter result(out, 8);
    result.string("ruleId", std::to_string(id));
    result.key("ruleIndex") += std::to_string(ruleIndex);
    result.string("level", level);
    {
        JsonObjectWriter message(result.key("message"), 10);
        message.string("text", report.reportMessage);
    }
    // The location is the same shape for every result: its layout written out in pieces, with
    // the file's URI quoted once per file, since a long file has hundreds of thousands of them.
    result.key("locations") +=
        "[\n            {\n              \"physicalLocation\": {\n                "
        "\"artifactLocation\": {\n                  \"uri\": ";
    out += quotedUri;
    out += "\n                }";
    if (place.byteLength > 0) {
        out += ",\n                \"region\": {\n                  \"byteOffset\": ";
        appendDecimal(out, place.byteOffset);
        out += ",\n                  \"byteLength\": ";
        appendDecimal(out, place.byteLength);
        out += "\n                }";
    }
    out += "\n              }";
    if (place.hasSubtitle()) {
        out +=
            ",\n              \"logicalLocations\": [\n                {\n                  "
            "\"name\": \"Subtitle ";
        appendDecimal(out, static_cast<std::uint32_t>(place.subtitleNumber));
        out += "\",\n                  \"kind\": \"object\"\n                }\n              ]";
    }
    out += "\n            }\n          ]";
    if (std::string_view(level) != findingLevel(report.reportType)) {
        JsonObjectWriter properties(result.key("properties"), 10);
        properties.string("type", reportTypeName(report.reportType));
    }
}

}  // namespace

void writeSarif(std::string& out, const std::vector<ReportEntry>& entries, FailOn failOn,
                const ReportSpill& spill) {
    std::map<int, std::size_t> ruleIndex;
    for (const ReportEntry& entry : entries)
        for (const CustomReport& report : entry.result->reports)
            ruleIndex.emplace(ruleId(report.reportMessage), 0);
    json rules = json::array();
    for (auto& [id, index] : ruleIndex) {
        index = rules.size();
        rules.push_back({{"id", std::to_string(id)}});
    }
    json notifications = json::array();
    for (const ReportEntry& entry : entries) {
        if (!entry.result->validated) {
            notifications.push_back(
                {{"level", "error"},
                 {"message", {{"text", "not validated: " + utf8(entry.result->reason)}}},
                 {"locations", location(entry)}});
        }
    }
    json invocation = {{"executionSuccessful", notifications.empty()},
                       {"toolExecutionNotifications", std::move(notifications)}};
    if (!entries.empty() && entries.front().checks) {
        const RunChecks& checks = *entries.front().checks;
        invocation["properties"] = {{"profile", profileJson(checks)},
                                    {"checks", checksJson(checks)}};
    }
    const json tool = {
        {"driver",
         {{"name", TOOL_NAME}, {"version", LUMTRACE_VERSION_TEXT}, {"rules", std::move(rules)}}}};

    {
        JsonObjectWriter sarif(out, 0);
        sarif.string("$schema", SARIF_SCHEMA);
        sarif.string("version", "2.1.0");
        sarif.key("runs") += "[\n    ";
        {
            JsonObjectWriter run(out, 4);
            run.value("tool", tool);
            run.value("invocations", json::array({std::move(invocation)}));
            std::string& results = run.key("results");
            bool first = true;
            for (const ReportEntry& entry : entries) {
                std::string quotedUri;
                appendJsonString(quotedUri, fileUri(entry.fullPath));
                for (std::size_t i = 0; i < entry.result->reports.size(); ++i) {
                    const CustomReport& report = entry.result->reports[i];
                    spill(results);
                    results += first ? "[\n        " : ",\n        ";
                    first = false;
                    appendSarifResult(results, report, entry.result->placeOf(i),
                                      ruleIndex[ruleId(report.reportMessage)], quotedUri, failOn);
                }
            }
            results += first ? "[]" : "\n      ]";
        }
        out += "\n  ]";
    }
    out += "\n";
}

std::string formatSarif(const std::vector<ReportEntry>& entries, FailOn failOn) {
    std::string out;
    writeSarif(out, entries, failOn, {});
    return out;
}

}  // namespace cli
