#pragma once
// The plug-in's rule listing read back: one rule a line, ID, on/off, type, threshold and name,
// tab-separated.

#include <array>
#include <string>
#include <vector>

namespace report {

constexpr int FIRST_DELIVERY_RULE = 501;

// The five fields of each line that is not empty, as they stand.
std::vector<std::array<std::string, 5>> listingRows(const std::string& listing);

struct ListedRule {
    int id = 0;
    bool on = false;
    std::string type, threshold, name;
};
std::vector<ListedRule> listedRules(const std::string& listing);

}  // namespace report
