#include "CueMarkup.h"

#include <algorithm>
#include <vector>

#include "platform/Utf8.h"

namespace {

using subtitle::Colour;

std::vector<std::string> openingTags(const subtitle::Run& run, const MarkupSettings& settings) {
    std::vector<std::string> tags;
    if (settings.colours) {
        std::string classes;
        if (run.foreground != Colour::White)
            classes += std::string(".") + colourClass(run.foreground);
        if (run.boxed && run.background != Colour::Black)
            classes += std::string(".bg_") + colourClass(run.background);
        if (!classes.empty()) tags.push_back("c" + classes);
    }
    if (run.italic) tags.push_back("i");
    if (run.underline) tags.push_back("u");
    return tags;
}

void appendText(std::string& out, std::u16string_view text, bool escape) {
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

const char* colourClass(Colour colour) {
    static const char* const kNames[] = {"black", "red",     "lime", "yellow",
                                         "blue",  "magenta", "cyan", "white"};
    return kNames[static_cast<int>(colour)];
}

std::string rowMarkup(const std::vector<subtitle::Run>& runs, const MarkupSettings& settings) {
    std::string out;
    std::vector<std::string> open;
    std::size_t held = 0;  // spaces at the end of the last run, placed once the next tags are known
    for (const subtitle::Run& run : runs) {
        std::vector<std::string> wanted = openingTags(run, settings);
        std::u16string_view text = run.text;
        if (wanted != open) {
            // Spaces where the style changes stay outside the tags, on either side.
            closeAll(out, open);
            const std::size_t spaces = std::min(text.find_first_not_of(u' '), text.size());
            out.append(held + spaces, ' ');
            text.remove_prefix(spaces);
            for (const std::string& tag : wanted) out += "<" + tag + ">";
            open = std::move(wanted);
        } else {
            out.append(held, ' ');
        }
        const std::size_t last = text.find_last_not_of(u' ');
        held = last == std::u16string_view::npos ? 0 : text.size() - last - 1;
        if (last == std::u16string_view::npos) held = text.size(), text = {};
        appendText(out, text.substr(0, text.size() - held), settings.escape);
    }
    closeAll(out, open);
    out.append(held, ' ');
    return out;
}

std::string cueTime(std::int64_t milliseconds, char separator) {
    // By hand rather than with snprintf: it runs for every cue of files of 99,999 subtitles.
    const auto digits = [](std::string& out, std::int64_t value, int width) {
        char buffer[20];
        int n = 0;
        do {
            buffer[n++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value > 0);
        for (int i = n; i < width; ++i) out += '0';
        while (n > 0) out += buffer[--n];
    };
    const std::int64_t ms = std::max<std::int64_t>(0, milliseconds);
    std::string out;
    out.reserve(12);
    digits(out, ms / 3600000, 2);
    out += ':';
    digits(out, ms / 60000 % 60, 2);
    out += ':';
    digits(out, ms / 1000 % 60, 2);
    out += separator;
    digits(out, ms % 1000, 3);
    return out;
}

std::string toUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        platform::appendUtf8(out, c);
    }
    return out;
}
