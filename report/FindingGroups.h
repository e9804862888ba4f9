#pragma once
// A file's findings grouped by rule for the HTML report, and each group written out: a table of
// its findings with subtitle, time codes and text (or the subtitle drawn, for rules about how
// it looks), the header field for findings about the header.

#include <cstdint>
#include <string>
#include <vector>

#include "HtmlReport.h"
#include "SubtitleFile.h"

namespace report {

struct RuleGroup {
    int rule = 0;                       // 0: findings without a rule number
    std::int32_t type = 0;              // the most severe type among them
    std::vector<std::size_t> findings;  // indexes into the reports, in their order
};

// Most severe first (Error, Warning, Info, others), then by rule number.
std::vector<RuleGroup> groupByRule(const std::vector<CustomReport>& reports);

// Whether a rule's findings are about where and how text shows, so that the report draws the
// subtitle: rows (506), row length and width (507, 508), colours (511), display standard codes
// (512), boxing (513), double height (514) and position (438 vertical position, 439
// justification, 515 teletext vertical position).
bool isLayoutRule(int rule);

// The rule's name as the plug-in lists it, else the group's first message without its number.
std::string groupTitle(const RuleGroup& group, const std::vector<CustomReport>& reports,
                       const RunChecks& checks);

// The group as a <details> element with id Anchor, open unless it holds information only.
void appendRuleGroup(std::string& out, const RuleGroup& group, const CheckedFile& file,
                     const SubtitleFile& subtitles, const std::string& title,
                     const std::string& anchor, const HtmlOptions& options);

// An Error or a Warning: what the report opens; the rest is folded away.
bool isProblem(std::int32_t reportType);
// "se", "sw", "si" or "so" (error, warning, info, other): the class that marks a severity.
const char* severityClass(std::int32_t reportType);

}  // namespace report
