#include "FixReport.h"

#include <nlohmann/json.hpp>

#include "TimeText.h"

namespace repair {
namespace {

std::string where(const Place& place) {
    if (place.header) return "Header";
    return "Subtitle " + std::to_string(place.number) + " (" + formatTimeCode(place.in) + ")";
}

std::string fixNames(const std::vector<Fix>& fixes) {
    std::string names;
    for (const Fix fix : fixes) names += (names.empty() ? "" : ",") + std::string(fixName(fix));
    return names;
}

std::string count(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

nlohmann::json placeJson(const Place& place) {
    if (place.header) return {{"header", true}};
    return {{"header", false},
            {"block", place.block},
            {"subtitleNumber", place.number},
            {"timeCodeIn", formatTimeCode(place.in)}};
}

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (const char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

}  // namespace

std::string textReport(const FixRun& run, const Proposal& proposal) {
    std::string text = run.input + ": " + count(proposal.changes.size(), "change", "changes") +
                       ", " + count(proposal.notFixed.size(), "not fixed", "not fixed") + "\n";
    for (const Change& c : proposal.changes)
        text += "  " + fixNames(c.fixes) + "  " + where(c.place) + "  " + c.field + "  " +
                c.before + " -> " + c.after + "  (" + c.why + ")\n";
    for (const NotFixed& n : proposal.notFixed)
        text += "  not fixed: " + std::string(fixName(n.fix)) + "  " + where(n.place) + "  " +
                n.field + "  (" + n.why + ")\n";
    if (run.dryRun)
        text += "Dry run: nothing written.\n";
    else
        text += "Written to " + run.output + ".\n";
    return text;
}

std::string jsonReport(const FixRun& run, const Proposal& proposal) {
    nlohmann::json fixes = nlohmann::json::array();
    for (const Fix fix : allFixes())
        if (has(run.options.fixes, fix)) fixes.push_back(fixName(fix));
    const Parameters& p = run.options.parameters;
    const int fps = proposal.framesPerSecond;
    nlohmann::json report = {
        {"file", run.input},
        {"output", run.output.empty() ? nlohmann::json() : nlohmann::json(run.output)},
        {"dryRun", run.dryRun},
        {"profile", run.profile ? nlohmann::json(*run.profile) : nlohmann::json()},
        {"framesPerSecond", fps},
        {"fixes", fixes},
        {"parameters",
         {{"gap", p.gapFrames},
          {"min-duration", p.minDurationFrames},
          {"max-duration", p.maxDurationFrames},
          {"shift", p.shiftFrames},
          {"tcp", p.startOfProgrammeFrames
                      ? nlohmann::json(framesText(*p.startOfProgrammeFrames, fps))
                      : nlohmann::json()}}},
        {"changes", nlohmann::json::array()},
        {"notFixed", nlohmann::json::array()},
    };
    for (const Change& c : proposal.changes) {
        nlohmann::json change = placeJson(c.place);
        nlohmann::json names = nlohmann::json::array(), edits = nlohmann::json::array();
        for (const Fix fix : c.fixes) names.push_back(fixName(fix));
        for (const ByteEdit& e : c.edits)
            edits.push_back({{"offset", e.offset}, {"bytes", hex(e.bytes)}});
        change.update({{"fix", fixName(c.fix())},
                       {"fixes", names},
                       {"field", c.field},
                       {"before", c.before},
                       {"after", c.after},
                       {"why", c.why},
                       {"edits", edits}});
        report["changes"].push_back(std::move(change));
    }
    for (const NotFixed& n : proposal.notFixed) {
        nlohmann::json item = placeJson(n.place);
        item.update({{"fix", fixName(n.fix)}, {"field", n.field}, {"why", n.why}});
        report["notFixed"].push_back(std::move(item));
    }
    return report.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace repair
