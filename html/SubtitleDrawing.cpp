#include "SubtitleDrawing.h"

#include "HtmlText.h"
#include "export/CueMarkup.h"

namespace html {
namespace {

constexpr int COLUMNS = 40;

// A cell's look as class names: ink and, where it shows, paper colour; the rest as flags.
std::string cellClasses(const subtitle::Cell& ink, const subtitle::Cell& cell, bool teletext,
                        bool beyond) {
    std::string classes = "f";
    classes += char('0' + ink.foreground);
    // On a teletext subtitle page only boxes are drawn; the picture shows everywhere else.
    if (cell.boxed || !teletext) {
        classes += " b";
        classes += char('0' + cell.background);
    } else if (teletext && cell.visible()) {
        classes += " nb";
    }
    if (ink.tall()) classes += " d";
    if (cell.wide()) classes += " w";
    if (ink.flash) classes += " fl";
    if (ink.conceal) classes += " cn";
    if (cell.italic) classes += " i";
    if (cell.underline) classes += " u";
    if (beyond) classes += " o";
    return classes;
}

// What a cell shows: spacing attributes and empty cells as a space, a lit mosaic as a shade.
std::string cellText(const subtitle::Cell& cell) {
    if (cell.attribute || cell.length == 0) return " ";
    if (cell.isMosaic) return cell.mosaic ? "\xE2\x96\x92" : " ";
    return escaped(toUtf8(cell.text()));
}

// Consecutive cells of one look share a span; a double-width cell keeps its own.
class Spans {
public:
    explicit Spans(std::string& out) : m_out(out) {}
    ~Spans() { close(); }
    void add(const std::string& classes, const std::string& text, bool alone) {
        if (alone || classes != m_classes) {
            close();
            m_out += "<span class=\"" + classes + "\">";
            m_classes = alone ? std::string() : classes;
            m_open = true;
        }
        m_out += text;
        if (alone) close();
    }
    void close() {
        if (m_open) m_out += "</span>";
        m_open = false;
        m_classes.clear();
    }

private:
    std::string& m_out;
    std::string m_classes;
    bool m_open = false;
};

void appendTeletextCells(std::string& out, const subtitle::Row& row) {
    out += "<span class=\"cs\">";
    if (row.column > 0) out += std::string(static_cast<std::size_t>(row.column), ' ');
    Spans spans(out);
    const subtitle::Cell* before = nullptr;
    for (std::size_t i = 0; i < row.cells.size(); ++i) {
        const int column = row.column + static_cast<int>(i);
        // Codes after the last character need no room; only text beyond the page is shown.
        if (column >= COLUMNS && static_cast<int>(i) >= row.width) break;
        const subtitle::Cell& cell = row.cells[i];
        if (cell.covered || column < 0) continue;
        // A spacing attribute shows the paper of its cell and no ink of its own.
        const subtitle::Cell& ink = cell.attribute && before ? *before : cell;
        spans.add(cellClasses(ink, cell, true, column >= COLUMNS), cellText(cell), cell.wide());
        if (!cell.attribute) before = &cell;
    }
    spans.close();
    out += "</span>";
}

void appendOpenRuns(std::string& out, const subtitle::Row& row, int justification) {
    static const char* const ALIGN[] = {"c", "l", "c", "r"};
    out += "<span class=\"os ";
    out += ALIGN[justification >= 0 && justification < 4 ? justification : 0];
    out += "\">";
    for (const subtitle::Run& run : subtitle::runsOf(row)) {
        subtitle::Cell look;
        look.foreground = run.foreground;
        look.background = run.background;
        look.italic = run.italic;
        look.underline = run.underline;
        look.flash = run.flash;
        out += "<span class=\"" + cellClasses(look, look, false, false) + "\">";
        appendEscaped(out, toUtf8(run.text));
        out += "</span>";
    }
    out += "</span>";
}

}  // namespace

const char* const drawingStyle = R"(.scr { display: inline-block; background: #000; color: #fff;
  font-family: "DejaVu Sans Mono", "Liberation Mono", monospace; font-size: 15px;
  line-height: 1.3; padding: 4px 8px 4px 4px; white-space: pre; border: 1px solid #444; }
.scr .ln { height: 1.3em; }
.scr .ln.dh { height: 2.6em; }
.scr .rn { display: inline-block; width: 3ch; margin-right: 1ch; color: #888; text-align: right;
  font-size: 80%; }
.scr .cs { display: inline-block; min-width: 40ch; box-shadow: inset -1px 0 #333; }
.scr .os { display: inline-block; width: 42ch; }
.scr .gap { color: #777; font-size: 70%; height: 1.3em; }
.scr .os.l { text-align: left; } .scr .os.c { text-align: center; } .scr .os.r { text-align: right; }
.scr .f0 { color: #000; } .scr .f1 { color: #f33; } .scr .f2 { color: #3f3; } .scr .f3 { color: #ff3; }
.scr .f4 { color: #44f; } .scr .f5 { color: #f3f; } .scr .f6 { color: #3ff; } .scr .f7 { color: #fff; }
.scr .b0 { background: #000; } .scr .b1 { background: #c00; } .scr .b2 { background: #0a0; }
.scr .b3 { background: #cc0; } .scr .b4 { background: #00c; } .scr .b5 { background: #c0c; }
.scr .b6 { background: #0cc; } .scr .b7 { background: #fff; }
.scr .nb { opacity: 0.45; text-decoration: underline dotted #888; }
.scr .d { display: inline-block; transform: scaleY(2); transform-origin: top; }
.scr .w { display: inline-block; width: 1ch; margin-right: 1ch; transform: scaleX(2);
  transform-origin: left; }
.scr .fl { text-decoration: underline wavy #f80; } .scr .cn { opacity: 0.6; }
.scr .i { font-style: italic; } .scr .u { text-decoration: underline; }
.scr .o { outline: 1px dashed #f44; background: #400; }
)";

void appendDrawing(std::string& out, const std::vector<subtitle::Row>& rows, bool teletext,
                   int justification) {
    out += teletext ? "<div class=\"scr tt\">" : "<div class=\"scr op\">";
    int next = -1;  // the row after the last one drawn
    for (const subtitle::Row& row : rows) {
        if (!row.hasText() && row.cells.empty()) continue;
        if (next >= 0 && row.number > next)
            out += "<div class=\"gap\">" +
                   (row.number == next + 1
                        ? "row " + std::to_string(next)
                        : "rows " + std::to_string(next) + "-" + std::to_string(row.number - 1)) +
                   " empty</div>";
        out += row.doubleHeight && teletext ? "<div class=\"ln dh\">" : "<div class=\"ln\">";
        out += "<span class=\"rn\">" + std::to_string(row.number) + "</span>";
        if (teletext)
            appendTeletextCells(out, row);
        else
            appendOpenRuns(out, row, justification);
        out += "</div>";
        next = row.number + (row.doubleHeight && teletext ? 2 : 1);
    }
    out += "</div>";
}

}  // namespace html
