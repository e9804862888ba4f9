#include <cstdio>

#include "Reports.h"

namespace compare {

namespace {

std::string fps(const FrameRate& rate) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", double(rate.numerator) / double(rate.denominator));
    return text;
}

std::string oneLine(std::string text) {
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at))
        text.replace(at, 1, " / ");
    return text;
}

}  // namespace

std::string sideSpan(const Side& side, const std::vector<int>& entries) {
    if (entries.empty()) return "-";
    std::string out;
    for (const int e : entries) {
        if (!out.empty()) out += '+';
        out += std::to_string(side.entries[e].number);
    }
    return out + " " + formatTimeCode(side.entries[entries.front()].in) + "-" +
           formatTimeCode(side.entries[entries.back()].out);
}

std::string offsetSentence(const Comparison& c) {
    return "B is A shifted by " + c.offsetTimeCode() + " (" + std::to_string(c.offset) +
           (c.offset == 1 || c.offset == -1 ? " frame)" : " frames)");
}

std::string rateSentence(const Comparison& c) {
    return "A " + fps(c.a.rate) + " fps, B " + fps(c.b.rate) + " fps; times compared in real time";
}

std::string textReport(const Comparison& c) {
    std::string out;
    if (c.offset != 0) out += "offset: " + offsetSentence(c) + "\n";
    if (c.ratesDiffer) out += "frame rate: " + rateSentence(c) + "\n";
    for (const Difference& d : c.differences) {
        if (d.kind == Difference::Kind::Header) {
            out += "header: " + d.detail + "\n";
            continue;
        }
        const bool textual =
            d.kind == Difference::Kind::Added || d.kind == Difference::Kind::Removed;
        out += sideSpan(c.a, d.a) + " | " + sideSpan(c.b, d.b) + " " + kindName(d.kind) + ": " +
               (textual ? oneLine(d.detail) : d.detail) + "\n";
    }
    return out;
}

}  // namespace compare
