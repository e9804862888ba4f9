#include "HtmlReport.h"

#include "FindingCounts.h"
#include "FindingGroups.h"
#include "SubtitleFile.h"
#include "host/HostText.h"
#include "html/HtmlText.h"
#include "html/SubtitleDrawing.h"
#include "platform/LocalTime.h"
#include "plugin_api/QuorvexControlInterface.h"
#include "stl/FormatCheck.h"

namespace report {
namespace {

using html::appendEscaped;

constexpr const char* STYLE = R"(h1 { font-size: 150%; } h2 { font-size: 125%; margin-top: 2em; }
table.meta th { background: #f4f4f4; white-space: nowrap; }
td.n { text-align: right; }
.se { border-left: 5px solid #c00; } .sw { border-left: 5px solid #e90; }
.si { border-left: 5px solid #69c; } .so { border-left: 5px solid #999; }
details.rule { margin: 0.6em 0; padding-left: 0.6em; }
details.rule > summary { cursor: pointer; font-weight: bold; padding: 3px 0; }
details.info > summary { cursor: pointer; margin: 1em 0 0.4em; }
.id { font-family: monospace; background: #eee; padding: 0 4px; }
table.fi td.sn, table.fi td.tc { white-space: nowrap; font-family: monospace; }
table.fi td.tx { font-family: monospace; white-space: pre-wrap; }
table.fi td.fld { font-family: monospace; color: #555; }
p.more { font-family: monospace; font-size: 90%; line-height: 1.5; }
.bad { color: #c00; font-weight: bold; }
)";

std::string counted(std::size_t count, const char* one, const char* many) {
    return withThousands(static_cast<std::int64_t>(count)) + " " + (count == 1 ? one : many);
}

std::string countsText(const FindingCounts& counts) {
    std::string text = counted(counts.total(), "finding", "findings") + ": " +
                       counted(counts.errors, "error", "errors") + ", " +
                       counted(counts.warnings, "warning", "warnings") + ", " +
                       withThousands(static_cast<std::int64_t>(counts.infos)) + " info";
    if (counts.others)
        text += ", " + withThousands(static_cast<std::int64_t>(counts.others)) + " other";
    return text;
}

void metaRow(std::string& out, const char* name, const std::string& value) {
    out += std::string("<tr><th>") + name + "</th><td>";
    appendEscaped(out, value);
    out += "</td></tr>\n";
}

std::string utf8(const std::string& text) {
    return validationhost::narrowToUtf8(text);
}

void appendChecks(std::string& out, const RunChecks& checks, const HtmlOptions& options,
                  const BatchTotals& totals) {
    out += "<table class=\"meta\">\n";
    metaRow(out, "Program", options.program + " " + checks.version);
    metaRow(out, "Date", options.date);
    metaRow(out, "Profile",
            checks.profile ? utf8(*checks.profile)
                           : "none: the saved settings of the validation plug-in");
    if (checks.profileFile) metaRow(out, "Profile file", utf8(*checks.profileFile));
    if (!checks.settings.empty()) {
        std::string settings;
        for (const std::string& setting : checks.settings)
            settings += (settings.empty() ? "" : ", ") + setting;
        metaRow(out, "Set for this run", utf8(settings));
    }
    out += "<tr><th>Delivery rules</th><td>";
    if (checks.deliveryRules.empty())
        out += "none switched on";
    else {
        out += "<table><tr><th>Rule</th><th>Name</th><th>Type</th><th>Threshold</th></tr>\n";
        for (const CheckedRule& rule : checks.deliveryRules) {
            out += "<tr><td>" + std::to_string(rule.id) + "</td><td>";
            appendEscaped(out, rule.name);
            out += "</td><td>";
            appendEscaped(out, rule.type);
            out += "</td><td>";
            appendEscaped(out, rule.threshold);
            out += "</td></tr>\n";
        }
        out += "</table>";
    }
    out += "</td></tr>\n";
    metaRow(out, "Files",
            counted(totals.files, "file", "files") + ": " +
                withThousands(static_cast<std::int64_t>(totals.validated)) + " validated (" +
                withThousands(static_cast<std::int64_t>(totals.withErrors)) + " with errors, " +
                withThousands(static_cast<std::int64_t>(totals.withWarnings)) +
                " with warnings), " +
                withThousands(static_cast<std::int64_t>(totals.notValidated)) + " not validated");
    metaRow(out, "Findings", countsText(totals.findings));
    out += "</table>\n";
}

const std::vector<CustomReport>& reportsOf(const CheckedFile& file) {
    static const std::vector<CustomReport> none;
    return file.reports ? *file.reports : none;
}

std::string fileAnchor(std::size_t index) {
    return "f" + std::to_string(index + 1);
}

void appendIndex(std::string& out, const std::vector<CheckedFile>& files) {
    if (files.size() < 2) return;
    out +=
        "<table class=\"index\"><tr><th>File</th><th>Errors</th><th>Warnings</th>"
        "<th>Info</th></tr>\n";
    for (std::size_t i = 0; i < files.size(); ++i) {
        const FindingCounts counts = countFindings(reportsOf(files[i]));
        const char* severity = !files[i].validated || counts.errors ? "se"
                               : counts.warnings                    ? "sw"
                                                                    : "si";
        out +=
            std::string("<tr><td class=\"") + severity + "\"><a href=\"#" + fileAnchor(i) + "\">";
        appendEscaped(out, utf8(files[i].path));
        out += "</a></td>";
        if (!files[i].validated) {
            out += "<td colspan=\"3\" class=\"bad\">not validated</td></tr>\n";
            continue;
        }
        for (const std::size_t n : {counts.errors, counts.warnings, counts.infos})
            out += "<td class=\"n\">" + withThousands(static_cast<std::int64_t>(n)) + "</td>";
        out += "</tr>\n";
    }
    out += "</table>\n";
}

void appendEssentials(std::string& out, const GsiEssentials& facts) {
    const std::pair<const char*, std::string> cells[] = {
        {"Title", facts.title},
        {"CPN", facts.codePage},
        {"CCT", facts.characterTable},
        {"DFC", facts.diskFormat},
        {"DSC", facts.displayStandard},
        {"Language", facts.language},
        {"TCP", facts.startOfProgramme},
        {"Subtitles",
         withThousands(static_cast<std::int64_t>(facts.subtitles)) +
             (facts.comments ? " (and " + counted(facts.comments, "comment", "comments") + ")"
                             : "")},
        {"Duration", facts.duration},
    };
    out += "<table class=\"gsi\"><tr>";
    for (const auto& [name, value] : cells) out += std::string("<th>") + name + "</th>";
    out += "</tr>\n<tr>";
    for (const auto& [name, value] : cells) {
        out += "<td>";
        appendEscaped(out, value);
        out += "</td>";
    }
    out += "</tr></table>\n";
}

void appendFile(std::string& out, const CheckedFile& file, std::size_t index,
                const RunChecks& checks, const HtmlOptions& options) {
    const std::string anchor = fileAnchor(index);
    out += "<section id=\"" + anchor + "\">\n<h2>" + std::to_string(index + 1) + ". ";
    appendEscaped(out, utf8(file.path));
    out += "</h2>\n";
    if (file.fullPath != file.path) {
        out += "<p class=\"note\">";
        appendEscaped(out, utf8(file.fullPath));
        out += "</p>\n";
    }
    if (!file.validated) {
        out += "<p class=\"bad\">Not validated: ";
        appendEscaped(out, utf8(file.reason));
        out += "</p>\n</section>\n";
        return;
    }
    const SubtitleFile subtitles(file.fullPath);
    if (subtitles.isRead()) appendEssentials(out, subtitles.essentials());
    const std::vector<CustomReport>& reports = reportsOf(file);
    out += "<p>" + countsText(countFindings(reports)) + "</p>\n";
    if (reports.empty()) {
        out += "</section>\n";
        return;
    }

    const std::vector<RuleGroup> groups = groupByRule(reports);
    std::vector<std::string> titles;
    out +=
        "<table class=\"rules\"><tr><th>Rule</th><th>Name</th><th>Type</th>"
        "<th>Findings</th></tr>\n";
    std::size_t folded = 0, foldedRules = 0;
    for (const RuleGroup& group : groups) {
        titles.push_back(groupTitle(group, reports, checks));
        if (!isProblem(group.type)) {
            folded += group.findings.size();
            ++foldedRules;
            continue;
        }
        out += std::string("<tr><td class=\"") + severityClass(group.type) + "\"><a href=\"#" +
               anchor + "-r" + std::to_string(group.rule) + "\">" + std::to_string(group.rule) +
               "</a></td><td>";
        appendEscaped(out, titles.back());
        out += std::string("</td><td>") + reportTypeName(group.type) + "</td><td class=\"n\">" +
               withThousands(static_cast<std::int64_t>(group.findings.size())) + "</td></tr>\n";
    }
    if (folded)
        out += "<tr><td class=\"si\"><a href=\"#" + anchor + "-info\">&#8230;</a></td><td>" +
               counted(foldedRules, "rule", "rules") + " of information and others</td><td></td>" +
               "<td class=\"n\">" + withThousands(static_cast<std::int64_t>(folded)) +
               "</td></tr>\n";
    out += "</table>\n";
    // Information comes last and folded: it says what the file holds, not what is wrong.
    bool opened = false;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (!opened && !isProblem(groups[g].type)) {
            opened = true;
            out += "<details class=\"info\" id=\"" + anchor +
                   "-info\"><summary>Information and other findings</summary>\n";
        }
        appendRuleGroup(out, groups[g], file, subtitles, titles[g],
                        anchor + "-r" + std::to_string(groups[g].rule), options);
    }
    if (opened) out += "</details>\n";
    out += "</section>\n";
}

}  // namespace

std::string htmlReport(const RunChecks& checks, const std::vector<CheckedFile>& files,
                       const HtmlOptions& options) {
    BatchTotals totals;
    for (const CheckedFile& file : files)
        totals.add(file.validated, countFindings(reportsOf(file)));
    const std::string title =
        files.size() == 1 ? "Validation report: " + utf8(files.front().path) : "Validation report";
    std::string out =
        html::pageStart(title, std::string(html::baseStyle) + STYLE + html::drawingStyle);
    out += "<h1>";
    appendEscaped(out, title);
    out += "</h1>\n";
    appendChecks(out, checks, options, totals);
    appendIndex(out, files);
    for (std::size_t i = 0; i < files.size(); ++i) appendFile(out, files[i], i, checks, options);
    out += html::pageEnd;
    return out;
}

std::string currentDate() {
    return platform::localTimeNow("%Y-%m-%d %H:%M");
}

}  // namespace report
