#include "FindingGroups.h"

#include <algorithm>
#include <map>

#include "html/HtmlText.h"
#include "html/SubtitleDrawing.h"
#include "plugin_api/QuorvexControlInterface.h"
#include "stl/FormatCheck.h"
#include "stl/ReportFunction.h"

namespace report {
namespace {

using validationhost::FindingPlace;

int severityRank(std::int32_t type) {
    return type >= REPORT_TYPE_INFO && type <= REPORT_TYPE_ERROR ? type : 0;
}

FindingPlace placeOf(const CheckedFile& file, std::size_t index) {
    return file.places && index < file.places->size() ? (*file.places)[index] : FindingPlace{};
}

// The message without what the row shows already: the rule number and a leading subtitle.
std::string_view shownMessage(std::string_view message, const FindingPlace& place) {
    if (message.size() > 2 && message[0] == '[') {
        const std::size_t close = message.find("] ");
        if (close != std::string_view::npos && close < 10) message.remove_prefix(close + 2);
    }
    const std::string subtitle = validationhost::subtitleText(place);
    if (!subtitle.empty() && message.substr(0, subtitle.size() + 2) == subtitle + ": ")
        message.remove_prefix(subtitle.size() + 2);
    return message;
}

// The header field a finding points at, by its bytes.
std::string fieldName(const FindingPlace& place) {
    if (place.byteLength == 0) return {};
    if (place.byteLength == 1024 && place.byteOffset == 0) return "GSI";
    for (const StlField& field : gsi::namedFields)
        if (static_cast<std::uint32_t>(field.offset) == place.byteOffset) return field.name;
    return {};
}

std::string timeCode(const TimeCode& time) {
    std::string out;
    validationhost::appendTimeCode(out, time);
    return out;
}

class GroupWriter {
public:
    GroupWriter(std::string& out, const CheckedFile& file, const SubtitleFile& subtitles,
                bool layout)
        : m_out(out), m_file(file), m_subtitles(subtitles), m_layout(layout) {}

    // Columns for what the findings point at: subtitles (a header field taking their four
    // columns where both come in one group), header fields alone, or nothing.
    void table(const std::vector<std::size_t>& shown) {
        const auto any = [&](bool (*test)(const FindingPlace&)) {
            return std::any_of(shown.begin(), shown.end(),
                               [&](std::size_t i) { return test(placeOf(m_file, i)); });
        };
        m_blocks = any([](const FindingPlace& p) { return p.block >= 0; });
        m_fields = any([](const FindingPlace& p) { return p.block < 0 && p.byteLength > 0; });
        m_out += "<table class=\"fi\"><tr>";
        if (m_blocks)
            m_out += "<th>Subtitle</th><th>In</th><th>Out</th><th>Text</th>";
        else if (m_fields)
            m_out += "<th>Field</th>";
        m_out += "<th>Finding</th></tr>\n";
        for (const std::size_t i : shown) row(i);
        m_out += "</table>\n";
    }

    // By subtitle alone: "12 (00:00:01:05)", or what else names the finding.
    void listed(const std::vector<std::size_t>& findings) {
        m_out += "<p class=\"more\">";
        for (std::size_t n = 0; n < findings.size(); ++n) {
            const FindingPlace place = placeOf(m_file, findings[n]);
            if (n) m_out += ", ";
            if (place.hasSubtitle())
                m_out += std::to_string(place.subtitleNumber) + " (" + timeCode(place.in) + ")";
            else if (place.block >= 0)
                m_out += "block " + std::to_string(place.block);
            else
                html::appendEscaped(m_out, message(findings[n], place));
        }
        m_out += "</p>\n";
    }

private:
    std::string message(std::size_t index, const FindingPlace& place) const {
        return std::string(shownMessage((*m_file.reports)[index].reportMessage, place));
    }

    void row(std::size_t index) {
        const FindingPlace place = placeOf(m_file, index);
        m_out += "<tr>";
        if (m_blocks || m_fields) {
            if (place.block >= 0) {
                m_out += "<td class=\"sn\">";
                if (place.hasSubtitle()) m_out += std::to_string(place.subtitleNumber);
                m_out += "<div class=\"note\">block " + std::to_string(place.block) + "</div>";
                m_out += "</td>";
                if (place.hasSubtitle())
                    m_out += "<td class=\"tc\">" + timeCode(place.in) + "</td><td class=\"tc\">" +
                             timeCode(place.out) + "</td>";
                else
                    m_out += "<td></td><td></td>";
                subtitleCell(place.block);
            } else {
                m_out += m_blocks ? "<td class=\"fld\" colspan=\"4\">" : "<td class=\"fld\">";
                html::appendEscaped(m_out, fieldName(place));
                if (place.byteLength > 0)
                    m_out += "<div class=\"note\">bytes " + std::to_string(place.byteOffset) + "-" +
                             std::to_string(place.byteOffset + place.byteLength - 1) + "</div>";
                m_out += "</td>";
            }
        }
        m_out += "<td>";
        html::appendEscaped(m_out, message(index, place));
        m_out += "</td></tr>\n";
    }

