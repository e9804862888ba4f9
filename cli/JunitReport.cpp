// JUnit XML as CI servers read it: a suite per file, a test case per rule.

#include <pugixml.hpp>

#include <map>
#include <set>
#include <sstream>

#include "MachineReport.h"
#include "host/HostText.h"

namespace cli {
namespace {

constexpr const char* NOT_VALIDATED_CASE = "validation";

struct Finding {
    const CustomReport* report;
    std::size_t index;  // in the file's findings
};

struct RuleFindings {
    std::vector<Finding> failures;  // what --fail-on counts
    std::vector<Finding> others;
};

std::string joined(const std::vector<Finding>& findings) {
    std::string text;
    for (const Finding& finding : findings) {
        text += reportTypeName(finding.report->reportType);
        text += ": ";
        text += finding.report->reportMessage;
        text += '\n';
    }
    return text;
}

void addProperty(pugi::xml_node properties, const std::string& name, const std::string& value) {
    pugi::xml_node property = properties.append_child("property");
    property.append_attribute("name") = name.c_str();
    property.append_attribute("value") = value.c_str();
}

void addProperties(pugi::xml_node suite, const RunChecks& checks) {
    pugi::xml_node properties = suite.append_child("properties");
    addProperty(properties, "version", checks.version);
    if (checks.profile) addProperty(properties, "profile", *checks.profile);
    if (checks.profileFile) addProperty(properties, "profileFile", *checks.profileFile);
    for (const std::string& setting : checks.settings) addProperty(properties, "set", setting);
    for (const CheckedRule& rule : checks.deliveryRules)
        addProperty(properties, "rule." + std::to_string(rule.id),
                    rule.type + (rule.threshold.empty() ? "" : ", " + rule.threshold));
}

void addSuite(pugi::xml_node suites, const ReportEntry& entry, const std::set<int>& rules,
              FailOn failOn, std::size_t& tests, std::size_t& failures, std::size_t& errors) {
    const std::string name = validationhost::narrowToUtf8(entry.path);
    pugi::xml_node suite = suites.append_child("testsuite");
    suite.append_attribute("name") = name.c_str();
    if (entry.checks) addProperties(suite, *entry.checks);
    const FileResult& result = *entry.result;
    std::size_t suiteTests = 0, suiteFailures = 0, suiteErrors = 0;
    if (!result.validated) {
        pugi::xml_node testCase = suite.append_child("testcase");
        testCase.append_attribute("classname") = name.c_str();
        testCase.append_attribute("name") = NOT_VALIDATED_CASE;
        const std::string message = "not validated: " + validationhost::narrowToUtf8(result.reason);
        pugi::xml_node error = testCase.append_child("error");
        error.append_attribute("message") = message.c_str();
        error.append_attribute("type") = "NotValidated";
        suiteTests = suiteErrors = 1;
    } else {
        std::map<int, RuleFindings> byRule;
        for (int rule : rules) byRule[rule];
        for (std::size_t i = 0; i < result.reports.size(); ++i) {
            const CustomReport& report = result.reports[i];
            RuleFindings& findings = byRule[ruleId(report.reportMessage)];
            (isFailure(report.reportType, failOn) ? findings.failures : findings.others)
                .push_back({&report, i});
        }
        for (const auto& [rule, findings] : byRule) {
            pugi::xml_node testCase = suite.append_child("testcase");
            testCase.append_attribute("classname") = name.c_str();
            testCase.append_attribute("name") = std::to_string(rule).c_str();
            if (!findings.failures.empty()) {
                // The message a CI server shows names the subtitle and its time code.
                const Finding& first = findings.failures.front();
                const std::string message =
                    placedMessage(first.report->reportMessage, result.placeOf(first.index));
                pugi::xml_node failure = testCase.append_child("failure");
                failure.append_attribute("message") = message.c_str();
                failure.append_attribute("type") = reportTypeName(first.report->reportType);
                failure.text() = joined(findings.failures).c_str();
                ++suiteFailures;
            }
            if (!findings.others.empty())
                testCase.append_child("system-out").text() = joined(findings.others).c_str();
            ++suiteTests;
        }
    }
    suite.append_attribute("tests") = suiteTests;
    suite.append_attribute("failures") = suiteFailures;
    suite.append_attribute("errors") = suiteErrors;
    suite.append_attribute("skipped") = 0;
    tests += suiteTests;
    failures += suiteFailures;
    errors += suiteErrors;
}

}  // namespace

std::string formatJunit(const std::vector<ReportEntry>& entries, const std::vector<int>& rules,
                        FailOn failOn) {
    // Rules that fired anywhere count as run on every file, so a file shows them as passed.
    std::set<int> allRules(rules.begin(), rules.end());
    for (const ReportEntry& entry : entries)
        for (const CustomReport& report : entry.result->reports)
            allRules.insert(ruleId(report.reportMessage));
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node suites = document.append_child("testsuites");
    suites.append_attribute("name") = "lumtrace-validate";
    std::size_t tests = 0, failures = 0, errors = 0;
    for (const ReportEntry& entry : entries)
        addSuite(suites, entry, allRules, failOn, tests, failures, errors);
    suites.append_attribute("tests") = tests;
    suites.append_attribute("failures") = failures;
    suites.append_attribute("errors") = errors;
    std::ostringstream out;
    document.save(out, "  ", pugi::format_indent, pugi::encoding_utf8);
    return out.str();
}

}  // namespace cli
