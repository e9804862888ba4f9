#include "Reports.h"

#include "html/HtmlText.h"

namespace compare {

namespace {

using html::escaped;

// One side of a text change: the kept words and, marked, the ones only this side has.
std::string markedWords(const std::vector<WordChange>& words, WordChange::Kind own) {
    std::string out;
    for (const WordChange& w : words) {
        if (w.kind != WordChange::Kind::Same && w.kind != own) continue;
        if (!out.empty()) out += ' ';
        if (w.kind == own)
            out += (own == WordChange::Kind::Removed ? "<del>" : "<ins>") + escaped(w.word) +
                   (own == WordChange::Kind::Removed ? "</del>" : "</ins>");
        else
            out += escaped(w.word);
    }
    return out;
}

std::string texts(const Side& side, const std::vector<int>& entries) {
    std::string out;
    for (const int e : entries) {
        if (!out.empty()) out += "<hr>";
        out += html::escapedLines(side.entries[e].text);
    }
    return out;
}

std::string cell(const std::string& span, const std::string& body) {
    return "<td><div class=\"at\">" + escaped(span) + "</div>" + body + "</td>";
}

constexpr const char* style = R"(table { width: 100%; }
td.kind { font-weight: bold; white-space: nowrap; }
.at { color: #555; font-size: 85%; font-family: monospace; }
del { background: #fcc; text-decoration: line-through; }
ins { background: #cfc; text-decoration: none; }
.added { background: #efe; } .removed { background: #fee; }
)";

}  // namespace

std::string htmlReport(const Comparison& c) {
    std::string out =
        html::pageStart(c.a.path + " / " + c.b.path, std::string(html::baseStyle) + style) +
        "<h1>Comparison</h1>\n<p>A: " + escaped(c.a.path) + "<br>B: " + escaped(c.b.path) +
        "</p>\n";
    if (c.offset != 0) out += "<p>" + escaped(offsetSentence(c)) + "</p>\n";
    if (c.ratesDiffer) out += "<p>" + escaped(rateSentence(c)) + "</p>\n";
    if (c.differences.empty()) {
        out += std::string("<p>No differences.</p>\n") + html::pageEnd;
        return out;
    }
    out += "<table>\n<tr><th>Kind</th><th>A</th><th>B</th><th>Detail</th></tr>\n";
    for (const Difference& d : c.differences) {
        // An added or removed subtitle's detail is its text, already in its column.
        const bool textual =
            d.kind == Difference::Kind::Added || d.kind == Difference::Kind::Removed;
        std::string a, b;
        if (d.kind == Difference::Kind::Header) {
            a = cell(d.field, escaped(d.aValue));
            b = cell(d.field, escaped(d.bValue));
        } else if (d.kind == Difference::Kind::Text) {
            a = cell(sideSpan(c.a, d.a), markedWords(d.words, WordChange::Kind::Removed));
            b = cell(sideSpan(c.b, d.b), markedWords(d.words, WordChange::Kind::Added));
        } else {
            a = cell(sideSpan(c.a, d.a), texts(c.a, d.a));
            b = cell(sideSpan(c.b, d.b), texts(c.b, d.b));
        }
        out += std::string("<tr class=\"") + kindName(d.kind) + "\"><td class=\"kind\">" +
               kindName(d.kind) + "</td>" + a + b + "<td class=\"note\">" +
               (textual ? "" : escaped(d.detail)) + "</td></tr>\n";
    }
    out += std::string("</table>\n") + html::pageEnd;
    return out;
}

}  // namespace compare