    void subtitleCell(std::int32_t block) {
        m_out += "<td class=\"tx\">";
        if (const subtitle::Subtitle* subtitle = m_subtitles.subtitleAt(block)) {
            const std::vector<subtitle::Row> rows = m_subtitles.rows(*subtitle);
            if (m_layout)
                html::appendDrawing(m_out, rows, m_subtitles.teletext(), subtitle->justification);
            else
                m_out += html::escapedLines(m_subtitles.text(rows));
        }
        m_out += "</td>";
    }

    std::string& m_out;
    const CheckedFile& m_file;
    const SubtitleFile& m_subtitles;
    bool m_layout;
    bool m_blocks = false;  // some finding is about a block
    bool m_fields = false;  // some finding is about header bytes
};

}  // namespace

bool isProblem(std::int32_t reportType) {
    return reportType == REPORT_TYPE_ERROR || reportType == REPORT_TYPE_WARNING;
}

const char* severityClass(std::int32_t reportType) {
    switch (severityRank(reportType)) {
        case REPORT_TYPE_ERROR:
            return "se";
        case REPORT_TYPE_WARNING:
            return "sw";
        case REPORT_TYPE_INFO:
            return "si";
        default:
            return "so";
    }
}

std::vector<RuleGroup> groupByRule(const std::vector<CustomReport>& reports) {
    std::map<int, RuleGroup> byRule;
    for (std::size_t i = 0; i < reports.size(); ++i) {
        const int rule = validationhost::ruleId(reports[i].reportMessage);
        RuleGroup& group = byRule[rule];
        if (group.findings.empty() ||
            severityRank(reports[i].reportType) > severityRank(group.type))
            group.type = reports[i].reportType;
        group.rule = rule;
        group.findings.push_back(i);
    }
    std::vector<RuleGroup> groups;
    for (auto& [rule, group] : byRule) groups.push_back(std::move(group));
    std::stable_sort(groups.begin(), groups.end(), [](const RuleGroup& a, const RuleGroup& b) {
        return severityRank(a.type) > severityRank(b.type);
    });
    return groups;
}

bool isLayoutRule(int rule) {
    switch (rule) {
        case 438:
        case 439:
        case 506:
        case 507:
        case 508:
        case 511:
        case 512:
        case 513:
        case 514:
        case 515:
            return true;
        default:
            return false;
    }
}

std::string groupTitle(const RuleGroup& group, const std::vector<CustomReport>& reports,
                       const RunChecks& checks) {
    if (const auto name = checks.ruleNames.find(group.rule); name != checks.ruleNames.end())
        return name->second;
    if (group.rule == 0) return "Findings without a rule number";
    return std::string(shownMessage(reports[group.findings.front()].reportMessage, {}));
}

void appendRuleGroup(std::string& out, const RuleGroup& group, const CheckedFile& file,
                     const SubtitleFile& subtitles, const std::string& title,
                     const std::string& anchor, const HtmlOptions& options) {
    const std::size_t count = group.findings.size();
    out += std::string("<details class=\"rule ") + severityClass(group.type) + "\" id=\"" + anchor +
           "\"" + (isProblem(group.type) ? " open=\"\"" : "") + "><summary><span class=\"id\">" +
           std::to_string(group.rule) + "</span> ";
    html::appendEscaped(out, title);
    out += " <span class=\"note\">" + withThousands(static_cast<std::int64_t>(count)) +
           (count == 1 ? " finding, " : " findings, ") + reportTypeName(group.type) +
           "</span></summary>\n";

    const auto& all = group.findings;
    const std::size_t shown = std::min(count, options.shownPerRule);
    const std::size_t listed = std::min(count - shown, options.listedPerRule);
    GroupWriter writer(out, file, subtitles, isLayoutRule(group.rule));
    writer.table({all.begin(), all.begin() + static_cast<std::ptrdiff_t>(shown)});
    if (listed > 0) {
        out += "<p class=\"note\">The next " + withThousands(static_cast<std::int64_t>(listed)) +
               " by subtitle:</p>\n";
        writer.listed({all.begin() + static_cast<std::ptrdiff_t>(shown),
                       all.begin() + static_cast<std::ptrdiff_t>(shown + listed)});
    }
    if (const std::size_t left = count - shown - listed; left > 0)
        out += "<p class=\"note\">" + withThousands(static_cast<std::int64_t>(left)) +
               (left == 1 ? " more finding" : " more findings") + " of this rule left out.</p>\n";
    out += "</details>\n";
}

}  // namespace report
