#include "RuleListing.h"

#include <algorithm>
#include <array>

namespace cli {
namespace {

constexpr std::size_t COLUMNS = 5;

}  // namespace

std::string formatRuleListing(const std::string& listing) {
    auto table = report::listingRows(listing);
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

std::vector<int> deliveryRulesOn(const std::string& listing) {
    std::vector<int> rules;
    for (const ListedRule& rule : listedRules(listing))
        if (rule.id >= FIRST_DELIVERY_RULE && rule.on) rules.push_back(rule.id);
    return rules;
}

}  // namespace cli
