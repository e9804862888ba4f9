#pragma once
// Text for HTML pages that stand alone: character data escaped, and the page around it with its
// style inline, so a report opens anywhere without fetching anything.

#include <string>
#include <string_view>

namespace html {

// "&", "<", ">" and '"' as entity references; control characters other than tab, line feed and
// carriage return (which an HTML page may not carry) as U+FFFD. Text is taken as UTF-8.
void appendEscaped(std::string& out, std::string_view text);
std::string escaped(std::string_view text);
// Escaped, with each line feed as a line break (<br>).
std::string escapedLines(std::string_view text);

// From the doctype to the opening body tag: UTF-8, Title (escaped here) and Style inline.
std::string pageStart(std::string_view title, std::string_view style);
inline constexpr const char* pageEnd = "</body></html>\n";

// What every page's style begins with: the font, tables with ruled cells, small grey notes.
extern const char* const baseStyle;

}  // namespace html
