#include "RuleListing.h"

#include <algorithm>
#include <array>
#include <sstream>

namespace cli {
namespace {

constexpr std::size_t COLUMNS = 5;

std::vector<std::array<std::string, COLUMNS>> rows(const std::string& listing) {
    std::vector<std::array<std::string, COLUMNS>> result;
    std::istringstream lines(listing);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty()) continue;
        std::array<std::string, COLUMNS> cells;
        std::istringstream fields(line);
        for (std::size_t i = 0; i < COLUMNS; ++i)
            std::getline(fields, cells[i], i + 1 < COLUMNS ? '\t' : '\n');
        result.push_back(std::move(cells));
    }
    return result;
}

}  // namespace

std::string formatRuleListing(const std::string& listing) {
    auto table = rows(listing);
    table.insert(table.begin(), {"ID", "Switch", "Type", "Threshold", "Name"});
    std::array<std::size_t, COLUMNS> widths{};
    for (const auto& cells : table)
        for (std::size_t i = 0; i < COLUMNS; ++i) widths[i] = std::max(widths[i], cells[i].size());
    std::string text;
    for (const auto& cells : table) {
        std::string line;
        for (std::size_t i = 0; i < COLUMNS; ++i) {
            line += cells[i];
            if (i + 1 < COLUMNS) line += std::string(widths[i] - cells[i].size() + 2, ' ');
        }
        text += line.substr(0, line.find_last_not_of(' ') + 1) + '\n';
    }
    return text;
}

std::vector<ListedRule> listedRules(const std::string& listing) {
    std::vector<ListedRule> rules;
    for (const auto& cells : rows(listing))
        rules.push_back(
            {std::atoi(cells[0].c_str()), cells[1] == "on", cells[2], cells[3], cells[4]});
    return rules;
}

std::vector<int> deliveryRulesOn(const std::string& listing) {
    std::vector<int> rules;
    for (const ListedRule& rule : listedRules(listing))
        if (rule.id >= FIRST_DELIVERY_RULE && rule.on) rules.push_back(rule.id);
    return rules;
}

}  // namespace cli
