#include "Comparison.h"

#include <cstdio>
#include <cstdlib>

#include "Alignment.h"
#include "Offset.h"

namespace compare {

namespace {

using Kind = Difference::Kind;

const char* const colourNames[] = {"black", "red",     "green", "yellow",
                                   "blue",  "magenta", "cyan",  "white"};

std::string colours(std::uint8_t bits) {
    std::string out;
    for (int c = 0; c < 8; ++c) {
        if (!(bits & (1u << c))) continue;
        if (!out.empty()) out += '+';
        out += colourNames[c];
    }
    return out.empty() ? "none" : out;
}

std::string signedFrames(std::int64_t frames) {
    return (frames > 0 ? "+" : "") + std::to_string(frames);
}

std::string rows(const Entry& e) {
    return e.firstRow == e.lastRow ? std::to_string(e.firstRow)
                                   : std::to_string(e.firstRow) + "-" + std::to_string(e.lastRow);
}

void append(std::string& detail, const std::string& part) {
    if (!detail.empty()) detail += ", ";
    detail += part;
}

std::string textDetail(const std::vector<WordChange>& words) {
    std::string removed, added;
    for (const WordChange& w : words) {
        std::string& to = w.kind == WordChange::Kind::Removed ? removed : added;
        if (w.kind == WordChange::Kind::Same) continue;
        to += to.empty() ? "\"" : " ";
        to += w.word;
    }
    std::string detail;
    if (!removed.empty()) append(detail, "removed " + removed + "\"");
    if (!added.empty()) append(detail, "added " + added + "\"");
    return detail.empty() ? "line breaks" : detail;
}

// Every difference of one pair of subtitles, in a fixed order.
void comparePair(const Side& a, const Side& b, int i, int j, int tolerance,
                 std::vector<Difference>& out) {
    const Entry& x = a.entries[i];
    const Entry& y = b.entries[j];
    if (x.text != y.text) {
        Difference d{Kind::Text, {i}, {j}};
        d.words = wordDiff(wordsOf(x.text), wordsOf(y.text));
        d.detail = textDetail(d.words);
        out.push_back(std::move(d));
    }
    const std::int64_t in = y.inFrames - x.inFrames, outShift = y.outFrames - x.outFrames;
    std::string time;
    if (std::llabs(in) > tolerance) append(time, "in " + signedFrames(in) + " frames");
    if (std::llabs(outShift) > tolerance) append(time, "out " + signedFrames(outShift) + " frames");
    if (!time.empty()) out.push_back({Kind::Time, {i}, {j}, time});

    std::string place;
    if (x.verticalPosition != y.verticalPosition)
        append(place, "VP " + std::to_string(x.verticalPosition) + " -> " +
                          std::to_string(y.verticalPosition));
    if (x.justification != y.justification)
        append(place,
               "JC " + std::to_string(x.justification) + " -> " + std::to_string(y.justification));
    if (!x.text.empty() && !y.text.empty() && (x.firstRow != y.firstRow || x.lastRow != y.lastRow))
        append(place, "row " + rows(x) + " -> " + rows(y));
    if (!place.empty()) out.push_back({Kind::Position, {i}, {j}, place});

    std::string style;
    if (x.style.foregrounds != y.style.foregrounds)
        append(style,
               "colour " + colours(x.style.foregrounds) + " -> " + colours(y.style.foregrounds));
    if (x.style.backgrounds != y.style.backgrounds)
        append(style, "background " + colours(x.style.backgrounds) + " -> " +
                          colours(y.style.backgrounds));
    if (x.style.boxed != y.style.boxed) append(style, y.style.boxed ? "boxed" : "no longer boxed");
    if (x.style.doubleHeight != y.style.doubleHeight)
        append(style, y.style.doubleHeight ? "double height" : "no longer double height");
    if (!style.empty()) out.push_back({Kind::Style, {i}, {j}, style});

    if (x.comment != y.comment)
        out.push_back(
            {Kind::Comment, {i}, {j}, y.comment ? "made a comment" : "no longer a comment"});
}

}  // namespace

const char* kindName(Difference::Kind kind) {
    switch (kind) {
        case Kind::Header:
            return "header";
        case Kind::Added:
            return "added";
        case Kind::Removed:
            return "removed";
        case Kind::Split:
            return "split";
        case Kind::Merged:
            return "merged";
        case Kind::Text:
            return "text";
        case Kind::Time:
            return "time";
        case Kind::Position:
            return "position";
        case Kind::Style:
            return "style";
        case Kind::Comment:
            return "comment";
    }
    return "";
}

std::string signedTimeCode(std::int64_t frames, const FrameRate& rate) {
    return formatFrames(frames, rate.framesPerTimeCodeSecond, /*PlusSign*/ true);
}

std::string Comparison::offsetTimeCode() const {
    return signedTimeCode(offset, a.rate);
}

Comparison compareSides(Side a, Side b, const Options& options) {
    Comparison c;
    c.ratesDiffer =
        a.rateKnown && b.rateKnown &&
        (a.rate.numerator * b.rate.denominator != b.rate.numerator * a.rate.denominator ||
         a.rate.framesPerTimeCodeSecond != b.rate.framesPerTimeCodeSecond);
    if (c.ratesDiffer) rescaleTo(b, a.rate);
    if (options.findOffset) c.offset = findOffset(a, b);
    for (Entry& e : b.entries) {
        e.inFrames -= c.offset;
        e.outFrames -= c.offset;
    }
    c.a = std::move(a);
    c.b = std::move(b);
    c.differences = headerDifferences(c.a.gsi, c.b.gsi);
    if (!c.ratesDiffer)
        dropShiftedTimeCodes(c.differences, c.a.gsi, c.b.gsi, c.offset,
                             c.a.rate.framesPerTimeCodeSecond);

    for (const Match& m : align(c.a.entries, c.b.entries)) {
        switch (m.kind) {
            case Match::Kind::Pair:
                comparePair(c.a, c.b, m.a, m.b, options.tolerance, c.differences);
                break;
            case Match::Kind::Removed:
                c.differences.push_back({Kind::Removed, {m.a}, {}, c.a.entries[m.a].text});
                break;
            case Match::Kind::Added:
                c.differences.push_back({Kind::Added, {}, {m.b}, c.b.entries[m.b].text});
                break;
            case Match::Kind::Split:
                c.differences.push_back({Kind::Split, {m.a}, {m.b, m.secondB}, "split in two"});
                break;
            case Match::Kind::Merged:
                c.differences.push_back({Kind::Merged, {m.a, m.secondA}, {m.b}, "merged into one"});
                break;
        }
    }
    return c;
}

}  // namespace compare
