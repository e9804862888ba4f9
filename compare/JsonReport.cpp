#include <nlohmann/json.hpp>

#include "Reports.h"

namespace compare {

namespace {

using json = nlohmann::ordered_json;

json side(const Side& s, const std::vector<int>& entries) {
    if (entries.empty()) return nullptr;
    json numbers = json::array();
    for (const int e : entries) numbers.push_back(s.entries[e].number);
    return {{"subtitles", std::move(numbers)},
            {"in", formatTimeCode(s.entries[entries.front()].in)},
            {"out", formatTimeCode(s.entries[entries.back()].out)}};
}

json fileOf(const Side& s) {
    return {{"path", s.path},
            {"frameRate", double(s.rate.numerator) / double(s.rate.denominator)},
            {"subtitles", s.entries.size()}};
}

}  // namespace

std::string jsonReport(const Comparison& c) {
    json differences = json::array();
    for (const Difference& d : c.differences) {
        json item = {{"kind", kindName(d.kind)}};
        if (d.kind == Difference::Kind::Header) {
            item["field"] = d.field;
            item["aValue"] = d.aValue;
            item["bValue"] = d.bValue;
        } else {
            item["a"] = side(c.a, d.a);
            item["b"] = side(c.b, d.b);
        }
        item["detail"] = d.detail;
        if (d.kind == Difference::Kind::Text) {
            json removed = json::array(), added = json::array();
            for (const WordChange& w : d.words) {
                if (w.kind == WordChange::Kind::Removed) removed.push_back(w.word);
                if (w.kind == WordChange::Kind::Added) added.push_back(w.word);
            }
            item["removedWords"] = std::move(removed);
            item["addedWords"] = std::move(added);
        }
        differences.push_back(std::move(item));
    }
    const json report = {
        {"a", fileOf(c.a)},
        {"b", fileOf(c.b)},
        {"offset", {{"frames", c.offset}, {"timeCode", c.offsetTimeCode()}}},
        {"realTime", c.ratesDiffer},
        {"differences", std::move(differences)},
    };
    // Text bytes the decoder could not map are replaced rather than failing the whole report.
    return report.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace compare
