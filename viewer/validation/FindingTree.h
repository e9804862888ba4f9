#pragma once
// The rows of the validation window over the stored findings, as indices into the store: the
// findings that pass the filter in arrival order, with every rule that fired often enough
// gathered into one group row where its first shown finding stands. The texts stay in the
// store; a finding costs eight bytes here and four more for each row that shows it.

#include <cstddef>
#include <cstdint>
#include <vector>

class ReportList;

enum class Severity : std::uint8_t { Other, Info, Warning, Error };

struct FindingFilter {
    static constexpr int AllRules = -1;
    static constexpr int NoRule = 0;  // the findings whose text starts with no "[NNN]"

    bool errors = true, warnings = true, infos = true;
    int rule = AllRules;

    bool operator==(const FindingFilter&) const = default;
};

class FindingTree {
public:
    // A rule with this many findings or more is shown as one group.
    static constexpr std::size_t GroupThreshold = 10;

    struct RuleCount {
        int rule;
        std::size_t count;
        bool operator==(const RuleCount&) const = default;
    };

    // Reads rule, severity and block of the first Count stored findings, then applies Filter.
    void build(const ReportList& reports, std::size_t count, const FindingFilter& filter);
    void clear();
    // Shows the findings that pass Filter. Groups are kept while every rule is shown; with one
    // rule chosen its findings are listed flat.
    void apply(const FindingFilter& filter);

    std::size_t topCount() const { return m_top.size(); }
    bool isGroup(std::size_t top) const { return m_top[top] & GROUP_BIT; }
    // A finding row's finding: its index in the store.
    std::uint32_t finding(std::size_t top) const { return m_top[top]; }
    // A group row's group: 0, 1, ... in the order of the rows.
    std::size_t groupOf(std::size_t top) const { return m_top[top] & ~GROUP_BIT; }

    std::size_t groupCount() const { return m_groups.size(); }
    int groupRule(std::size_t group) const { return m_rules[m_groups[group].slot].rule; }
    std::size_t groupRow(std::size_t group) const { return m_groups[group].top; }
    // The findings of a group, as store indices in arrival order.
    const std::vector<std::uint32_t>& children(std::size_t group) const {
        return m_groups[group].children;
    }
    // The severity shared by every finding of the group's rule; Other when they differ.
    Severity groupSeverity(std::size_t group) const;

    std::int32_t blockOf(std::uint32_t finding) const { return m_findings[finding].block; }
    Severity severityOf(std::uint32_t finding) const { return m_findings[finding].severity; }

    // Every rule that fired, lowest number first (NoRule before the others), with its count.
    std::vector<RuleCount> ruleCounts() const;
    std::size_t severityCount(Severity severity) const;

    static Severity severityOfType(std::int32_t reportType);

private:
    static constexpr std::uint32_t GROUP_BIT = 0x80000000u;
    static constexpr std::size_t MAX_RULES = UINT16_MAX;

    struct Finding {
        std::int32_t block;
        std::uint16_t slot;  // into m_rules
        Severity severity;
    };
    struct Rule {
        int rule;
        std::size_t count;
        Severity severity;
        bool mixed;
    };
    struct Group {
        std::uint16_t slot;
        std::size_t top;
        std::vector<std::uint32_t> children;
    };

    bool passes(const Finding& finding, const FindingFilter& filter) const;

    std::vector<Finding> m_findings;
    std::vector<Rule> m_rules;  // in order of first finding
    std::vector<std::uint32_t> m_top;
    std::vector<Group> m_groups;
};
