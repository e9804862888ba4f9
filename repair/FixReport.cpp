#include "FixReport.h"

#include <nlohmann/json.hpp>

#include <ostream>

#include "TimeText.h"

namespace repair {
namespace {

std::string where(const Place& place) {
    if (place.header) return "Header";
    return "Subtitle " + std::to_string(place.number) + " (" + formatTimeCode(place.in) + ")";
}

std::string fixNames(const std::vector<Fix>& fixes) {
    std::string names;
    for (const Fix fix : fixes) {
        if (!names.empty()) names += ',';
        names += fixName(fix);
    }
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

void textReport(std::ostream& out, const FixRun& run, const Proposal& proposal) {
    out << run.input << ": " << count(proposal.changes.size(), "change", "changes") << ", "
        << count(proposal.notFixed.size(), "not fixed", "not fixed") << "\n";
    for (const Change& c : proposal.changes)
        out << "  " << fixNames(c.fixes) << "  " << where(c.place) << "  " << c.field << "  "
            << c.before << " -> " << c.after << "  (" << c.why << ")\n";
    for (const NotFixed& n : proposal.notFixed)
        out << "  not fixed: " << fixName(n.fix) << "  " << where(n.place) << "  " << n.field
            << "  (" << n.why << ")\n";
    if (run.dryRun)
        out << "Dry run: nothing written.\n";
    else if (run.unchanged)
        out << "Nothing to change: " << run.output << " left as it was.\n";
    else
        out << "Written to " << run.output << ".\n";
}

void jsonReport(std::ostream& out, const FixRun& run, const Proposal& proposal) {
    nlohmann::json fixes = nlohmann::json::array();
    for (const Fix fix : allFixes())
        if (has(run.options.fixes, fix)) fixes.push_back(fixName(fix));
    const Parameters& p = run.options.parameters;
    const int fps = proposal.framesPerSecond;
    const nlohmann::json head = {
        {"file", run.input},
        {"output", run.output.empty() ? nlohmann::json() : nlohmann::json(run.output)},
        {"dryRun", run.dryRun},
        {"written", !run.dryRun && !run.unchanged},
        {"profile", run.profile ? nlohmann::json(*run.profile) : nlohmann::json()},
        {"framesPerSecond", fps},
        {"fixes", fixes},
        {"parameters",
         {{"gap", p.gapFrames},
          {"min-duration", p.minDurationFrames},
          {"max-duration", p.maxDurationFrames},
          {"shift", p.shiftFrames},
          {"tcp", p.startOfProgrammeFrames
                      ? nlohmann::json(formatFrames(*p.startOfProgrammeFrames, fps))
                      : nlohmann::json()}}},
    };
    const auto dump = [](const nlohmann::json& value, int indent) {
        return value.dump(indent, ' ', false, nlohmann::json::error_handler_t::replace);
    };
    // The head as an indented object left open; then the lists, one compact item a line, so a
    // file with a change in every subtitle is written without holding the whole document.
    const std::string opened = dump(head, 2);
    out << opened.substr(0, opened.rfind('}')) << ",\n  \"changes\": [";
    const char* separator = "\n    ";
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
        out << separator << dump(change, -1);
        separator = ",\n    ";
    }
    out << (proposal.changes.empty() ? "" : "\n  ") << "],\n  \"notFixed\": [";
    separator = "\n    ";
    for (const NotFixed& n : proposal.notFixed) {
        nlohmann::json item = placeJson(n.place);
        item.update({{"fix", fixName(n.fix)}, {"field", n.field}, {"why", n.why}});
        out << separator << dump(item, -1);
        separator = ",\n    ";
    }
    out << (proposal.notFixed.empty() ? "" : "\n  ") << "]\n}\n";
}

}  // namespace repair
