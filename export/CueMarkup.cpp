#include "CueMarkup.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

std::vector<std::string> openingTags(const TextStyle& style, const MarkupSettings& settings) {
    std::vector<std::string> tags;
    if (settings.colours && style.colour != TextColour::White)
        tags.push_back(std::string("c.") + colourClass(style.colour));
    if (style.italic) tags.push_back("i");
    if (style.underline) tags.push_back("u");
    return tags;
}

void appendText(std::string& out, const std::u16string& text, bool escape) {
    const std::string utf8 = toUtf8(text);
    if (!escape) {
        out += utf8;
        return;
    }
    for (const char c : utf8) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
}

void closeAll(std::string& out, std::vector<std::string>& open) {
    for (auto tag = open.rbegin(); tag != open.rend(); ++tag)
        out += "</" + tag->substr(0, tag->find('.')) + ">";
    open.clear();
}

}  // namespace

const char* colourClass(TextColour colour) {
    static const char* const kNames[] = {"black", "red",     "lime", "yellow",
                                         "blue",  "magenta", "cyan", "white"};
    return kNames[static_cast<int>(colour)];
}

std::string rowMarkup(const StyledLine& row, const MarkupSettings& settings) {
    std::string out;
    std::vector<std::string> open;
    for (const StyledSpan& span : row) {
        std::vector<std::string> wanted = openingTags(span.style, settings);
        std::u16string_view text = span.text;
        if (wanted != open) {
            closeAll(out, open);
            // Spaces where the style changes stay outside the tags.
            const std::size_t spaces = std::min(text.find_first_not_of(u' '), text.size());
            out.append(spaces, ' ');
            text.remove_prefix(spaces);
            for (const std::string& tag : wanted) out += "<" + tag + ">";
            open = std::move(wanted);
        }
        appendText(out, std::u16string(text), settings.escape);
    }
    closeAll(out, open);
    return out;
}

std::string cueTime(std::int64_t milliseconds, char separator) {
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld%c%03lld",
                  static_cast<long long>(milliseconds / 3600000),
                  static_cast<long long>(milliseconds / 60000 % 60),
                  static_cast<long long>(milliseconds / 1000 % 60), separator,
                  static_cast<long long>(milliseconds % 1000));
    return text;
}
