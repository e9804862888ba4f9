#include "FindingTree.h"

#include <algorithm>
#include <unordered_map>

#include "host/FindingPlace.h"
#include "host/ReportList.h"

Severity FindingTree::severityOfType(std::int32_t reportType) {
    switch (reportType) {
        case 1:
            return Severity::Info;
        case 2:
            return Severity::Warning;
        case 3:
            return Severity::Error;
        default:
            return Severity::Other;
    }
}

void FindingTree::build(const ReportList& reports, std::size_t count, const FindingFilter& filter) {
    clear();
    // Row indices share their word with the group mark.
    count = std::min<std::size_t>(count, GROUP_BIT - 1);
    m_findings.reserve(std::min(count, reports.count()));
    std::unordered_map<int, std::uint16_t> slots;
    reports.visit(
        count, [&](std::size_t, std::int32_t type, std::int32_t block, std::string_view message) {
            const int rule = validationhost::ruleId(message);
            const Severity severity = severityOfType(type);
            // Past the slots a 16-bit index holds (no plug-in has that many rules) they share one.
            std::uint16_t slot = MAX_RULES - 1;
            if (const auto found = slots.find(rule); found != slots.end()) {
                slot = found->second;
            } else if (m_rules.size() < MAX_RULES) {
                slot = static_cast<std::uint16_t>(m_rules.size());
                slots.emplace(rule, slot);
                m_rules.push_back({rule, 0, severity, false});
            }
            Rule& entry = m_rules[slot];
            ++entry.count;
            entry.mixed = entry.mixed || entry.severity != severity;
            m_findings.push_back({block, slot, severity});
        });
    apply(filter);
}

void FindingTree::clear() {
    std::vector<Finding>().swap(m_findings);
    std::vector<Rule>().swap(m_rules);
    std::vector<std::uint32_t>().swap(m_top);
    std::vector<Group>().swap(m_groups);
}

bool FindingTree::passes(const Finding& finding, const FindingFilter& filter) const {
    if (filter.rule != FindingFilter::AllRules && m_rules[finding.slot].rule != filter.rule)
        return false;
    switch (finding.severity) {
        case Severity::Error:
            return filter.errors;
        case Severity::Warning:
            return filter.warnings;
        case Severity::Info:
            return filter.infos;
        case Severity::Other:
            return true;
    }
    return true;
}

void FindingTree::apply(const FindingFilter& filter) {
    std::vector<std::uint32_t>().swap(m_top);
    std::vector<Group>().swap(m_groups);
    const bool grouping = filter.rule == FindingFilter::AllRules;
    std::vector<std::int32_t> groupOfSlot(m_rules.size(), -1);
    for (std::size_t i = 0; i < m_findings.size(); ++i) {
        const Finding& finding = m_findings[i];
        if (!passes(finding, filter)) continue;
        const Rule& rule = m_rules[finding.slot];
        if (!grouping || rule.rule == FindingFilter::NoRule || rule.count < GroupThreshold) {
            m_top.push_back(static_cast<std::uint32_t>(i));
            continue;
        }
        std::int32_t& group = groupOfSlot[finding.slot];
        if (group < 0) {
            group = static_cast<std::int32_t>(m_groups.size());
            m_groups.push_back({finding.slot, m_top.size(), {}});
            m_top.push_back(GROUP_BIT | static_cast<std::uint32_t>(group));
        }
        m_groups[static_cast<std::size_t>(group)].children.push_back(static_cast<std::uint32_t>(i));
    }
}

Severity FindingTree::groupSeverity(std::size_t group) const {
    const Rule& rule = m_rules[m_groups[group].slot];
    return rule.mixed ? Severity::Other : rule.severity;
}

std::vector<FindingTree::RuleCount> FindingTree::ruleCounts() const {
    std::vector<RuleCount> counts;
    counts.reserve(m_rules.size());
    for (const Rule& rule : m_rules) counts.push_back({rule.rule, rule.count});
    std::sort(counts.begin(), counts.end(),
              [](const RuleCount& a, const RuleCount& b) { return a.rule < b.rule; });
    return counts;
}

std::size_t FindingTree::severityCount(Severity severity) const {
    return static_cast<std::size_t>(
        std::count_if(m_findings.begin(), m_findings.end(),
                      [&](const Finding& finding) { return finding.severity == severity; }));
}
