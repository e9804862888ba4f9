#include "HtmlText.h"

#include <algorithm>

namespace html {

const char* const baseStyle = R"(body { font-family: sans-serif; margin: 1em; }
table { border-collapse: collapse; }
th, td { border: 1px solid #bbb; padding: 4px 8px; vertical-align: top; text-align: left; }
.note { color: #555; font-size: 90%; }
)";

void appendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\t':
            case '\n':
            case '\r':
                out += c;
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                    out += "\xEF\xBF\xBD";
                else
                    out += c;
        }
    }
}

std::string escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendEscaped(out, text);
    return out;
}

std::string escapedLines(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (start) out += "<br/>";
        appendEscaped(out, text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::string pageStart(std::string_view title, std::string_view style) {
    std::string out = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"/>\n<title>";
    appendEscaped(out, title);
    out += "</title>\n<style>\n";
    out += style;
    out += "</style>\n</head><body>\n";
    return out;
}

}  // namespace html
