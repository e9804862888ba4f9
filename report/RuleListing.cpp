#include "RuleListing.h"

#include <cstdlib>
#include <sstream>

namespace report {

std::vector<std::array<std::string, 5>> listingRows(const std::string& listing) {
    constexpr std::size_t columns = 5;
    std::vector<std::array<std::string, columns>> result;
    std::istringstream lines(listing);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty()) continue;
        std::array<std::string, columns> cells;
        std::istringstream fields(line);
        for (std::size_t i = 0; i < columns; ++i)
            std::getline(fields, cells[i], i + 1 < columns ? '\t' : '\n');
        result.push_back(std::move(cells));
    }
    return result;
}

std::vector<ListedRule> listedRules(const std::string& listing) {
    std::vector<ListedRule> rules;
    for (const auto& cells : listingRows(listing))
        rules.push_back(
            {std::atoi(cells[0].c_str()), cells[1] == "on", cells[2], cells[3], cells[4]});
    return rules;
}

}  // namespace report
