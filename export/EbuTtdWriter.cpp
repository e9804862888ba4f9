#include "EbuTtdWriter.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>

#include "CueMarkup.h"
#include "EbuTtdStyles.h"

namespace {

using ebuttd::Attributes;
using ebuttd::percent;
using subtitle::Colour;

// One cell is one character of the 40-column teletext page and one of its 25 rows, the grid the
// cues are placed on: a row is 1c high, so sizes and padding read in teletext terms.
constexpr const char* kCellResolution = "40 25";
constexpr double kRowHeight = 1.0 / 25;
// Glyphs take four fifths of a row and the line height of 125 % fills it, so boxed rows meet
// without overlapping.
constexpr double kGlyphShare = 0.8;
// Rows span the safe area's width; their text is aligned inside it.
constexpr const char* kLeft = "10%";
constexpr const char* kWidth = "80%";

struct Output {
    const EbuTtdSettings& settings;
    ebuttd::Declarations styles;
    ebuttd::Declarations regions;
    std::size_t paragraphs = 0;
};

// Text as XML 1.0 can carry it: C0 controls, which show nothing, are left out.
std::string xmlText(std::u16string_view text) {
    std::string utf8 = toUtf8(text);
    std::erase_if(utf8, [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    return utf8;
}

const std::string& alignmentStyle(Output& out, int justification) {
    const char* align = justification == 1 ? "left" : justification == 3 ? "right" : "center";
    return out.styles.use(align, [&] { return Attributes{{"tts:textAlign", align}}; });
}

bool isDoubleRow(const Output& out, const CueRow& row) {
    return out.settings.teletext && row.height > 1.5 * kRowHeight;
}

// The paragraph's font size: teletext rows one or two rows high, open rows as high as MNR makes
// them.
const std::string& sizeStyle(Output& out, const CueRow& row) {
    const double rows =
        out.settings.teletext ? (isDoubleRow(out, row) ? 2 : 1) : row.height / kRowHeight;
    // Teletext rows have two sizes: their names need no number formatting for every row.
    if (out.settings.teletext)
        return out.styles.use(rows > 1 ? "doubleRow" : "normalRow", [&] {
            return Attributes{{"tts:fontSize", percent(rows * kGlyphShare)}};
        });
    const std::string size = percent(rows * kGlyphShare);
    std::string id = "row" + size.substr(0, size.size() - 1);
    std::replace(id.begin(), id.end(), '.', '_');
    return out.styles.use(id, [&] { return Attributes{{"tts:fontSize", size}}; });
}

const std::string& regionOf(Output& out, const CueRow& row) {
    const double height = std::clamp(row.height, 0.0, 1.0);
    const double top = std::clamp(row.top, 0.0, 1.0 - height);
    std::string id;
    if (out.settings.teletext)
        id = "row" + std::to_string(row.number) + (isDoubleRow(out, row) ? "x2" : "");
    else
        id = "at" + percent(top) + "h" + percent(height);
    std::erase(id, '%');
    std::replace(id.begin(), id.end(), '.', '_');
    return out.regions.use(id, [&] {
        return Attributes{{"tts:origin", std::string(kLeft) + " " + percent(top)},
                          {"tts:extent", std::string(kWidth) + " " + percent(height)},
                          {"tts:displayAlign", "center"},
                          {"tts:overflow", "visible"}};
    });
}

// The style ids of a run, space separated; empty for white unboxed upright text.
std::string runStyles(Output& out, const subtitle::Run& run, bool doubleRow) {
    std::string ids;
    const auto add = [&](const std::string& id) { ids += (ids.empty() ? "" : " ") + id; };
    if (run.foreground != Colour::White)
        add(out.styles.use(ebuttd::colourName(run.foreground), [&] {
            return Attributes{{"tts:color", ebuttd::colourValue(run.foreground)}};
        }));
    if (run.boxed) {
        std::string id = ebuttd::colourName(run.background);
        id[0] = static_cast<char>(id[0] - 'a' + 'A');
        add(out.styles.use("on" + id, [&] {
            return Attributes{{"tts:backgroundColor", ebuttd::colourValue(run.background)}};
        }));
    }
    if (run.italic)
        add(out.styles.use("italic", [] { return Attributes{{"tts:fontStyle", "italic"}}; }));
    if (run.underline)
        add(out.styles.use("underline", [] {
            return Attributes{{"tts:textDecoration", "underline"}};
        }));
    // Normal-height characters in a double-height row keep their size.
    if (doubleRow && !run.doubleHeight)
        add(out.styles.use("normalHeight", [] { return Attributes{{"tts:fontSize", "50%"}}; }));
    return ids;
}

void writeRow(Output& out, pugi::xml_node p, const CueRow& row) {
    const bool doubleRow = isDoubleRow(out, row);
    std::string pendingStyles, pendingText, rowText;
    const auto flush = [&] {
        if (pendingText.empty()) return;
        pugi::xml_node target = p;
        if (!pendingStyles.empty()) {
            target = p.append_child("span");
            target.append_attribute("style").set_value(pendingStyles.c_str());
        }
        target.append_child(pugi::node_pcdata).set_value(pendingText.c_str());
        pendingText.clear();
    };
    for (const subtitle::Run& run : row.runs) {
        std::string styles = runStyles(out, run, doubleRow);
        if (styles != pendingStyles) {
            flush();
            pendingStyles = std::move(styles);
        }
        const std::string text = xmlText(run.text);
        pendingText += text;
        rowText += text;
    }
    flush();
    // Spaces that line text up are kept; single spaces need no marking.
    if (rowText.find("  ") != std::string::npos)
        p.append_attribute("xml:space").set_value("preserve");
}

pugi::xml_node paragraph(Output& out, pugi::xml_node div, const Cue& cue) {
    pugi::xml_node p = div.append_child("p");
    p.append_attribute("xml:id").set_value(("sub" + std::to_string(++out.paragraphs)).c_str());
    p.append_attribute("begin").set_value(cueTime(cue.startMs, '.').c_str());
    p.append_attribute("end").set_value(cueTime(cue.endMs, '.').c_str());
    return p;
}

// A comment shows nothing: an empty paragraph carrying its text as a description.
void writeComment(Output& out, pugi::xml_node div, const Cue& cue,
                  const std::vector<CueRow>& rows) {
    std::string text;
    for (const CueRow& row : rows) {
        if (!text.empty()) text += '\n';
        for (const subtitle::Run& run : row.runs) text += xmlText(run.text);
    }
    paragraph(out, div, cue)
        .append_child("metadata")
        .append_child("ttm:desc")
        .append_child(pugi::node_pcdata)
        .set_value(text.c_str());
}

void writeCue(Output& out, pugi::xml_node div, const Cue& cue, const std::vector<CueRow>& rows) {
    if (cue.comment) return writeComment(out, div, cue, rows);
    for (const CueRow& row : rows) {
        pugi::xml_node p = paragraph(out, div, cue);
        p.append_attribute("region").set_value(regionOf(out, row).c_str());
        const std::string styles =
            alignmentStyle(out, cue.justification) + " " + sizeStyle(out, row);
        p.append_attribute("style").set_value(styles.c_str());
        writeRow(out, p, row);
    }
}

pugi::xml_node root(pugi::xml_document& document, const EbuTtdSettings& settings) {
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("UTF-8");
    document.append_child(pugi::node_pcdata).set_value("\n");
    pugi::xml_node tt = document.append_child("tt");
    const char* const namespaces[][2] = {
        {"xmlns", "http://www.w3.org/ns/ttml"},
        {"xmlns:ttp", "http://www.w3.org/ns/ttml#parameter"},
        {"xmlns:tts", "http://www.w3.org/ns/ttml#styling"},
        {"xmlns:ttm", "http://www.w3.org/ns/ttml#metadata"},
        {"xmlns:ebuttm", "urn:ebu:tt:metadata"},
        {"xmlns:ebutts", "urn:ebu:tt:style"},
    };
    for (const auto& [name, uri] : namespaces) tt.append_attribute(name).set_value(uri);
    tt.append_attribute("ttp:timeBase").set_value("media");
    tt.append_attribute("ttp:cellResolution").set_value(kCellResolution);
    tt.append_attribute("xml:lang").set_value(settings.language.c_str());
    return tt;
}

// Line breaks and indentation between the elements that hold elements only. A paragraph's
// content is its text, so nothing is added inside it.
void indent(pugi::xml_node node, int depth) {
    if (std::strcmp(node.name(), "p") == 0 || !node.first_child() ||
        node.first_child().type() != pugi::node_element)
        return;
    // Built in place: "\n" + std::string(...) sets off a false -Wrestrict in GCC 12 Release builds.
    std::string inner(2 * static_cast<std::size_t>(depth + 1) + 1, ' ');
    inner[0] = '\n';
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) continue;
        node.insert_child_before(pugi::node_pcdata, child).set_value(inner.c_str());
        indent(child, depth + 1);
    }
    node.append_child(pugi::node_pcdata).set_value(inner.substr(0, inner.size() - 2).c_str());
}

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, std::size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }
};

}  // namespace

