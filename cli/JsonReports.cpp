// JSON and SARIF, both through nlohmann-json.

#include <nlohmann/json.hpp>

#include <map>
#include <string_view>

#include "FindingsTable.h"
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

std::string dumped(const json& value) {
    // Text already passed through NarrowToUtf8; replace guards against anything left over.
    return value.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
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

json location(const ReportEntry& entry, const FindingPlace& place = {}) {
    json physical = {{"artifactLocation", {{"uri", fileUri(entry.fullPath)}}}};
    if (place.byteLength > 0)
        physical["region"] = {{"byteOffset", place.byteOffset}, {"byteLength", place.byteLength}};
    json where = {{"physicalLocation", std::move(physical)}};
    if (place.hasSubtitle())
        where["logicalLocations"] = json::array(
            {{{"name", "Subtitle " + std::to_string(place.subtitleNumber)}, {"kind", "object"}}});
    return json::array({std::move(where)});
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

// Null where a finding is not about a block, so that every finding has the same keys.
void addPlace(json& finding, const FindingPlace& place) {
    const bool onBlock = place.block >= 0, onSubtitle = place.hasSubtitle();
    finding["block"] = onBlock ? json(place.block) : json(nullptr);
    finding["subtitleNumber"] = onSubtitle ? json(place.subtitleNumber) : json(nullptr);
    finding["timeCodeIn"] = onSubtitle ? json(formatTimeCode(place.in)) : json(nullptr);
    finding["timeCodeOut"] = onSubtitle ? json(formatTimeCode(place.out)) : json(nullptr);
}

}  // namespace

std::string formatJson(const std::vector<ReportEntry>& entries) {
    json all = json::array();
    for (const ReportEntry& entry : entries) {
        const FileResult& result = *entry.result;
        const FindingCounts counts = countFindings(result.reports);
        json item = {{"path", utf8(entry.path)}, {"validated", result.validated}};
        if (!result.validated) item["reason"] = utf8(result.reason);
        item["counts"] = {{"error", counts.errors},
                          {"warning", counts.warnings},
                          {"info", counts.infos},
                          {"other", counts.others}};
        json findings = json::array();
        for (std::size_t i = 0; i < result.reports.size(); ++i) {
            const CustomReport& report = result.reports[i];
            json finding = {{"module", moduleDisplayName(report.module)},
                            {"id", ruleId(report.reportMessage)},
                            {"type", reportTypeName(report.reportType)},
                            {"message", report.reportMessage}};
            addPlace(finding, result.placeOf(i));
            findings.push_back(std::move(finding));
        }
        item["findings"] = std::move(findings);
        if (entry.checks) {
            item["profile"] = profileJson(*entry.checks);
            item["checks"] = checksJson(*entry.checks);
        }
        all.push_back(std::move(item));
    }
    return dumped(all);
}

std::string formatSarif(const std::vector<ReportEntry>& entries, FailOn failOn) {
    std::map<int, std::size_t> ruleIndex;
    for (const ReportEntry& entry : entries)
        for (const CustomReport& report : entry.result->reports)
            ruleIndex.emplace(ruleId(report.reportMessage), 0);
    json rules = json::array();
    for (auto& [id, index] : ruleIndex) {
        index = rules.size();
        rules.push_back({{"id", std::to_string(id)}});
    }
    json results = json::array(), notifications = json::array();
    for (const ReportEntry& entry : entries) {
        if (!entry.result->validated) {
            notifications.push_back(
                {{"level", "error"},
                 {"message", {{"text", "not validated: " + utf8(entry.result->reason)}}},
                 {"locations", location(entry)}});
        }
        for (std::size_t i = 0; i < entry.result->reports.size(); ++i) {
            const CustomReport& report = entry.result->reports[i];
            const int id = ruleId(report.reportMessage);
            const char* level = sarifLevel(report.reportType, failOn);
            json result = {{"ruleId", std::to_string(id)},
                           {"ruleIndex", ruleIndex[id]},
                           {"level", level},
                           {"message", {{"text", report.reportMessage}}},
                           {"locations", location(entry, entry.result->placeOf(i))}};
            if (std::string_view(level) != findingLevel(report.reportType))
                result["properties"] = {{"type", reportTypeName(report.reportType)}};
            results.push_back(std::move(result));
        }
    }
    json invocation = {{"executionSuccessful", notifications.empty()},
                       {"toolExecutionNotifications", std::move(notifications)}};
    if (!entries.empty() && entries.front().checks) {
        const RunChecks& checks = *entries.front().checks;
        invocation["properties"] = {{"profile", profileJson(checks)},
                                    {"checks", checksJson(checks)}};
    }
    json run = {{"tool",
                 {{"driver",
                   {{"name", TOOL_NAME},
                    {"version", LUMTRACE_VERSION_TEXT},
                    {"rules", std::move(rules)}}}}},
                {"invocations", json::array({std::move(invocation)})},
                {"results", std::move(results)}};
    return dumped(
        {{"$schema", SARIF_SCHEMA}, {"version", "2.1.0"}, {"runs", json::array({std::move(run)})}});
}

}  // namespace cli