std::string writeEbuTtd(const CueList& cues, const EbuTtdSettings& settings) {
    pugi::xml_document document;
    pugi::xml_node tt = root(document, settings);
    pugi::xml_node head = tt.append_child("head");
    head.append_child("metadata")
        .append_child("ebuttm:documentMetadata")
        .append_child("ebuttm:conformsToStandard")
        .append_child(pugi::node_pcdata)
        .set_value("urn:ebu:tt:distribution:2014-01");
    pugi::xml_node styling = head.append_child("styling");
    pugi::xml_node layout = head.append_child("layout");

    Output out{settings, {}, {}, 0};
    out.styles.use("base", [&] {
        return Attributes{
            {"tts:fontFamily", settings.teletext ? "monospaceSansSerif" : "proportionalSansSerif"},
            {"tts:lineHeight", "125%"},
            {"tts:color", ebuttd::colourValue(Colour::White)},
            {"tts:wrapOption", "noWrap"},
            {"ebutts:linePadding", "0.5c"}};
    });
    if (!cues.cues.empty()) {
        pugi::xml_node body = tt.append_child("body");
        body.append_attribute("style").set_value("base");
        pugi::xml_node div = body.append_child("div");
        for (const Cue& cue : cues.cues) writeCue(out, div, cue, cues.rows(cue));
    }
    out.styles.writeTo(styling, "style");
    // A layout needs a region even when nothing refers to it.
    if (out.regions.empty())
        out.regions.use("bottom", [] {
            return Attributes{{"tts:origin", "10% 80%"}, {"tts:extent", "80% 10%"}};
        });
    out.regions.writeTo(layout, "region");

    indent(tt, 0);
    StringWriter writer;
    writer.text.reserve(cues.cues.size() * 384 + 4096);
    document.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    writer.text += '\n';
    return writer.text;
}
